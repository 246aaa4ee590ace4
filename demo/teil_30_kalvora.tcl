# Seat score: every frame of each recording, once with every cell taking part
# and once with the outer ring of cells masked.
package require Kalvora 1.0

# A mask that excludes the cells of the first and last row and column.
proc maske_ohne_rand {n_y n_x} {
    set maske {}
    for {set r 0} {$r < $n_y} {incr r} {
        for {set c 0} {$c < $n_x} {incr c} {
            lappend maske [expr {$r == 0 || $r == $n_y - 1 || $c == 0 || $c == $n_x - 1}]
        }
    }
    return $maske
}

ueberschrift "Sitzbewertung (Kalvora [package present Kalvora])"
puts [format "%-6s %4s %6s %12s %12s" Person Bild Zellen "alle Zellen" "ohne Rand"]
puts [string repeat "-" 44]
foreach {name bilder} [aufnahmen] {
    set nr 0
    foreach bild $bilder {
        lassign $bild n_y n_x werte
        set alle [::druckbild::kalvora $werte $n_y $n_x [lrepeat [llength $werte] 0]]
        set innen [::druckbild::kalvora $werte $n_y $n_x [maske_ohne_rand $n_y $n_x]]
        puts [format "%-6s %4d %6s %12s %12s" $name $nr "${n_y}x${n_x}" $alle $innen]
        incr nr
    }
}
puts "\nBewertung 0 .. 100: Anteil der Zellen (vom h\u00f6chsten Druck abw\u00e4rts), bis der"
puts "laufende Mittelwert um mehr als 10 % von seinem eigenen Mittel abweicht."
