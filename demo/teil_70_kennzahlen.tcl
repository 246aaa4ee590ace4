# The fitter's figures: for each recording its rounded mean image (a stable
# snapshot of the sitting) with the figures of statistik, the outline sizes
# of both sides, and the difference of the last frame to the first as a
# JPEG in the demo's output folder, with the legend's colours.
package require Druckbildkennzahlen 1.0

ueberschrift "Kennzahlen des Mittelbilds (Druckbildkennzahlen [package present Druckbildkennzahlen])"
puts [format "%-6s %6s %6s %6s %7s %5s %7s %7s %6s %9s %10s" Person Bilder Zellen Spitze \
          Mittel VK links rechts PPI "PPI bei" "Umriss l/r"]
puts [string repeat "-" 90]
foreach {name bilder} [aufnahmen] {
    lassign [lindex $bilder 0] n_y n_x
    set mittel [::druckbild::mittel [lmap b $bilder {lindex $b 2}] $n_y $n_x -ganzzahlig]
    set s [::druckbild::statistik $mittel $n_y $n_x -schwelle 2]
    set u [::druckbild::umrisse $mittel $n_y $n_x]
    puts [format "%-6s %6d %6d %6d %7.2f %5.2f %6.1f%% %6.1f%% %6.1f %9s %10s" $name \
              [llength $bilder] [dict get $s zellen] [dict get $s spitze] [dict get $s mittel] \
              [dict get $s variationskoeffizient] [dict get $s anteil_links] \
              [dict get $s anteil_rechts] [dict get $s ppi] \
              "[dict get $s ppi_zeile],[dict get $s ppi_spalte]" \
              "[expr {[llength [dict get $u links]] / 2}]/[expr {[llength [dict get $u rechts]] / 2}]"]
    set datei [file join $ausgabe_dir ${name}_differenz.jpg]
    set f [open $datei wb]
    puts -nonewline $f [::druckbild::differenzbild [lindex $bilder 0 2] [lindex $bilder end 2] \
                            $n_y $n_x -grid dotted -maximum 20]
    close $f
}
puts "\nZellen mit Druck > 2; VK: Variationskoeffizient; PPI: h\u00f6chstes Mittel eines Fensters"
puts "von 3 x 3 Zellen und seine Mitte (Zeile, Spalte); Umriss: Punkte je Seite."
puts "Differenzbilder (letztes minus erstes Bild, Skala \u00b120): [file join $ausgabe_dir *_differenz.jpg]"
puts "Legende: [::druckbild::farbskala -divergierend 5]"
