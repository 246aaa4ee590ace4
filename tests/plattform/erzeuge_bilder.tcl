# Cases for the comparison of platforms (vergleich.tcl): the bundled
# recordings, seated-like frames (two sit-bone mounds on a low background)
# and random frames, each with a mask and its own rendering settings.
#   tclsh8.6 erzeuge_bilder.tcl faelle.txt bilder.dbld
# faelle.txt: one case per line, a Tcl list
#   name n_y n_x werte maske jpeg-optionen kontrast hintergrund
# bilder.dbld: every frame in the pressure image text format for dbldinfo
# (masked cells as -1, values below 0 as 0).  A fixed seed: every run writes
# the same files.

source [file join [file dirname [file normalize [info script]]] .. .. demo aufnahme.tcl]

namespace eval zufall {
    variable zustand 20250611
}
# An integer 0 .. n - 1.
proc zufall {n} {
    set z [expr {($zufall::zustand * 1103515245 + 12345) % 2147483648}]
    set zufall::zustand $z
    return [expr {($z >> 12) % $n}]
}
# A number in [0, 1).
proc anteil {} {
    return [expr {[zufall 100000] / 100000.0}]
}

# Two mounds of random place, size and height, a low background and noise.
proc sitzbild {n_y n_x} {
    set m {}
    foreach seite {0.22 0.6} {
        lappend m [expr {$n_x * ($seite + 0.18 * [anteil])}] \
            [expr {$n_y * (0.25 + 0.4 * [anteil])}] \
            [expr {max(0.6, $n_x * (0.06 + 0.14 * [anteil]))}] \
            [expr {max(0.6, $n_y * (0.08 + 0.18 * [anteil]))}] \
            [expr {15 + [zufall 240]}]
    }
    set grund [zufall 6]
    set rauschen [expr {1 + [zufall 5]}]
    set schwelle [zufall 4]
    set werte {}
    for {set r 0} {$r < $n_y} {incr r} {
        for {set c 0} {$c < $n_x} {incr c} {
            set v [expr {$grund + [zufall $rauschen]}]
            foreach {cx cy rx ry h} $m {
                set d [expr {(($c - $cx) / $rx) ** 2 + (($r - $cy) / $ry) ** 2}]
                set v [expr {$v + $h * exp(-$d)}]
            }
            set v [expr {int($v)}]
            lappend werte [expr {$v <= $schwelle ? 0 : $v}]
        }
    }
    return $werte
}

# Sparse noise: zeros, small and large values, negative ones and values near
# the top of int.  The first value is not negative: jpegdata would take the
# list for an option.
proc zufallsbild {n_y n_x} {
    set werte {}
    for {set i 0} {$i < $n_y * $n_x} {incr i} {
        set z [zufall 100]
        if {$i == 0 && $z >= 92 && $z < 96} {
            set z 0
        }
        lappend werte [expr {$z < 45 ? 0 : $z < 85 ? $z : $z < 92 ? 100 * $z + [zufall 100]
                             : $z < 96 ? -$z : 2147483547 + $z}]
    }
    return $werte
}

# A mask of the kind art: 0 none, 1 scattered cells, 2 the outer ring,
# 3 a block; non-zero elements of several values.
proc maske {art n_y n_x} {
    set m {}
    set r0 [zufall [expr {max(1, $n_y)}]]
    set c0 [zufall [expr {max(1, $n_x)}]]
    for {set r 0} {$r < $n_y} {incr r} {
        for {set c 0} {$c < $n_x} {incr c} {
            switch $art {
                0 { set an 0 }
                1 { set an [expr {[zufall 100] < 15}] }
                2 { set an [expr {$r == 0 || $c == 0 || $r == $n_y - 1 || $c == $n_x - 1}] }
                3 { set an [expr {abs($r - $r0) < 3 && abs($c - $c0) < 2}] }
            }
            lappend m [expr {$an ? [lindex {1 2 -1 7} [zufall 4]] : 0}]
        }
    }
    return $m
}

