#!/bin/sh
# The station viewer in a real Tk host under Xvfb (see station_bild.tcl),
# or another script of this folder (anpassung_export.tcl: the fitter's view).
#   station_xvfb.sh source-folder build-folder ?wish? ?script?
# wish is wish8.6 (default) or wish9.0 (Tk 9, Img 2: the modules for Tcl 9,
# found in build-folder/tcl9).  Exit 77, counted as skipped, where wish,
# xvfb-run or xauth is missing (Debian: tk8.6 or tk9.0, xvfb, xauth);
# station_bild.tcl does the same without Img.
quelle=$1
build=$2
wish=${3:-wish8.6}
skript=${4:-station_bild.tcl}
for programm in "$wish" xvfb-run xauth; do
    if ! command -v "$programm" >/dev/null 2>&1; then
        echo "SKIP: $programm fehlt (Debian-Pakete tk8.6 oder tk9.0, libtk-img, xvfb, xauth)"
        exit 77
    fi
done
exec xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$wish" "$quelle/tests/tk/$skript" "$quelle" "$build"
