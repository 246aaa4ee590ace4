# The Druckbildkennzahlen package on seated-like square frames, each figure
# as a ratio to what it must at least cost, measured in the same rounds:
#  - statistik against the floor ::bench::boden of the same frame (the
#    count checks and the list conversion every image command does);
#  - mittel over 50 frames against the floor of converting the 50 lists;
#  - differenzbild against jpegdata of the same size (resolution 20,
#    quality 80), the false-colour JPEG whose raster and compressor it
#    shares.
# A ratio is taken against the mean of its two neighbouring floor runs and
# the median over the rounds is reported, as for Druckbildanalyse.
package require Druckbildkennzahlen
# jpegdata from an interpreter of its own: the station package brings its
# own ::druckbild::analyse, which the other benchmarks must not meet.
interp create kennzahlen_station
kennzahlen_station eval [list set auto_path $auto_path]
kennzahlen_station eval {package require Kmqstationd}
interp alias {} ::bench_kennzahlen::jpegdata kennzahlen_station ::druckbild::jpegdata

namespace eval ::bench_kennzahlen {
    variable groessen {16 32 64 128}
    variable runden 9
    variable n_bilder 50

    proc median {werte} {
        set werte [lsort -real $werte]
        return [lindex $werte [expr {[llength $werte] / 2}]]
    }

    # Microseconds per call of a script, over about 20 ms of calls.
    proc messen {script} {
        set t [lindex [uplevel #0 [list time $script 3]] 0]
        set n [expr {max(3, int(20000.0 / max($t, 0.5)))}]
        return [lindex [uplevel #0 [list time $script $n]] 0]
    }

    # One ratio of a command to its floor, the floor measured before and
    # after it: {command-us floor-us ratio}.
    proc verhaeltnis {befehl boden} {
        set vorher [messen $boden]
        set zeit [messen $befehl]
        set nachher [messen $boden]
        set b [expr {($vorher + $nachher) / 2.0}]
        return [list $zeit $b [expr {$zeit / $b}]]
    }

    proc laufen {build} {
        variable groessen
        variable runden
        variable n_bilder
        set boden [file join $build libboden[info sharedlibextension]]
        if {![file exists $boden]} {
            puts "Druckbildkennzahlen: $boden missing (make bench builds it)"
            return
        }
        load $boden Boden
        set last [expr {[file readable /proc/loadavg]
                        ? [lindex [read [set f [open /proc/loadavg]]][close $f] 0] : "?"}]
        foreach n $groessen {
            set ::bench_kennzahlen::bild($n) [bench_bild $n]
            # the frames of a sitting: the same seat with a little drift
            set bilder {}
            for {set k 0} {$k < $n_bilder} {incr k} {
                lappend bilder [lmap v $::bench_kennzahlen::bild($n) {
                    expr {$v > 0 ? $v + ($k + $v) % 5 : 0}
                }]
            }
            set ::bench_kennzahlen::bilder($n) $bilder
            # after a change of cushion: the mounds a tenth higher
            set ::bench_kennzahlen::nachher($n) [lmap v $::bench_kennzahlen::bild($n) {
                expr {$v * 11 / 10}
            }]
        }
        set alle_boden {apply {{bilder n} {
            foreach b $bilder { ::bench::boden $b $n $n }
        }}}
        for {set r 0} {$r < $runden} {incr r} {
            foreach n $groessen {
                set b "::bench_kennzahlen::bild($n)"
                set bb "::bench_kennzahlen::bilder($n)"
                set nb "::bench_kennzahlen::nachher($n)"
                lappend m(statistik,$n) [verhaeltnis \
                    "::druckbild::statistik \$$b $n $n" "::bench::boden \$$b $n $n"]
                lappend m(mittel,$n) [verhaeltnis \
                    "::druckbild::mittel \$$bb $n $n" "$alle_boden \$$bb $n"]
                lappend m(differenzbild,$n) [verhaeltnis \
                    "::druckbild::differenzbild \$$b \$$nb $n $n" \
                    "::bench_kennzahlen::jpegdata \$$nb $n $n"]
            }
        }

        puts ""
        puts "== Druckbildkennzahlen: median of $runden rounds,\
              load average [string trim $last] at the start"
        puts ""
        set kopf "| figure |"
        set linie "|---|"
        foreach n $groessen {
            append kopf " $n x $n |"
            append linie "---:|"
        }
        puts $kopf
        puts $linie
        foreach {name titel ziel einheit} {
            statistik "statistik" 1.5 "floor (counts, list -> int)"
            mittel "mittel over 50 frames" 1.5 "floor of the 50 lists"
            differenzbild "differenzbild" 1.1 "jpegdata of the same size"
        } {
            foreach {i art} {0 "Tcl: $titel, us" 1 "Tcl: $einheit, us"} {
                set z "| [subst $art] |"
                foreach n $groessen {
                    append z [format " %.2f |" [median [lmap e $m($name,$n) {lindex $e $i}]]]
                }
                puts $z
            }
            set z "| **$titel / $einheit** (target <= $ziel) |"
            foreach n $groessen {
                append z [format " %.2f |" [median [lmap e $m($name,$n) {lindex $e 2}]]]
            }
            puts $z
        }
    }
}

::bench_kennzahlen::laufen $build
