# Recordings for the demo, the station viewer and their tests: a reader of
# the pressure image text format, the bundled recordings, and a generated
# seated sequence for larger mats.  Plain Tcl, no package needed.
#
# A frame is a list {n_y n_x werte maske}: the row and column counts, the
# values as a flat list, row 0 first, and one mask flag per cell (1 where
# the file marks the cell with -1 as without valid measurement; such a
# cell's value is 0).

namespace eval ::aufnahme {
    # The longest line read (a row of 16383 cells at 64 characters each).
    variable zeilen_grenze 1048576
    variable daten_dir [file normalize [file join [file dirname [info script]] .. data seated]]
}

# Reads every frame of a file in the text format.  Each frame runs from its
# highest row index down to row 0, one line "index: values" per row; lines
# starting with "#" or an upper-case letter, and blank lines, may stand
# before and between frames.  All frames must have the size of the first.
# A file that breaks the format gives an error "file: Zeile n: reason".
proc ::aufnahme::lesen {datei} {
    set f [open $datei r]
    try {
        return [lesen_kanal $f [file tail $datei]]
    } finally {
        close $f
    }
}

# Lines are read in blocks, so that a line is held only up to
# zeilen_grenze characters: a longer one (a file of no line ends, such as
# /dev/zero) is refused at that length instead of being read to its end.
proc ::aufnahme::lesen_kanal {f name} {
    variable zeilen_grenze
    set bilder {}
    set zeilen {}       ;# rows of the frame being read, highest row first
    set naechster -1    ;# index the next row line must carry, -1 between frames
    set n_y 0
    set n_x 0
    set nr 0
    set vorrat {}       ;# whole lines of the last block not yet taken
    set vi 0
    set angefangen ""   ;# the beginning of the line after them
    while 1 {
        if {$vi >= [llength $vorrat]} {
            if {[eof $f]} {
                if {$angefangen eq ""} break
                set vorrat [list $angefangen]
                set angefangen ""
            } else {
                set vorrat [split $angefangen[read $f 65536] \n]
                set angefangen [lindex $vorrat end]
                set vorrat [lrange $vorrat 0 end-1]
                if {[llength $vorrat] == 0 && [string length $angefangen] > $zeilen_grenze} {
                    error "$name: Zeile [expr {$nr + 1}]: l\u00e4nger als $zeilen_grenze Zeichen"
                }
            }
            set vi 0
            continue
        }
        set zeile [lindex $vorrat $vi]
        incr vi
        incr nr
        if {$naechster < 0 && ([string trim $zeile] eq "" || [regexp {^[#A-Z]} $zeile])} {
            continue
        }
        if {![regexp {^\s*(\d+):(.*)$} $zeile -> index rest]} {
            regsub -all {[^[:print:]]} [string range $zeile 0 39] ? anfang
            error "$name: Zeile $nr: keine Bildzeile \"$anfang\""
        }
        scan $index %d index
        set werte [regexp -all -inline {\S+} $rest]
        foreach w $werte {
            if {![string is entier -strict $w] || $w < -1 || $w > 0x7fffffff} {
                error "$name: Zeile $nr: Druckwert \"$w\" ist keine ganze Zahl von -1 an"
            }
        }
        if {$naechster < 0} {
            # first row of a frame: its index fixes the rows, its values the columns
            if {[llength $bilder] == 0} {
                set n_y [expr {$index + 1}]
                set n_x [llength $werte]
                if {$n_x == 0} {
                    error "$name: Zeile $nr: Zeile ohne Werte"
                }
            } elseif {$index + 1 != $n_y} {
                error "$name: Zeile $nr: Bild [expr {[llength $bilder] + 1}] hat\
                    [expr {$index + 1}] Zeilen statt $n_y"
            }
        } elseif {$index != $naechster} {
            error "$name: Zeile $nr: Zeilenindex $index statt $naechster"
        }
        if {[llength $werte] != $n_x} {
            error "$name: Zeile $nr: [llength $werte] Werte statt $n_x"
        }
        lappend zeilen $werte
        set naechster [expr {$index - 1}]
        if {$index == 0} {
            lappend bilder [bild_aus_zeilen $n_y $n_x [lreverse $zeilen]]
            set zeilen {}
            set naechster -1
        }
    }
    if {$naechster >= 0} {
        error "$name: Datei endet vor Zeile 0 (Zeilen mit Index <= $naechster fehlen)"
    }
    if {[llength $bilder] == 0} {
        error "$name: keine Bilder"
    }
    return $bilder
}

proc ::aufnahme::bild_aus_zeilen {n_y n_x zeilen} {
    set werte {}
    set maske {}
    foreach w [concat {*}$zeilen] {
        if {$w == -1} {
            lappend werte 0
            lappend maske 1
        } else {
            lappend werte [expr {$w}]
            lappend maske 0
        }
    }
    return [list $n_y $n_x $werte $maske]
}

# The bundled recordings: a list name file ... (name "u82" for
# cabseat_u82_..., in file name order).
proc ::aufnahme::gebuendelt {} {
    variable daten_dir
    set ergebnis {}
    foreach datei [lsort [glob -directory $daten_dir *_seat12x10.txt]] {
        regexp {cabseat_(u\d+)_} [file tail $datei] -> name
        lappend ergebnis $name $datei
    }
    return $ergebnis
}

# A seated sequence on a square mat of n × n cells, n_bilder frames: two
# sit-bone mounds near the rear edge (row 0) on the pressure of the thighs,
# swaying in a slow figure of eight and shifting load between the sides.
# Every cell below 3 is 0, so that the outline of the contact stays visible.
proc ::aufnahme::erzeugt {n n_bilder} {
    set pi [expr {acos(-1)}]
    set sigma [expr {0.09 * $n}]
    set bilder {}
    for {set t 0} {$t < $n_bilder} {incr t} {
        set phase [expr {2 * $pi * $t / $n_bilder}]
        set dx [expr {0.05 * $n * sin($phase)}]
        set dy [expr {0.03 * $n * sin(2 * $phase + 0.5)}]
        set last [expr {0.12 * sin($phase + 0.8)}]
        # mounds and thighs as products of a column and a row factor
        set spalten {}
        foreach {mitte breite} [list [expr {0.33 * $n + $dx}] $sigma [expr {0.67 * $n + $dx}] $sigma \
                                    [expr {0.31 * $n + $dx}] [expr {0.1 * $n}] \
                                    [expr {0.69 * $n + $dx}] [expr {0.1 * $n}]] {
            set liste {}
            for {set c 0} {$c < $n} {incr c} {
                lappend liste [expr {exp(-(($c - $mitte) ** 2) / (2.0 * $breite ** 2))}]
            }
            lappend spalten $liste
        }
        lassign $spalten links rechts schenkel_l schenkel_r
        set y_mound [expr {0.28 * $n + $dy}]
        set werte {}
        for {set r 0} {$r < $n} {incr r} {
            set hoecker [expr {exp(-(($r - $y_mound) ** 2) / (2.0 * $sigma ** 2))}]
            # thighs: a plateau from the mounds to near the front edge
            set schenkel [expr {$r < $y_mound ? 0.0 : exp(-((($r - 0.62 * $n) / (0.3 * $n)) ** 4))}]
            set hl [expr {90.0 * (1 - $last) * $hoecker}]
            set hr [expr {90.0 * (1 + $last) * $hoecker}]
            set s [expr {28.0 * $schenkel}]
            for {set c 0} {$c < $n} {incr c} {
                set v [expr {int($hl * [lindex $links $c] + $hr * [lindex $rechts $c]
                                 + $s * ([lindex $schenkel_l $c] + [lindex $schenkel_r $c]))}]
                lappend werte [expr {$v < 3 ? 0 : $v}]
            }
        }
        lappend bilder [list $n $n $werte [lrepeat [expr {$n * $n}] 0]]
    }
    return $bilder
}

# ---------------------------------------------------------------------------
# Pictures of a frame: the mask of the cells without pressure, and the four
# renderings that the demo writes and the documentation shows.

# One flag per cell: 1 where the cell has no pressure or the file's mask
# (optional) marks it.
proc ::aufnahme::leere_zellen {werte {maske {}}} {
    if {$maske eq ""} {
        set maske [lrepeat [llength $werte] 0]
    }
    set ergebnis {}
    foreach w $werte f $maske {
        lappend ergebnis [expr {$f || $w <= 0}]
    }
    return $ergebnis
}

# name, options of ::druckbild::jpegdata (MASKE: the mask of the empty
# cells) and colour contrast of each rendering.
proc ::aufnahme::varianten {} {
    return {
        bild          {}                           0
        gitter_rahmen {-grid solid -frame 6}       0
        maske         {-grid dotted -mask MASKE}   0
        kontrast      {-resolution 12 -quality 95} 3
    }
}

# A child interpreter with the station package (its own ::druckbild::analyse
# would replace that of Druckbildanalyse in the calling one), loaded from
# the build folder (from where Tcl finds it for "").  Errors are those of
# package require.
proc ::aufnahme::stationsinterp {name build} {
    interp create $name
    if {$build ne ""} {
        $name eval [list lappend auto_path $build]
    }
    $name eval {package require Kmqstationd 0.1}
    return $name
}

# The JPEG data of a frame in one rendering, made in the interpreter that
# has the station package; the contrast is set for this image only.
proc ::aufnahme::variante_jpeg {interp optionen kontrast werte n_y n_x} {
    set optionen [string map [list MASKE [list [leere_zellen $werte]]] $optionen]
    $interp eval [list ::druckbild::photo_configure colorcontrast $kontrast]
    try {
        return [$interp eval [list ::druckbild::jpegdata {*}$optionen $werte $n_y $n_x]]
    } finally {
        $interp eval {::druckbild::photo_configure colorcontrast 0}
    }
}
