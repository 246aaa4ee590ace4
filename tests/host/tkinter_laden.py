#!/usr/bin/env python3
"""Loads the four packages into Python's Tcl (tkinter.Tcl()), a host that
opens libtcl privately.  The stubs build (DBLD_TCL_STUBS) must load there
and compute; the default build must fail with the dynamic linker's
undefined-symbol message, as it takes Tcl from the loading process.

    python3 tkinter_laden.py build-folder stubs|default

Exit 0 when the build behaves as expected, 1 when not, and 77 (counted as
skipped) when this Python has no tkinter (Debian package python3-tk)."""
import sys

try:
    import tkinter
except ImportError as fehler:
    print(f"SKIP: {sys.executable} has no tkinter ({fehler}); install python3-tk")
    sys.exit(77)

build, art = sys.argv[1], sys.argv[2]

# Package, a script run after package require, and its expected result.
PROBEN = [
    ("Druckbildanalyse", "::druckbild::analyse cop {0 0 0 5} 2 2", "x 1.0 y 1.0"),
    ("Kalvora", "::druckbild::kalvora {10 10 2 10 10} 1 5 {0 0 0 0 0}", "75.0"),
    ("Beckenrotation",
     "foreach {x y} {0 0 4 0 1 2 5 2} {::druckbild::beckenrotation log $x $y}\n"
     "set r [::druckbild::beckenrotation result]\n"
     "list [dict get $r width] [dict get $r height] [dict get $r center_x]",
     "100.0 40.0 2.5"),
    # A 2 x 3 image at the default resolution is 60 x 40 pixels (width and
    # height from the JPEG frame header), and the fixed-key cipher.
    ("Kmqstationd",
     "set j [::druckbild::jpegdata {10 40 90 120 200 255} 2 3]\n"
     "binary scan $j @[expr {[string first \\xff\\xc0 $j] + 5}]SuSu h w\n"
     "list [string range $j 0 1] $w $h [::kmqcrypt encrypt00 {Hallo Welt}]",
     "\xff\xd8 60 40 c11129b2c24004d82330e931cc04d1d9"),
    ("Druckbildkennzahlen",
     "list [dict get [::druckbild::statistik {0 5 9 0} 2 2] summe] [::druckbild::farbskala 2]",
     "14 {{#ffffff} #ff0400}"),
]

fehler = 0
for paket, skript, erwartet in PROBEN:
    # One interpreter per package: Kmqstationd brings its own
    # ::druckbild::analyse.
    tcl = tkinter.Tcl()
    tcl.eval(f"lappend auto_path {{{build}}}")
    try:
        version = tcl.eval(f"package require {paket}")
        ergebnis = tcl.eval(skript)
    except tkinter.TclError as e:
        ergebnis = None
        meldung = str(e)
    if art == "stubs":
        gut = ergebnis == erwartet
        text = f"{paket} {version}: {ergebnis!r}" if ergebnis is not None else f"{paket}: {meldung}"
    else:
        gut = ergebnis is None and "undefined symbol: Tcl_" in meldung
        text = f"{paket}: {meldung}" if ergebnis is None else f"{paket} loaded: {ergebnis!r}"
    print(("ok    " if gut else "FALSCH ") + text)
    fehler += not gut

sys.exit(1 if fehler else 0)
