# ::druckbild::jpegdata on seated-like square frames at resolution 20 and
# quality 80 (the defaults), timed in turn with libjpeg alone compressing
# the same raster in the same process (build/bench/libbild_bench.so).  The
# station package runs in an interpreter of its own: it brings its own
# ::druckbild::analyse.  Prints a Markdown table: medians per call, their
# ratio, and microseconds per 1000 cells (constant when the cost grows
# linearly with the number of cells).
interp create bild
bild eval [list lappend auto_path $build]
bild eval {package require Kmqstationd}
set hilfe [file join $build bench libbild_bench[info sharedlibextension]]

proc bild_median {werte} {
    set werte [lsort -real $werte]
    set n [llength $werte]
    set h [expr {$n / 2}]
    if {$n % 2} {return [lindex $werte $h]}
    return [expr {([lindex $werte [expr {$h - 1}]] + [lindex $werte $h]) / 2.0}]
}

proc bild_ms {us} {format "%.2f ms" [expr {$us / 1000.0}]}

if {![file exists $hilfe]} {
    puts "jpegdata: $hilfe missing (make bench builds it)"
} else {
    bild eval [list load $hilfe Bild_bench]
    puts "jpegdata (-resolution 20 -quality 80) and libjpeg alone on the same raster, medians:"
    puts ""
    puts "| frame | jpegdata per call | libjpeg alone | ratio | jpegdata per 1000 cells |"
    puts "|---|---|---|---|---|"
    foreach n {16 32 64 128} {
        set werte [bench_bild $n]
        # the helper's JPEG of its raster is the command's result: same raster
        set erwartet [bild eval [list ::bild_bench::raster $werte $n $n]]
        if {[bild eval [list ::druckbild::jpegdata $werte $n $n]] ne $erwartet} {
            error "jpegdata $n x $n: not libjpeg's bytes of the same raster"
        }
        # about a second per frame size, in turn
        set t0 [clock microseconds]
        bild eval [list ::druckbild::jpegdata $werte $n $n]
        set einmal [expr {2 * max(1, [clock microseconds] - $t0)}]
        set runden [expr {max(7, min(2000, int(1000000.0 / $einmal)))}]
        set jpeg {}
        set lib {}
        for {set i 0} {$i < $runden} {incr i} {
            set t0 [clock microseconds]
            bild eval [list ::druckbild::jpegdata $werte $n $n]
            lappend jpeg [expr {[clock microseconds] - $t0}]
            lappend lib [bild eval ::bild_bench::libjpeg]
        }
        set m_jpeg [bild_median $jpeg]
        set m_lib [bild_median $lib]
        puts [format "| %d x %d | %s | %s | %.2f | %.1f us |" $n $n [bild_ms $m_jpeg] \
                  [bild_ms $m_lib] [expr {$m_jpeg / $m_lib}] \
                  [expr {$m_jpeg * 1000.0 / ($n * $n)}]]
    }
    puts ""
}

interp alias {} bild_jpegdata bild ::druckbild::jpegdata
puts [format "%-28s %10s %10s" "jpegdata (-resolution 20)" 32x32 64x64]
foreach {titel optionen} {
    "jpegdata -grid solid"      {-grid solid}
    "jpegdata -quality 95"      {-quality 95}
    "jpegdata -mask (half)"     {-mask $maske}
} {
    set zeile [format "%-28s" $titel]
    foreach n {32 64} {
        set bild [bench_bild $n]
        set maske [lrepeat [expr {$n * $n / 2}] 0 1]
        append zeile [format " %10.1f" [bench_zeit "bild_jpegdata $optionen \$bild $n $n"]]
    }
    puts $zeile
}
interp delete bild
