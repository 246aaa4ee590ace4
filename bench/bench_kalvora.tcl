# ::druckbild::kalvora on square frames, every cell taking part.
package require Kalvora
puts [format "%-28s %10s %10s %10s" "kalvora" 16x16 32x32 64x64]
set zeile [format "%-28s" "kalvora"]
foreach n {16 32 64} {
    set bild [bench_bild $n]
    set maske [lrepeat [llength $bild] 0]
    append zeile [format " %10.1f" [bench_zeit {::druckbild::kalvora $bild $n $n $maske}]]
}
puts $zeile
