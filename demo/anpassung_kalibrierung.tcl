# The mat's calibration for the fitter's view: read from a JSON file,
# checked, and the units and conversions it gives.  Without a calibration
# (the empty dict) every figure stays in raw values, cells and frames.
#
# A calibration file (example: data/kalibrierung_beispiel.json):
#   {
#     "name": "...",                    shown and exported
#     "zeilen": 12, "spalten": 10,      the mat's rows and columns
#     "rasterweite_mm": {"x": 40, "y": 40},  cell pitch across (x, columns)
#                                       and along (y, rows) the seat
#     "druck": {"verstaerkung_kPa": 0.25}    kPa per raw unit, or
#     "druck": {"tabelle_kPa": [[0, 0], [20, 3.5], [255, 60]]}
#                                       raw value -> kPa, piecewise linear,
#                                       from raw 0 = 0 kPa, raw ascending
#     "saettigung_roh": 255,            raw value at which the mat saturates
#     "skala_kPa": 30,                  optional: top of the colour scale
#     "periode_ms": 200,                optional: else "# periode_ms:" of
#                                       the recording
#     "vorn": "letzte_zeile",           front edge: "letzte_zeile" or "zeile_0"
#     "links": "spalte_0"               the person's left: "spalte_0" or
#                                       "letzte_spalte"
#   }
# Needs tcllib's json.

package require json

namespace eval ::kalibrierung {
    # 1 mmHg = 133.322 Pa
    variable pa_je_mmhg 133.322
}

# Reads and checks a calibration file; returns a dict with the keys name,
# datei, n_y, n_x, raster_x, raster_y (mm), verstaerkung (kPa per raw unit,
# or per Pa of a table's converted image), tabelle (raw kPa ..., empty for a
# gain), saettigung, skala_kPa (or ""), periode_ms (or ""), vorn, links.
proc ::kalibrierung::lesen {datei} {
    set name [file tail $datei]
    if {[catch {
        set f [open $datei r]
        fconfigure $f -encoding utf-8
        set text [read $f]
        close $f
    } fehler]} {
        error "Kalibrierung $name: nicht lesbar ($fehler)" "" {ANPASSUNG KALIBRIERUNG}
    }
    if {[catch {::json::json2dict $text} d]} {
        error "Kalibrierung $name: kein g\u00fcltiges JSON ($d)" "" {ANPASSUNG KALIBRIERUNG}
    }
    set k [dict create datei $name]
    dict set k name [feld $name $d name text]
    dict set k n_y [feld $name $d zeilen ganz]
    dict set k n_x [feld $name $d spalten ganz]
    set raster [feld $name $d rasterweite_mm objekt]
    dict set k raster_x [feld $name $raster x positiv rasterweite_mm.]
    dict set k raster_y [feld $name $raster y positiv rasterweite_mm.]
    dict set k saettigung [feld $name $d saettigung_roh ganz]
    set druck [feld $name $d druck objekt]
    if {[dict exists $druck verstaerkung_kPa]} {
        dict set k verstaerkung [feld $name $druck verstaerkung_kPa positiv druck.]
        dict set k tabelle {}
    } elseif {[dict exists $druck tabelle_kPa]} {
        dict set k tabelle [tabelle $name [dict get $druck tabelle_kPa]]
        # the image of a table is converted to whole Pa
        dict set k verstaerkung 0.001
    } else {
        fehler $name "druck braucht verstaerkung_kPa oder tabelle_kPa"
    }
    dict set k skala_kPa [expr {[dict exists $d skala_kPa] ? [feld $name $d skala_kPa positiv] : ""}]
    dict set k periode_ms [expr {[dict exists $d periode_ms] ? [feld $name $d periode_ms positiv] : ""}]
    dict set k vorn [feld $name $d vorn {wahl letzte_zeile zeile_0}]
    dict set k links [feld $name $d links {wahl spalte_0 letzte_spalte}]
    return $k
}

proc ::kalibrierung::fehler {name text} {
    error "Kalibrierung $name: $text" "" {ANPASSUNG KALIBRIERUNG}
}

# One field of a JSON object, checked: text, ganz (integer >= 1), positiv
# (number > 0), objekt, or {wahl word ...}.
proc ::kalibrierung::feld {name d schluessel art {vor ""}} {
    if {![dict exists $d $schluessel]} {
        fehler $name "Feld $vor$schluessel fehlt"
    }
    set w [dict get $d $schluessel]
    switch -- [lindex $art 0] {
        text {
            set gut [expr {[string trim $w] ne ""}]
            set was "ein Text"
        }
        ganz {
            set gut [expr {[string is entier -strict $w] && $w >= 1 && $w <= 0x7fffffff}]
            set was "eine ganze Zahl ab 1"
        }
        positiv {
            set gut [expr {[string is double -strict $w] && $w > 0 && $w < 1e12}]
            set was "eine Zahl gr\u00f6\u00dfer 0"
        }
        objekt {
            set gut [expr {[string is list $w] && [llength $w] % 2 == 0}]
            set was "ein Objekt"
        }
        wahl {
            set gut [expr {$w in [lrange $art 1 end]}]
            set was "eines von [join [lrange $art 1 end] {, }]"
        }
    }
    if {!$gut} {
        fehler $name "Feld $vor$schluessel muss $was sein, nicht \"$w\""
    }
    return $w
}

