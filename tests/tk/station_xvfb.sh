#!/bin/sh
# The station viewer in a real Tk host under Xvfb (see station_bild.tcl).
#   station_xvfb.sh source-folder build-folder
# Exit 77, counted as skipped, where wish8.6, xvfb-run or xauth is missing
# (Debian: tk8.6, xvfb, xauth); station_bild.tcl does the same without Img.
quelle=$1
build=$2
for programm in wish8.6 xvfb-run xauth; do
    if ! command -v "$programm" >/dev/null 2>&1; then
        echo "SKIP: $programm fehlt (Debian-Pakete tk8.6, libtk-img, xvfb, xauth)"
        exit 77
    fi
done
exec xvfb-run -a -s "-screen 0 1280x1024x24" \
    wish8.6 "$quelle/tests/tk/station_bild.tcl" "$quelle" "$build"
