# Sit-bone analysis: std, std+ and cop of the first frame of each recording.
package require Druckbildanalyse 0.2

ueberschrift "Sitzbeinanalyse (Druckbildanalyse [package present Druckbildanalyse])"
puts [format "%-6s %-15s %-15s %6s %6s %6s | %6s %5s %5s %5s | %6s %6s" \
          Person "Schwerpkt links" "Schwerpkt rechts" SkA "Gew.l" "Gew.r" \
          "SkA+" "YW_l" "YW_r" "YW" "cop_x" "cop_y"]
puts [string repeat "-" 112]
foreach {name bilder} [aufnahmen] {
    lassign [lindex $bilder 0] n_y n_x werte
    set s [::druckbild::analyse std $werte $n_y $n_x]
    set p [::druckbild::analyse std+ $werte $n_y $n_x]
    set c [::druckbild::analyse cop $werte $n_y $n_x]
    puts [format "%-6s (%5.2f, %5.2f)  (%5.2f, %5.2f)  %6.2f %6.1f %6.1f | %6.2f %5.0f %5.0f %5.0f | %6.3f %6.3f" \
              $name \
              [dict get $s schwerpunkt1_x] [dict get $s schwerpunkt1_y] \
              [dict get $s schwerpunkt2_x] [dict get $s schwerpunkt2_y] \
              [dict get $s sitzknochenabstand] \
              [dict get $s gewicht1] [dict get $s gewicht2] \
              [dict get $p sitzknochenabstand] \
              [dict get $p sitzknochenwinkel_links] \
              [dict get $p sitzknochenwinkel_rechts] [dict get $p sitzknochenwinkel] \
              [dict get $c x] [dict get $c y]]
}
puts "\nPositionen in Zellen (x = Spalte, y = Zeile), Gewichte in Prozent, Winkel in Grad."