# A piecewise-linear table: pairs raw kPa, from 0 0, raw strictly and kPa
# not descending; returned flat.
proc ::kalibrierung::tabelle {name paare} {
    set flach {}
    set vorher_roh -1
    set vorher_kpa 0
    foreach p $paare {
        lassign $p roh kpa
        if {[llength $p] != 2 || ![string is entier -strict $roh] || ![string is double -strict $kpa]
            || $roh <= $vorher_roh || $kpa < $vorher_kpa || $kpa >= 1e9} {
            fehler $name "druck.tabelle_kPa: Paar \"$p\" ist kein Paar Rohwert kPa mit steigendem Rohwert"
        }
        lappend flach $roh $kpa
        set vorher_roh $roh
        set vorher_kpa $kpa
    }
    if {[llength $flach] < 4 || [lindex $flach 0] != 0 || [lindex $flach 1] != 0} {
        fehler $name "druck.tabelle_kPa braucht mindestens zwei Paare, das erste 0 0"
    }
    return $flach
}

# Refuses a calibration made for another mat size.
proc ::kalibrierung::pruefen {k n_y n_x} {
    if {[dict size $k] && ([dict get $k n_y] != $n_y || [dict get $k n_x] != $n_x)} {
        error "Kalibrierung [dict get $k datei] gilt f\u00fcr [dict get $k n_y] \u00d7\
            [dict get $k n_x] Zellen, die Aufnahme hat $n_y \u00d7 $n_x" "" {ANPASSUNG KALIBRIERUNG GROESSE}
    }
}

# The frame period in ms: the calibration's, else the recording's header
# line "# periode_ms: n"; "" when neither gives one or uncalibrated.
proc ::kalibrierung::periode {k datei} {
    if {![dict size $k]} {
        return ""
    }
    if {[dict get $k periode_ms] ne ""} {
        return [dict get $k periode_ms]
    }
    if {$datei ne "" && [file isfile $datei]} {
        set f [open $datei r]
        try {
            while {[gets $f zeile] >= 0} {
                if {[regexp {^#\s*periode_ms:\s*([0-9.]+)\s*$} $zeile -> ms] && $ms > 0} {
                    return $ms
                }
            }
        } finally {
            close $f
        }
    }
    return ""
}

# The units: druck, kraft (the load), laenge, flaeche, zeit, and the
# suffix of the export's column names.
proc ::kalibrierung::einheiten {k periode} {
    if {![dict size $k]} {
        return {druck roh kraft roh laenge Zellen flaeche Zellen zeit Bilder}
    }
    list druck kPa kraft N laenge mm flaeche cm\u00b2 zeit [expr {$periode ne "" ? "s" : "Bilder"}]
}

# The image the figures are computed on: the raw image for a gain, whole
# Pa for a table (each cell through the table, rounded).
proc ::kalibrierung::rechenbild {k werte} {
    if {![dict size $k] || ![llength [dict get $k tabelle]]} {
        return $werte
    }
    set t [dict get $k tabelle]
    set ergebnis {}
    foreach w $werte {
        lappend ergebnis [expr {round(1000.0 * [kpa_tabelle $t $w])}]
    }
    return $ergebnis
}

# kPa of a raw value through a table; beyond its last pair the table is
# held at its last value (the mat saturates there).
proc ::kalibrierung::kpa_tabelle {t roh} {
    if {$roh <= 0} {
        return 0.0
    }
    foreach {r0 k0} $t {r1 k1} [lrange $t 2 end] {
        if {$r1 eq ""} break
        if {$roh <= $r1} {
            return [expr {$k0 + ($k1 - $k0) * double($roh - $r0) / ($r1 - $r0)}]
        }
    }
    return [expr {double([lindex $t end])}]
}

# A raw value as a pressure in the view's unit (the colour scale's labels).
proc ::kalibrierung::druck_von_roh {k roh} {
    if {![dict size $k]} {
        return $roh
    }
    if {[llength [dict get $k tabelle]]} {
        return [kpa_tabelle [dict get $k tabelle] $roh]
    }
    expr {$roh * [dict get $k verstaerkung]}
}

# The raw value of a pressure in kPa (the top of the colour scale).
proc ::kalibrierung::roh_von_kpa {k kpa} {
    set t [dict get $k tabelle]
    if {![llength $t]} {
        return [expr {int(ceil($kpa / [dict get $k verstaerkung]))}]
    }
    foreach {r0 k0} $t {r1 k1} [lrange $t 2 end] {
        if {$r1 eq ""} break
        if {$kpa <= $k1 && $k1 > $k0} {
            return [expr {int(ceil($r0 + ($kpa - $k0) * ($r1 - $r0) / ($k1 - $k0)))}]
        }
    }
    return [lindex $t end-1]
}

proc ::kalibrierung::mmhg {kpa} {
    expr {$kpa * 1000.0 / $::kalibrierung::pa_je_mmhg}
}
