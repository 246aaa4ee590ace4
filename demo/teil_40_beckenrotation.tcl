# Pelvic rotation: the centre of pressure of every frame of each recording is
# logged with logcop, then result closes the recording and fits the figure.
package require Beckenrotation 1.0

proc br_punkt {r name} {
    format "(%6.3f, %6.3f)" [dict get $r ${name}_x] [dict get $r ${name}_y]
}

ueberschrift "Beckenrotation (Beckenrotation [package present Beckenrotation])"
foreach {name bilder} [aufnahmen] {
    # A result first: it closes any open recording, so the first logcop of
    # this recording starts a new one.
    ::druckbild::beckenrotation result
    set n 0
    foreach bild $bilder {
        lassign $bild n_y n_x werte
        set n [::druckbild::beckenrotation logcop $werte $n_y $n_x]
    }
    set r [::druckbild::beckenrotation result]
    puts ""
    puts "$name: [llength $bilder] Bilder, $n Druckmittelpunkte im Protokoll"
    if {![dict size $r]} {
        puts "  keine Figur (zu wenige oder gleichartige Punkte)"
        continue
    }
    puts [format "  Mitte   %s" [br_punkt $r center]]
    puts [format "  links   %s   vorn    %s" [br_punkt $r left] [br_punkt $r front]]
    puts [format "  rechts  %s   hinten  %s" [br_punkt $r right] [br_punkt $r rear]]
    puts [format "  Ecken   c1 %s  c2 %s" [br_punkt $r c1] [br_punkt $r c2]]
    puts [format "          c4 %s  c3 %s" [br_punkt $r c4] [br_punkt $r c3]]
    puts [format "  Breite %.3f, H\u00f6he %.3f" [dict get $r width] [dict get $r height]]
}
puts "\nPunkte in Zellen (x = Spalte, y = Zeile, c1 vorn links ... c4 hinten links);"
puts "Breite und H\u00f6he: das Zehnfache der Ausdehnung des Parallelogramms."
