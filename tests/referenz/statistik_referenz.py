#!/usr/bin/env python3
"""Independent computation of ::druckbild::statistik, compared key by key.

Written from the definitions of the figures (loaded cells, sums, peak,
mean, coefficient of variation, shares, centre of pressure, peak pressure
index), not from the C code.  It builds cases from the bundled recordings
and from random images and regions, lets tclsh compute them with the
package, and compares every key: integers exactly, doubles to the last bit.

    statistik_referenz.py TCLSH BUILD_DIR SOURCE_DIR [FAELLE]

Exit 0 when every case agrees, 1 with the first differences listed.
"""

import math
import os
import random
import re
import subprocess
import sys

INT_SCHLUESSEL = ("zellen", "summe", "spitze", "spitze_zeile", "spitze_spalte",
                  "ppi_zeile", "ppi_spalte")
DOUBLE_SCHLUESSEL = ("mittel", "variationskoeffizient", "anteil_links", "anteil_rechts",
                     "anteil_unten", "anteil_oben", "schwerpunkt_x", "schwerpunkt_y", "ppi")


def referenz(werte, n_y, n_x, schwelle=0, bereich=None, teilung=None, fenster=3):
    """The figures of one image and region, as the definitions give them."""
    z0, s0, z1, s1 = bereich if bereich is not None else (0, 0, n_y - 1, n_x - 1)
    if teilung is None:
        teilung = n_y // 2
    zellen = summe = 0
    spitze, spitze_zeile, spitze_spalte = 0, -1, -1
    links = rechts = unten = oben = 0
    moment_x = moment_y = 0
    geladen = []
    for zeile in range(z0, z1 + 1):
        for spalte in range(s0, s1 + 1):
            v = werte[zeile * n_x + spalte]
            if v <= schwelle:
                continue
            geladen.append(v)
            zellen += 1
            summe += v
            if spitze_zeile < 0 or v > spitze:
                spitze, spitze_zeile, spitze_spalte = v, zeile, spalte
            if spalte < n_x // 2:
                links += v
            else:
                rechts += v
            if zeile < teilung:
                unten += v
            else:
                oben += v
            moment_x += v * spalte
            moment_y += v * zeile
    e = {"zellen": zellen, "summe": summe, "spitze": spitze,
         "spitze_zeile": spitze_zeile, "spitze_spalte": spitze_spalte}
    if zellen == 0:
        e["mittel"] = -1.0
        e["variationskoeffizient"] = -1.0
    else:
        m = float(summe) / float(zellen)
        q = 0.0
        for v in geladen:
            d = float(v) - m
            q = q + d * d
        e["mittel"] = m
        e["variationskoeffizient"] = math.sqrt(q / float(zellen)) / m
    if summe == 0:
        for k in ("anteil_links", "anteil_rechts", "anteil_unten", "anteil_oben",
                  "schwerpunkt_x", "schwerpunkt_y"):
            e[k] = -1.0
    else:
        s = float(summe)
        e["anteil_links"] = float(100 * links) / s
        e["anteil_rechts"] = float(100 * rechts) / s
        e["anteil_unten"] = float(100 * unten) / s
        e["anteil_oben"] = float(100 * oben) / s
        e["schwerpunkt_x"] = float(moment_x) / s
        e["schwerpunkt_y"] = float(moment_y) / s
    # peak pressure index: every k x k window wholly inside the region; a
    # negative cell counts as 0; the first window (row-major by its top-left
    # cell) with the largest sum wins
    bester = None
    for oz in range(z0, z1 - fenster + 2):
        for os_ in range(s0, s1 - fenster + 2):
            w = 0
            for zeile in range(oz, oz + fenster):
                for spalte in range(os_, os_ + fenster):
                    w += max(werte[zeile * n_x + spalte], 0)
            if bester is None or w > bester[0]:
                bester = (w, oz + fenster // 2, os_ + fenster // 2)
    if bester is None:
        e["ppi"], e["ppi_zeile"], e["ppi_spalte"] = -1.0, -1, -1
    else:
        e["ppi"] = float(bester[0]) / float(fenster * fenster)
        e["ppi_zeile"], e["ppi_spalte"] = bester[1], bester[2]
    return e


def aufnahmen(ordner):
    """The frames of the bundled recordings: (values, n_y, n_x), row 0 first."""
    bilder = []
    for name in sorted(os.listdir(ordner)):
        if not name.endswith(".txt"):
            continue
        zeilen = {}
        with open(os.path.join(ordner, name), encoding="latin-1") as f:
            for text in f:
                m = re.match(r"^\s*(\d+):(.*)$", text)
                if not m:
                    continue
                index = int(m.group(1))
                zeilen[index] = [int(w) for w in m.group(2).split()]
                if index == 0:
                    n_y = len(zeilen)
                    werte = [w for i in range(n_y) for w in zeilen[i]]
                    bilder.append((werte, n_y, len(zeilen[0])))
                    zeilen = {}
    return bilder


def zufallsbild(rnd):
    art = rnd.random()
    if art < 0.1:
        n_y, n_x = 1, rnd.randint(1, 40)
    elif art < 0.2:
        n_y, n_x = rnd.randint(1, 40), 1
    elif art < 0.23:
        n_y, n_x = 64, 64
    else:
        n_y, n_x = rnd.randint(1, 24), rnd.randint(1, 24)
    n = n_y * n_x
    art = rnd.random()
    if art < 0.05:
        werte = [0] * n
    elif art < 0.10:
        werte = [-1] * n
    elif art < 0.15:
        # large values: sums beyond 32 bits
        werte = [rnd.choice((0, 2147483647, rnd.randint(1, 2147483647))) for _ in range(n)]
    else:
        oben = rnd.choice((3, 10, 100, 1000))
        werte = [rnd.choice((-1, -7, 0, 0)) if rnd.random() < 0.2 else rnd.randint(0, oben)
                 for _ in range(n)]
    return werte, n_y, n_x


def zufallsfall(rnd, werte, n_y, n_x):
    """Options of one case: threshold, region, split row, window, each now and then."""
    optionen = {}
    if rnd.random() < 0.6:
        spitze = max(werte)
        # thresholds up to and above the peak (an int, as the values are)
        optionen["schwelle"] = rnd.choice((0, 1, 5, max(spitze, 0),
                                           min(max(spitze, 0) + 1, 2147483647),
                                           rnd.randint(0, 50)))
    if rnd.random() < 0.6:
        z0, z1 = sorted((rnd.randrange(n_y), rnd.randrange(n_y)))
        s0, s1 = sorted((rnd.randrange(n_x), rnd.randrange(n_x)))
        if rnd.random() < 0.3:
            # a region at an edge of the image
            z1 = n_y - 1 if rnd.random() < 0.5 else z1
            s0 = 0 if rnd.random() < 0.5 else s0
        optionen["bereich"] = (z0, s0, z1, s1)
    if rnd.random() < 0.4:
        optionen["teilung"] = rnd.randint(0, n_y)
    if rnd.random() < 0.5:
        optionen["fenster"] = rnd.choice((1, 3, 3, 5, 5, 7, 2 * max(n_y, n_x) + 1))
    return optionen


def tcl_aufruf(werte, n_y, n_x, optionen):
    worte = ["{" + " ".join(map(str, werte)) + "}", str(n_y), str(n_x)]
    if "schwelle" in optionen:
        worte += ["-schwelle", str(optionen["schwelle"])]
    if "bereich" in optionen:
        worte += ["-bereich", "{" + " ".join(map(str, optionen["bereich"])) + "}"]
    if "teilung" in optionen:
        worte += ["-teilung", str(optionen["teilung"])]
    if "fenster" in optionen:
        worte += ["-fenster", str(optionen["fenster"])]
    return " ".join(worte)


TREIBER = r"""
lappend auto_path [lindex $argv 0]
package require Druckbildkennzahlen
fconfigure stdout -translation lf
while {[gets stdin zeile] >= 0} {
    if {[catch {::druckbild::statistik {*}$zeile} ergebnis]} {
        puts "FEHLER $ergebnis"
    } else {
        puts $ergebnis
    }
}
"""


def tcl_dict(text):
    worte = text.split()
    return dict(zip(worte[0::2], worte[1::2]))


def vergleiche(erwartet, text):
    """The differences of one result, as texts; empty when it agrees."""
    if text.startswith("FEHLER"):
        return [text]
    ist = tcl_dict(text)
    fehler = []
    if set(ist) != set(INT_SCHLUESSEL + DOUBLE_SCHLUESSEL):
        fehler.append("Schluessel %s" % sorted(ist))
        return fehler
    for k in INT_SCHLUESSEL:
        if not re.fullmatch(r"-?\d+", ist[k]) or int(ist[k]) != erwartet[k]:
            fehler.append("%s: %s statt %d" % (k, ist[k], erwartet[k]))
    for k in DOUBLE_SCHLUESSEL:
        try:
            wert = float(ist[k])
        except ValueError:
            wert = None
        if wert is None or math.isnan(wert) or wert != erwartet[k]:
            fehler.append("%s: %s statt %r" % (k, ist[k], erwartet[k]))
    return fehler


def main():
    tclsh, build, quelle = sys.argv[1:4]
    anzahl = int(sys.argv[4]) if len(sys.argv) > 4 else 1200
    rnd = random.Random(20261209)
    faelle = []
    for werte, n_y, n_x in aufnahmen(os.path.join(quelle, "data", "seated")):
        faelle.append((werte, n_y, n_x, {}))
        for _ in range(4):
            faelle.append((werte, n_y, n_x, zufallsfall(rnd, werte, n_y, n_x)))
    while len(faelle) < anzahl:
        werte, n_y, n_x = zufallsbild(rnd)
        faelle.append((werte, n_y, n_x, zufallsfall(rnd, werte, n_y, n_x)))
    eingabe = "".join(tcl_aufruf(*f) + "\n" for f in faelle)
    treiber = os.path.join(build, "statistik_referenz_treiber.tcl")
    with open(treiber, "w") as f:
        f.write(TREIBER)
    lauf = subprocess.run([tclsh, treiber, build], input=eingabe, capture_output=True,
                          text=True)
    if lauf.returncode != 0:
        print("tclsh ended with %d: %s" % (lauf.returncode, lauf.stderr))
        return 1
    ausgaben = lauf.stdout.splitlines()
    if len(ausgaben) != len(faelle):
        print("%d results for %d cases" % (len(ausgaben), len(faelle)))
        return 1
    falsch = 0
    geladen_leer = bereich_klein = 0
    for nr, (fall, text) in enumerate(zip(faelle, ausgaben)):
        werte, n_y, n_x, optionen = fall
        erwartet = referenz(werte, n_y, n_x, optionen.get("schwelle", 0),
                            optionen.get("bereich"), optionen.get("teilung"),
                            optionen.get("fenster", 3))
        geladen_leer += erwartet["zellen"] == 0
        bereich_klein += erwartet["ppi_zeile"] == -1
        fehler = vergleiche(erwartet, text)
        if fehler:
            falsch += 1
            if falsch <= 10:
                print("case %d (%d x %d, %s): %s" % (nr, n_y, n_x, optionen, "; ".join(fehler)))
    print("statistik: %d cases (%d with nothing loaded, %d with a region smaller than "
          "the window)" % (len(faelle), geladen_leer, bereich_klein))
    print("%d passed, %d failed" % (len(faelle) - falsch, falsch))
    return 1 if falsch else 0


if __name__ == "__main__":
    sys.exit(main())
