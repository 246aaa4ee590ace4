# ::druckbild::beckenrotation: logcop on a 32 x 32 frame, and result over a
# full log of 600 points.  result only fits when a recording is open, so each
# round logs 600 points first; the time of the logging alone is subtracted.
package require Beckenrotation

proc br_bench_punkte {} {
    set punkte {}
    for {set i 0} {$i < 600} {incr i} {
        lappend punkte [expr {16 + 2.0 * sin($i * 0.1)}] [expr {12 + 1.5 * cos($i * 0.13)}]
    }
    return $punkte
}
proc br_bench_loggen {punkte} {
    foreach {x y} $punkte {
        ::druckbild::beckenrotation log $x $y
    }
}

set br_bild32 [bench_bild 32]
set br_punkte [br_bench_punkte]
::druckbild::beckenrotation result
set br_logcop [bench_zeit {::druckbild::beckenrotation logcop $br_bild32 32 32}]
::druckbild::beckenrotation result
set br_loggen [bench_zeit {br_bench_loggen $br_punkte; ::druckbild::beckenrotation result}]
set br_nur_log [bench_zeit {br_bench_loggen $br_punkte}]
::druckbild::beckenrotation result
set br_wieder [bench_zeit {::druckbild::beckenrotation result}]

puts [format "%-44s %10.1f" "beckenrotation logcop 32x32" $br_logcop]
puts [format "%-44s %10.1f" "beckenrotation 600 x log" $br_nur_log]
puts [format "%-44s %10.1f" "beckenrotation 600 x log + result" $br_loggen]
puts [format "%-44s %10.1f" "  so result (fit over 600 points) about" [expr {$br_loggen - $br_nur_log}]]
puts [format "%-44s %10.1f" "beckenrotation result (repeated, no fit)" $br_wieder]
