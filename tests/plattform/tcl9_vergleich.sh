#!/bin/sh
# The comparison driver under Tcl 9 (CTest: vergleich_tcl9):
#   tests/plattform/tcl9_vergleich.sh bauordner8.6 bauordner9 tclsh8.6 tclsh9.0
# The cases of erzeuge_bilder.tcl through vergleich.tcl, with the modules
# of the build folder for Tcl 8.6 in tclsh8.6 and with those of the build
# folder for Tcl 9 in tclsh9.0.  Once the Tcl messages that Tcl 9 words
# otherwise (tcl9_meldungen.sed) are mapped to Tcl 9's words in the output
# under Tcl 8.6, the two outputs must be byte-identical; otherwise the first
# line where they part is printed.
set -u
quellen=$(cd "$(dirname "$0")/../.." && pwd)
bau=$(realpath "$1")
bau9=$(realpath "$2")
tclsh86=$3
tclsh9=$4
v=$bau9/tcl9vergleich
rm -rf "$v"
mkdir -p "$v"
meldung() { echo "vergleich_tcl9: $*"; }

"$tclsh86" "$quellen/tests/plattform/erzeuge_bilder.tcl" "$v/faelle.txt" "$v/bilder.dbld" ||
    { meldung "FAILED: cases not written"; exit 1; }
faelle=$(wc -l < "$v/faelle.txt")
lauf() {  # tclsh modulordner ausgabe
    "$1" "$quellen/tests/plattform/vergleich.tcl" "$2" "$v/faelle.txt" "$v/bilder.dbld" \
        "$bau/dbldinfo" > "$3" 2>&1
}
lauf "$tclsh86" "$bau" "$v/tcl86.txt" &
lauf "$tclsh9" "$bau9" "$v/tcl9.txt"
wait $!

fehler=0
for name in tcl86 tcl9; do
    if ! grep -qx "### faelle: $faelle" "$v/$name.txt"; then
        tail -5 "$v/$name.txt"
        meldung "FAILED: the run $name did not go through all $faelle cases"
        fehler=1
    fi
done
[ $fehler -eq 0 ] || exit 1

sed -f "$quellen/tests/plattform/tcl9_meldungen.sed" "$v/tcl86.txt" > "$v/tcl86_gefiltert.txt"
gefiltert=$(diff "$v/tcl86.txt" "$v/tcl86_gefiltert.txt" | grep -c '^<')
meldung "$faelle cases, $(wc -c < "$v/tcl9.txt") bytes under Tcl 9;" \
    "$gefiltert lines of Tcl 8.6 with Tcl's messages in Tcl 9's words (tcl9_meldungen.sed)"
if cmp -s "$v/tcl86_gefiltert.txt" "$v/tcl9.txt"; then
    meldung "byte-identical to the output under Tcl 8.6"
    exit 0
fi
n=$(cmp "$v/tcl86_gefiltert.txt" "$v/tcl9.txt" 2>&1 | sed -n 's/.*line \([0-9]*\).*/\1/p')
[ -n "$n" ] || n=1
meldung "first difference in line $n, in: $(head -n "$n" "$v/tcl9.txt" | grep '^### ' | tail -1)"
meldung "  Tcl 8.6: $(sed -n "${n}p" "$v/tcl86_gefiltert.txt" | cut -c1-400)"
meldung "  Tcl 9:   $(sed -n "${n}p" "$v/tcl9.txt" | cut -c1-400)"
meldung "FAILED: the outputs differ ($v)"
exit 1
