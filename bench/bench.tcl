# Benchmarks: the C-level program (Google Benchmark), then the Tcl commands.
#   tclsh8.6 bench/bench.tcl ?build-folder?
set build [file normalize [expr {[llength $argv] ? [lindex $argv 0] : "build"}]]
lappend auto_path $build
set bench_dir [file dirname [file normalize [info script]]]

# Seated-like synthetic frame: two sit-bone mounds on a low background,
# n x n cells, deterministic.
proc bench_bild {n} {
    set werte {}
    set h [expr {$n / 2.0}]
    for {set r 0} {$r < $n} {incr r} {
        for {set c 0} {$c < $n} {incr c} {
            set d1 [expr {hypot($r - 0.45 * $n, $c - 0.3 * $n) / $h}]
            set d2 [expr {hypot($r - 0.45 * $n, $c - 0.7 * $n) / $h}]
            set v [expr {int(80 * exp(-8 * $d1 * $d1) + 70 * exp(-8 * $d2 * $d2))}]
            lappend werte [expr {$v < 3 ? 0 : $v}]
        }
    }
    return $werte
}

# Microseconds per call of a script, over enough calls for about half a second.
proc bench_zeit {script} {
    set t [lindex [time {uplevel 1 $script} 1] 0]
    set n [expr {max(3, int(500000.0 / max($t, 1)))}]
    return [lindex [time {uplevel 1 $script} $n] 0]
}

set programm [file join $build dbld_bench]
if {[file executable $programm]} {
    puts "== C-level (Google Benchmark)"
    puts [exec $programm --benchmark_min_time=0.2 2>@1]
}
puts "\n== Tcl commands (microseconds per call)"
# bench_tk.tcl is a Tk program of its own (wish under xvfb-run, see there).
foreach teil [lsort [glob -nocomplain -directory $bench_dir bench_*.tcl]] {
    if {[file tail $teil] ne "bench_tk.tcl"} {
        source $teil
    }
}
