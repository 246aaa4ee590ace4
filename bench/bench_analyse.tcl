# ::druckbild::analyse: std, std+ and cop on square seated-like frames,
# side by side with
#  - the floor ::bench::boden (build/libboden.so, built with the benchmarks):
#    the count checks and the list conversion every image command does;
#  - the point-by-point reference evaluations (C level, BM_*_referenz of
#    dbld_bench), which the library's evaluations equal bit for bit.
# Every figure is the median of several rounds; within a round the commands
# and sizes take turns, so that load from elsewhere falls on all of them
# alike.  The table at the end is Markdown.
package require Druckbildanalyse

namespace eval ::bench_analyse {
    variable groessen {16 32 64 128}
    variable runden 9

    proc median {werte} {
        set werte [lsort -real $werte]
        return [lindex $werte [expr {[llength $werte] / 2}]]
    }

    # Microseconds per call of a script, over about 20 ms of calls.
    proc messen {script} {
        set t [lindex [uplevel 1 [list time $script 3]] 0]
        set n [expr {max(3, int(20000.0 / max($t, 0.5)))}]
        return [lindex [uplevel 1 [list time $script $n]] 0]
    }

    # The C-level medians (nanoseconds, CPU time) of the evaluations and
    # their references, from one interleaved run of dbld_bench:
    # dict name/size -> ns.
    proc c_ebene {programm} {
        variable runden
        set aus [exec $programm {--benchmark_filter=^BM_(std|stdplus|cop)(_referenz)?/} \
            --benchmark_repetitions=$runden --benchmark_enable_random_interleaving=true \
            --benchmark_report_aggregates_only=true --benchmark_min_time=0.05 \
            --benchmark_format=csv 2>@1]
        set ergebnis {}
        foreach zeile [split $aus \n] {
            if {[regexp {^"(BM_[a-z_]+)/(\d+)_median",\d+,[^,]+,([^,]+),ns} $zeile -> name n cpu]} {
                dict set ergebnis $name/$n $cpu
            }
        }
        return $ergebnis
    }

    proc zahl {wert {stellen 1}} {
        if {$wert eq ""} { return "-" }
        return [format "%.${stellen}f" $wert]
    }

    # Growth of a time from the smallest to the largest frame, as a factor
    # beside the factor of the cells.
    proc wachstum {zeiten} {
        variable groessen
        set a [lindex $zeiten 0]
        set b [lindex $zeiten end]
        if {$a eq "" || $b eq "" || $a <= 0} { return "-" }
        return "x[format %.1f [expr {$b / $a}]]"
    }

    proc zeile {titel werte {stellen 1} {wachstum ""}} {
        set z "| $titel |"
        foreach w $werte { append z " [zahl $w $stellen] |" }
        append z " $wachstum |"
        puts $z
    }

    proc verhaeltnisse {zaehler nenner} {
        set v {}
        foreach a $zaehler b $nenner {
            lappend v [expr {$a eq "" || $b eq "" ? "" : $a / $b}]
        }
        return $v
    }

    proc laufen {build programm} {
        variable groessen
        variable runden
        set boden [file join $build libboden[info sharedlibextension]]
        set mit_boden [file exists $boden]
        if {$mit_boden} {
            load $boden Boden
        }
        set last [expr {[file readable /proc/loadavg]
                        ? [lindex [read [set f [open /proc/loadavg]]][close $f] 0] : "?"}]

        # Tcl level: rounds of every command on every size, each command
        # between two runs of the floor.  A ratio is taken against the mean
        # of its two neighbouring floor runs in the same round, and the
        # median of a ratio over the rounds is reported: the load of others
        # on this machine drifts over seconds, the ratio of neighbours less.
        foreach n $groessen {
            set bild($n) [bench_bild $n]
        }
        set befehle {std {::druckbild::analyse std} cop {::druckbild::analyse cop}
                     std+ {::druckbild::analyse std+}}
        for {set r 0} {$r < $runden} {incr r} {
            foreach n $groessen {
                set boden_vorher [expr {$mit_boden
                    ? [messen [list ::bench::boden $bild($n) $n $n]] : ""}]
                lappend t(boden,$n) $boden_vorher
                foreach {name befehl} $befehle {
                    set zeit [messen [list {*}$befehl $bild($n) $n $n]]
                    lappend t($name,$n) $zeit
                    if {$mit_boden} {
                        set boden_nachher [messen [list ::bench::boden $bild($n) $n $n]]
                        lappend t(boden,$n) $boden_nachher
                        lappend q($name,$n) [expr {2 * $zeit / ($boden_vorher + $boden_nachher)}]
                        set boden_vorher $boden_nachher
                    }
                }
            }
        }
        foreach name {boden std cop std+} {
            set tcl($name) {}
            set quote($name) {}
            foreach n $groessen {
                lappend tcl($name) [expr {$mit_boden || $name ne "boden" ? [median $t($name,$n)] : ""}]
                lappend quote($name) [expr {[info exists q($name,$n)] ? [median $q($name,$n)] : ""}]
            }
        }

        # C level.
        set c {}
        if {[file executable $programm]} {
            set c [c_ebene $programm]
        }
        foreach name {std std_referenz stdplus stdplus_referenz cop cop_referenz} {
            set cwerte($name) {}
            foreach n $groessen {
                set ns [expr {[dict exists $c BM_$name/$n] ? [dict get $c BM_$name/$n] : ""}]
                lappend cwerte($name) [expr {$ns eq "" ? "" : $ns / 1000.0}]
            }
        }

        puts ""
        puts "== Druckbildanalyse: median of $runden rounds,\
              load average [string trim $last] at the start"
        puts ""
        set kopf "| figure |"
        set linie "|---|"
        foreach n $groessen {
            append kopf " $n x $n |"
            append linie "---:|"
        }
        set klein [lindex $groessen 0]
        set gross [lindex $groessen end]
        puts "$kopf growth ${klein}x$klein -> ${gross}x$gross\
              (cells x[expr {($gross / $klein) ** 2}]) |"
        puts "$linie---:|"
        foreach {name titel} {
            stdplus_referenz "C: std+ point by point, us"
            stdplus          "C: std+, us"
        } {
            zeile $titel $cwerte($name) 1 [wachstum $cwerte($name)]
        }
        zeile "**std+ / point by point** (target <= 0.33)" \
            [verhaeltnisse $cwerte(stdplus) $cwerte(stdplus_referenz)] 2
        foreach {name titel} {
            std_referenz "C: std point by point, us"
            std          "C: std, us"
            cop_referenz "C: cop as first written, us"
            cop          "C: cop, us"
        } {
            zeile $titel $cwerte($name) 2 [wachstum $cwerte($name)]
        }
        zeile "Tcl: floor (counts, list -> int), us" $tcl(boden) 2 [wachstum $tcl(boden)]
        zeile "Tcl: analyse std, us" $tcl(std) 2 [wachstum $tcl(std)]
        zeile "**std / floor** (target <= 1.5)" $quote(std) 2
        zeile "Tcl: analyse cop, us" $tcl(cop) 2 [wachstum $tcl(cop)]
        zeile "**cop / floor** (target <= 2)" $quote(cop) 2
        zeile "Tcl: analyse std+, us" $tcl(std+) 1 [wachstum $tcl(std+)]
        zeile "std+ / floor" $quote(std+) 1
        if {!$mit_boden} {
            puts "(no $boden: configure with -DDBLD_BENCH=ON for the floor command)"
        }
    }
}

::bench_analyse::laufen $build [file join $build dbld_bench]
