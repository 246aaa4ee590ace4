# The command-line tool dbldinfo on a bundled recording: every frame's size
# and value range, then the first frame cleaned and its hull listing.
set dbldinfo [expr {$build ne "" ? [file join $build dbldinfo] : "dbldinfo"}]
set datei cabseat_u82_4b2a3ea0_seat12x10.txt
set vorher [pwd]
cd $daten_dir

ueberschrift "dbldinfo $datei"
puts [exec $dbldinfo $datei]

ueberschrift "dbldinfo -b -u -n 1 $datei (bereinigt, Huellen als gnuplot-Liste)"
# The hull evaluation leaves the log at the debug level for the rest of the
# evaluation, so the right side's diagnostics go to stderr; the demo counts
# them instead of printing them.
set fehler_datei [file join $ausgabe_dir dbldinfo_demo.err]
puts [exec $dbldinfo -b -u -n 1 $datei 2> $fehler_datei]
set f [open $fehler_datei rb]
set zeilen [llength [split [string trimright [read $f] \n] \n]]
close $f
file delete $fehler_datei
puts "($zeilen Zeilen Diagnose auf stderr)"
cd $vorher
