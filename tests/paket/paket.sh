#!/bin/sh
# make test-paket: the install and the Debian package of the project.
#   tests/paket/paket.sh <build-folder>
# 1. The manual pages: made by the target manpages, each read by man without
#    a warning and with a NAME line that whatis can index.
# 2. make install into a DESTDIR with PREFIX=/usr/local: every file in its
#    place, the four packages loaded through the installed index, the
#    installed demo run on them; make uninstall leaves no file behind.
# 3. The Debian package from the tracked files of the work tree, as a clean
#    clone has them: dpkg-buildpackage -us -uc -b (its unit tests and Tcl
#    suites included), -ffp-contract=off on every compile line of its log,
#    lintian without an error or a warning (the ones left are overridden
#    with their reasons in debian/*.lintian-overrides).
set -eu
bau=$(cd "$1" && pwd)
quelle=$(cd "$(dirname "$0")/../.." && pwd)
arbeit=$bau/paket
fehler=0
meldung() { echo "test-paket: $*"; }
falsch() { echo "test-paket: FAILED: $*"; fehler=1; }

rm -rf "$arbeit"
mkdir -p "$arbeit"

# --- 1. manual pages --------------------------------------------------------
cmake --build "$bau" --target manpages > "$arbeit/man.log" 2>&1 || { cat "$arbeit/man.log"; exit 1; }
for seite in "$bau"/man/*; do
    # on a terminal of 80 columns, and as lintian sets it (120, paged)
    for breite in 80 120; do
        warnungen=$(env -i PATH="$PATH" LC_ALL=C.UTF-8 MANROFFSEQ= MANWIDTH=$breite \
                    man --warnings -E UTF-8 -l -Tutf8 -Z "$seite" 2>&1 >/dev/null)
        [ -z "$warnungen" ] || falsch "man --warnings ($breite columns) $seite: $warnungen"
    done
    lexgrog "$seite" > /dev/null || falsch "no whatis entry in $seite"
done
meldung "manual pages: $(ls "$bau"/man | tr '\n' ' ')"

# --- 2. make install / make uninstall ---------------------------------------
ziel=$arbeit/ziel
tripel=$(gcc -print-multiarch)
paketordner=$ziel/usr/local/lib/tcltk/$tripel/druckmessung1.0
make -C "$quelle" --no-print-directory install BUILD="$bau" DESTDIR="$ziel" PREFIX=/usr/local \
    > "$arbeit/install.log" 2>&1 || { cat "$arbeit/install.log"; exit 1; }
for datei in lib/tcltk/$tripel/druckmessung1.0/pkgIndex.tcl \
             lib/tcltk/$tripel/druckmessung1.0/libdruckbildanalyse.so \
             lib/tcltk/$tripel/druckmessung1.0/libbeckenrotation.so \
             lib/tcltk/$tripel/druckmessung1.0/libkalvora.so \
             lib/tcltk/$tripel/druckmessung1.0/libkmqstationd.so \
             lib/tcltk/$tripel/druckmessung1.0/libdruckbildkennzahlen.so \
             bin/dbldinfo include/druckmessung/dbld.h \
             share/man/man1/dbldinfo.1 share/man/man3/druckbildanalyse.3tcl \
             share/man/man3/beckenrotation.3tcl share/man/man3/kalvora.3tcl \
             share/man/man3/kmqstationd.3tcl share/man/man3/druckbildkennzahlen.3tcl \
             share/doc/tcl-druckmessung/README.md share/doc/tcl-druckmessung/doc/dbldinfo.md \
             share/doc/tcl-druckmessung/examples/demo/demo.tcl \
             share/doc/tcl-druckmessung/examples/data/seated/README.md \
             share/doc/tcl-druckmessung/examples/demo/gemeinsam.tcl \
             bin/druckmessung-anpassung share/man/man1/druckmessung-anpassung.1 \
             share/applications/druckmessung-anpassung.desktop \
             share/druckmessung/demo/anpassung.tcl share/druckmessung/data/kalibrierung_beispiel.json; do
    [ -f "$ziel/usr/local/$datei" ] || falsch "not installed: $datei"
done
grep -q '/usr/local/share/druckmessung/demo/anpassung.tcl' "$ziel/usr/local/bin/druckmessung-anpassung" \
    || falsch "the launcher does not name the installed view"
# The installed fitter's view: its export of a bundled recording with the
# example calibration, the packages from the install (where Xvfb, Tk, Img,
# tklib and tcllib are there).
echo 'exit [catch {package require Plotchart; package require json; package require img::png}]' \
    > "$arbeit/anpassung_pakete.tcl"
if command -v xvfb-run > /dev/null && command -v wish8.6 > /dev/null \
        && xvfb-run -a wish8.6 "$arbeit/anpassung_pakete.tcl" > /dev/null 2>&1; then
    if TCLLIBPATH=$ziel/usr/local/lib/tcltk/$tripel xvfb-run -a -s "-screen 0 1280x1024x24" \
            wish8.6 "$ziel/usr/local/share/druckmessung/demo/anpassung.tcl" -build "" -aufnahme u82 \
            -kalibrierung "$ziel/usr/local/share/druckmessung/data/kalibrierung_beispiel.json" \
            -export "$arbeit/anpassung" > "$arbeit/anpassung.log" 2>&1; then
        grep -q '"druck" : "kPa"' "$arbeit/anpassung/zusammenfassung.json" \
            || falsch "installed fitter's view: no kPa in its export"
    else
        falsch "installed fitter's view: $(tail -3 "$arbeit/anpassung.log")"
    fi
fi
geladen=$(echo 'foreach p {Druckbildanalyse Beckenrotation Kalvora Kmqstationd Druckbildkennzahlen} {
                   interp create i; lappend v [i eval [list package require $p]]; interp delete i }
               puts $v' | TCLLIBPATH=$ziel/usr/local/lib/tcltk/$tripel tclsh8.6 2>&1) || true
[ "$geladen" = "0.2 1.0 1.0 0.1 1.0" ] || falsch "packages from the installed index: $geladen"
mkdir -p "$arbeit/demo"
if (cd "$arbeit/demo" && PATH=$ziel/usr/local/bin:$PATH TCLLIBPATH=$ziel/usr/local/lib/tcltk/$tripel \
        tclsh8.6 "$ziel/usr/local/share/doc/tcl-druckmessung/examples/demo/demo.tcl" \
        > "$arbeit/demo.log" 2>&1); then
    grep -q "^Sitzbewertung" "$arbeit/demo.log" || falsch "installed demo: no seat scores"
    [ -n "$(ls "$arbeit/demo/druckmessung_demo"/*.jpg 2>/dev/null)" ] || falsch "installed demo: no pictures"
else
    falsch "installed demo: $(tail -3 "$arbeit/demo.log")"
fi
make -C "$quelle" --no-print-directory uninstall BUILD="$bau" DESTDIR="$ziel" > "$arbeit/uninstall.log" 2>&1 \
    || { cat "$arbeit/uninstall.log"; exit 1; }
rest=$(find "$ziel" -type f -o -name 'druckmessung*' -o -name tcl-druckmessung)
[ -z "$rest" ] || falsch "left after make uninstall: $rest"
meldung "make install and make uninstall below $ziel: checked"

# --- 3. Debian package -------------------------------------------------------
if ! command -v dpkg-buildpackage > /dev/null || ! command -v lintian > /dev/null; then
    falsch "dpkg-buildpackage or lintian missing (./run.sh test installs them)"
    exit 1
fi
mkdir -p "$arbeit/deb/druckmessung"
# The work tree's tracked files with their changes, as a commit would hold them.
stand=$(cd "$quelle" && git stash create)
(cd "$quelle" && git archive --format=tar "${stand:-HEAD}") | tar -x -C "$arbeit/deb/druckmessung"
start=$(date +%s)
if ! (cd "$arbeit/deb/druckmessung" && dpkg-buildpackage -us -uc -b -j"${JOBS:-2}" > ../bau.log 2>&1); then
    tail -40 "$arbeit/deb/bau.log"
    falsch "dpkg-buildpackage (log: $arbeit/deb/bau.log)"
    exit 1
fi
meldung "dpkg-buildpackage: $(($(date +%s) - start)) s, $(ls "$arbeit/deb"/*.deb | wc -l) packages," \
        "$(grep -E '^[0-9]+% tests passed' "$arbeit/deb/bau.log")"
zeilen=$(grep -E 'c\+\+ .* -c /' "$arbeit/deb/bau.log" | wc -l)
ohne=$(grep -E 'c\+\+ .* -c /' "$arbeit/deb/bau.log" | grep -vc -- '-ffp-contract=off' || true)
[ "$zeilen" -gt 0 ] && [ "$ohne" -eq 0 ] || falsch "compile lines: $zeilen, without -ffp-contract=off: $ohne"
grep -E 'c\+\+ .* -c /' "$arbeit/deb/bau.log" | grep -q -- '-fstack-protector-strong' \
    || falsch "no hardening flags on the compile lines"
lintian --fail-on error,warning "$arbeit/deb"/*.changes > "$arbeit/deb/lintian.log" 2>&1 \
    || falsch "lintian: $(cat "$arbeit/deb/lintian.log")"
meldung "lintian: $(grep -c '^[EW]:' "$arbeit/deb/lintian.log" || true) errors and warnings;" \
        "compile lines with -ffp-contract=off: $zeilen of $zeilen"
exit $fehler