# Rendering settings of case i: every resolution 1 .. 20, grid style,
# frame width, scale top, quality, contrast (-1 .. 8 and one beyond the
# clamp), background colour.
proc einstellungen {i maske} {
    set optionen [list -resolution [expr {$i % 20 + 1}] \
                      -grid [lindex {no solid dotted} [expr {$i % 3}]] \
                      -frame [expr {$i % 7}] \
                      -quality [lindex {80 1 35 75 90 100 50} [expr {$i % 7}]]]
    if {$i % 5 == 2} {
        lappend optionen -maximum [expr {1 + [zufall 400]}]
    }
    if {[lsearch -not $maske 0] >= 0} {
        lappend optionen -mask $maske
    }
    set kontrast [expr {$i % 13 == 12 ? 12 : $i % 10 - 1}]
    set hintergrund [format #%02x%02x%02x [zufall 256] [zufall 256] [zufall 256]]
    return [list $optionen $kontrast $hintergrund]
}

proc text_format {f n_y n_x werte maske} {
    for {set r [expr {$n_y - 1}]} {$r >= 0} {incr r -1} {
        set zeile [format %2d: $r]
        for {set c 0} {$c < $n_x} {incr c} {
            set i [expr {$r * $n_x + $c}]
            set v [lindex $werte $i]
            append zeile [format " %3d" [expr {[lindex $maske $i] != 0 ? -1 : max(0, $v)}]]
        }
        puts $f $zeile
    }
}

lassign $argv faelle_datei dbld_datei
set faelle {}
foreach {person datei} [::aufnahme::gebuendelt] {
    set k 0
    foreach frame [::aufnahme::lesen $datei] {
        lappend faelle [list $person/[incr k] {*}$frame]
    }
}
for {set k 1} {$k <= 180} {incr k} {
    # Mostly station sizes, some odd and narrow, one in ten larger.
    set n_y [expr {$k % 10 == 0 ? 30 + [zufall 35] : 4 + [zufall 24]}]
    set n_x [expr {$k % 10 == 0 ? 30 + [zufall 35] : 3 + [zufall 22]}]
    lappend faelle [list sitz/$k $n_y $n_x [sitzbild $n_y $n_x] [maske [expr {$k % 4}] $n_y $n_x]]
}
for {set k 1} {$k <= 100} {incr k} {
    set n_y [expr {$k % 9 == 0 ? 1 : 1 + [zufall 30]}]
    set n_x [expr {$k % 11 == 0 ? 1 : 1 + [zufall 30]}]
    lappend faelle [list zufall/$k $n_y $n_x [zufallsbild $n_y $n_x] [maske [expr {$k % 4}] $n_y $n_x]]
}
# Edge cases: all values alike (sampling just below val_min), all zero, a
# single cell, one loaded corner, int's top, no measurement at all, no rows.
foreach {name n_y n_x wert} {gleich7 3 3 7 gleich200 5 4 200 null 4 4 0 eins 1 1 9
                             oben 3 2 2147483647 fehlend 3 4 -1} {
    lappend faelle [list rand/$name $n_y $n_x [lrepeat [expr {$n_y * $n_x}] $wert] \
                        [lrepeat [expr {$n_y * $n_x}] 0]]
}
lappend faelle [list rand/ecke 2 2 {0 0 0 5} {0 0 0 0}] [list rand/leer 0 4 {} {}]

set f [open $faelle_datei w]
set g [open $dbld_datei w]
set i 0
foreach fall $faelle {
    lassign $fall name n_y n_x werte maske
    puts $f [list $name $n_y $n_x $werte $maske {*}[einstellungen $i $maske]]
    if {$n_y > 0} {
        puts $g "# $name"
        text_format $g $n_y $n_x $werte $maske
    }
    incr i
}
close $f
close $g
