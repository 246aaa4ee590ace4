# ::druckbild::analyse: std, std+ and cop on square frames.
package require Druckbildanalyse
puts [format "%-28s %10s %10s %10s %10s" "analyse" 16x16 32x32 64x64 128x128]
foreach methode {std std+ cop} {
    set zeile [format "%-28s" "analyse $methode"]
    foreach n {16 32 64 128} {
        set bild [bench_bild $n]
        append zeile [format " %10.1f" [bench_zeit {::druckbild::analyse $methode $bild $n $n}]]
    }
    puts $zeile
}
