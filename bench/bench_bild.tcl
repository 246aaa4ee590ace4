# ::druckbild::jpegdata on square frames at resolution 20 (the default), in
# an interpreter of its own: the station package brings its own
# ::druckbild::analyse.
interp create bild
bild eval [list lappend auto_path $build]
bild eval {package require Kmqstationd}
interp alias {} bild_jpegdata bild ::druckbild::jpegdata
puts [format "%-28s %10s %10s" "jpegdata (-resolution 20)" 32x32 64x64]
foreach {titel optionen} {
    "jpegdata"                  {}
    "jpegdata -grid solid"      {-grid solid}
    "jpegdata -quality 95"      {-quality 95}
} {
    set zeile [format "%-28s" $titel]
    foreach n {32 64} {
        set bild [bench_bild $n]
        append zeile [format " %10.1f" [bench_zeit {bild_jpegdata {*}$optionen $bild $n $n}]]
    }
    puts $zeile
}
puts "(Anteil der JPEG-Kompression: Z\u00e4hler Kompression bei BM_to_jpeg im C-Teil oben)"
interp delete bild
