# The fitter's view: a recording of a seated person in calibrated units on
# one fixed colour scale with its legend, the figures a fitter reads, zones,
# a stable averaged snapshot of a window of frames, time plots, and honest
# sit-bone figures.  The station viewer (station.tcl) stays the developer's
# tool; this is the tool of the person who fits a seat.
#
#   wish8.6 demo/anpassung.tcl ?options? ?file ...?      (or: make anpassung)
#   wish8.6 demo/anpassung.tcl ?-build dir? ?-kalibrierung datei? -export DIR aufnahme.txt
#
# Options:
#   -build dir          build folder with pkgIndex.tcl (default: build)
#   -kalibrierung datei the mat's calibration (JSON; example in data/);
#                       without one every figure is in raw values, cells
#                       and frames
#   -aufnahme name      recording shown first: u125, u134, u136, u82,
#                       erzeugt32, erzeugt64 or the name of a file given
#   -fenster a-b        the window of frames a ... b (from 1; default all)
#   -sekunden n         the window: the last n seconds (with a period)
#   -bild n             the frame shown (from 1; default 1)
#   -zeigen art         what the map shows: bild (the frame), mittel (the
#                       window's mean image, default) or spitze (its
#                       peak-hold image)
#   -skala wert         top of the colour scale in the view's pressure unit
#                       (default: the calibration's skala_kPa, else the
#                       recording's peak)
#   -sitzung datei      a session file (JSON: zones, snapshots) to load
#   -groesse WxH        size of the window (default 1280x860)
#   -export DIR         writes DIR/bilder.csv, DIR/zusammenfassung.json and
#                       DIR/ansicht.png (the window as shown) and exits
#   -foto datei         writes the window as shown to a picture (PNG, or
#                       JPEG for .jpg) and exits
#
# Keys: Left / Right one frame, Home / End first / last frame, s snapshot,
# z draw a zone, q quit.

package require Tk 8.6-

namespace eval ::anpassung {
    variable hier [file dirname [file normalize [info script]]]
    variable version 1.0

    variable opt
    array set opt {
        -build build -kalibrierung "" -aufnahme "" -fenster "" -sekunden ""
        -bild 1 -zeigen mittel -skala "" -sitzung "" -groesse 1280x860 -export "" -foto ""
    }
    variable dateien {}
    variable quellen [dict create]

    # The calibration ({} = none) and the recording being shown
    variable kal {}
    variable name ""
    variable datei ""          ;# its file, "" for a generated sequence
    variable bilder {}         ;# frames {n_y n_x werte maske}
    variable rechen {}         ;# each frame's image for the figures
    variable cops {}           ;# centre of pressure of each frame, "-" = none
    variable figuren {}        ;# figures of each frame (::kennzahlen::frame)
    variable k {}              ;# context of the figures
    variable skala_roh 1       ;# top of the colour scale, raw

    # What is shown
    variable index 0           ;# frame shown
    variable von 0             ;# window, frames von ... bis
    variable bis 0
    variable fenster {}        ;# mean and peak-hold images of the window
    variable zonen {}          ;# {name {zeile0 spalte0 zeile1 spalte1}} ...
    variable schnappschuesse {};# {name von bis zeigen index} ...
    variable meldung ""
}

foreach modul {gemeinsam anpassung_kalibrierung anpassung_kennzahlen anpassung_ansicht anpassung_export} {
    source [file join $::anpassung::hier $modul.tcl]
}

# ---------------------------------------------------------------------------
# Command line and packages

proc ::anpassung::argumente {argv} {
    variable opt
    variable dateien
    while {[llength $argv]} {
        set argv [lassign $argv wort]
        if {[info exists opt($wort)] && [llength $argv]} {
            set argv [lassign $argv opt($wort)]
        } elseif {[string match -* $wort]} {
            error "unbekannte Option \"$wort\"; m\u00f6glich: [join [lsort [array names opt]] {, }]"
        } else {
            lappend dateien $wort
        }
    }
    if {![string is entier -strict $opt(-bild)] || $opt(-bild) < 1} {
        error "-bild erwartet eine ganze Zahl ab 1, nicht \"$opt(-bild)\""
    }
    if {$opt(-fenster) ne "" && ![regexp {^\d+-\d+$} $opt(-fenster)]} {
        error "-fenster erwartet a-b, z. B. 3-8, nicht \"$opt(-fenster)\""
    }
    if {$opt(-sekunden) ne "" && (![string is double -strict $opt(-sekunden)] || $opt(-sekunden) <= 0)} {
        error "-sekunden erwartet eine Zahl gr\u00f6\u00dfer 0, nicht \"$opt(-sekunden)\""
    }
    if {$opt(-skala) ne "" && (![string is double -strict $opt(-skala)] || $opt(-skala) <= 0)} {
        error "-skala erwartet eine Zahl gr\u00f6\u00dfer 0, nicht \"$opt(-skala)\""
    }
    if {$opt(-zeigen) ni {bild mittel spitze}} {
        error "-zeigen erwartet bild, mittel oder spitze, nicht \"$opt(-zeigen)\""
    }
    if {![regexp {^(\d+)x(\d+)$} $opt(-groesse)]} {
        error "-groesse erwartet BreitexH\u00f6he, z. B. 1280x860"
    }
}

proc ::anpassung::pakete {} {
    ::gemeinsam::pakete $::anpassung::opt(-build) {Druckbildkennzahlen 1.0}
    foreach p {Plotchart tooltip tablelist canvas::edit::rectangle json json::write csv
               math::statistics sha256 img::window} {
        if {[catch {package require $p} fehler]} {
            error "Paket $p fehlt ($fehler) (Debian: tklib, tcllib, libtk-img)"
        }
    }
    bild eval {::druckbild::photo_configure colorcontrast 0}
}

# ---------------------------------------------------------------------------
# A recording: read, checked against the calibration, its figures computed.

# Loads a recording by its name in quellen; an error (unreadable file,
# calibration of another size) leaves the recording shown before.
proc ::anpassung::laden {neu} {
    variable quellen
    variable kal
    variable opt
    set quelle [dict get $quellen $neu]
    set b [::gemeinsam::bilder_der_quelle $quelle]
    lassign [lindex $b 0] n_y n_x
    ::kalibrierung::pruefen $kal $n_y $n_x
    set d [expr {[lindex $quelle 0] eq "datei" ? [lindex $quelle 1] : ""}]
    set periode [::kalibrierung::periode $kal $d]

    variable name $neu
    variable datei $d
    variable bilder $b
    variable k [::kennzahlen::kontext $kal $n_y $n_x $periode]
    variable rechen {}
    variable cops {}
    variable figuren {}
    foreach bild $bilder {
        lappend rechen [::kalibrierung::rechenbild $kal [lindex $bild 2]]
        lappend cops [::kennzahlen::cop [lindex $bild 2] $n_y $n_x]
    }
    set i 0
    foreach bild $bilder r $rechen {
        lappend figuren [::kennzahlen::frame $k $bild $r $cops $i]
        incr i
    }
    variable skala_roh [skala]
    variable index [expr {min($opt(-bild), [llength $bilder]) - 1}]
    variable zonen [::kennzahlen::standardzonen $kal $n_y $n_x]
    fenster_aus_optionen
}

# The top of the colour scale, raw: -skala, else the calibration's
# skala_kPa, else the recording's peak (at least 1).
proc ::anpassung::skala {} {
    variable opt
    variable kal
    variable bilder
    if {$opt(-skala) ne ""} {
        set w $opt(-skala)
        return [expr {max(1, [dict size $kal] ? [::kalibrierung::roh_von_kpa $kal $w] : int(ceil($w)))}]
    }
    if {[dict size $kal] && [dict get $kal skala_kPa] ne ""} {
        return [expr {max(1, [::kalibrierung::roh_von_kpa $kal [dict get $kal skala_kPa]])}]
    }
    set spitze 1
    foreach bild $bilder {
        set spitze [expr {max($spitze, [tcl::mathfunc::max {*}[lindex $bild 2]])}]
    }
    return $spitze
}

# The window from -fenster or -sekunden, else all frames.
proc ::anpassung::fenster_aus_optionen {} {
    variable opt
    variable bilder
    set n [llength $bilder]
    set a 0
    set b [expr {$n - 1}]
    if {$opt(-fenster) ne ""} {
        scan $opt(-fenster) %d-%d a b
        incr a -1
        incr b -1
    } elseif {$opt(-sekunden) ne ""} {
        set periode [dict get $::anpassung::k periode]
        if {$periode eq ""} {
            error "-sekunden braucht die Bilddauer (Kalibrierung oder # periode_ms: der Aufnahme)"
        }
        set a [expr {$n - int(ceil($opt(-sekunden) * 1000.0 / $periode))}]
    }
    fenster_setzen $a $b
}

# Sets the window a ... b (clamped to the recording) and computes its
# images and figures.
proc ::anpassung::fenster_setzen {a b} {
    variable bilder
    variable von
    variable bis
    set n [llength $bilder]
    set a [expr {max(0, min($a, $n - 1))}]
    set b [expr {max($a, min($b, $n - 1))}]
    set von $a
    set bis $b
    variable fenster [fenster_berechnen $a $b]
}

# The window's mean and peak-hold images (raw, masked where no frame
# measured a cell), the figures of the mean image, the mean and SD of the
# frames' figures, the sit-bone figures of the mean image.
proc ::anpassung::fenster_berechnen {a b} {
    variable bilder
    variable rechen
    variable figuren
    variable k
    set roh {}
    set rw {}
    foreach bild [lrange $bilder $a $b] r [lrange $rechen $a $b] {
        lassign $bild - - werte maske
        lappend roh [lmap w $werte m $maske {expr {$m ? -1 : $w}}]
        lappend rw [lmap w $r m $maske {expr {$m ? -1 : $w}}]
    }
    set f [::kennzahlen::fenster_bilder $k $roh $rw 0 end]
    set mittel [lmap w [dict get $f mittel] {expr {max($w, 0)}}]
    dict set f maske [lmap w [dict get $f mittel] {expr {$w < 0}}]
    dict set f mittel $mittel
    dict set f spitze [lmap w [dict get $f spitze] {expr {max($w, 0)}}]
    dict set f kennzahlen [::kennzahlen::alle $k $mittel [dict get $f maske] [dict get $f mittel_rechen]]
    dict set f streuung [::kennzahlen::streuung [lrange $figuren $a $b]]
    return $f
}

# The image shown (raw values, mask) and its image for the figures.
proc ::anpassung::gezeigt {} {
    variable opt
    variable bilder
    variable rechen
    variable fenster
    variable index
    switch -- $opt(-zeigen) {
        bild {
            lassign [lindex $bilder $index] - - werte maske
            return [list $werte $maske [lindex $rechen $index]]
        }
        mittel {
            return [list [dict get $fenster mittel] [dict get $fenster maske] [dict get $fenster mittel_rechen]]
        }
        spitze {
            return [list [dict get $fenster spitze] [dict get $fenster maske] [dict get $fenster spitze_rechen]]
        }
    }
}

# Time of frame i in the view's unit (seconds with a period, else the
# frame's number from 1).
proc ::anpassung::zeit {i} {
    set periode [dict get $::anpassung::k periode]
    expr {$periode eq "" ? $i + 1 : $i * $periode / 1000.0}
}

# ---------------------------------------------------------------------------
# Messages: in the window; in an export on stderr with exit status 1.

proc ::anpassung::melde {text {art hinweis}} {
    set ::anpassung::meldung $text
    if {[winfo exists .unten.meldung]} {
        .unten.meldung configure -foreground [expr {$art eq "fehler" ? "#b00000" : "#000000"}]
    }
    if {$art eq "fehler" && $::anpassung::opt(-export) ne ""} {
        puts stderr $text
        exit 1
    }
}

interp bgerror {} [list apply {{text optionen} {::anpassung::melde $text fehler}}]

proc ::anpassung::main {argv} {
    variable opt
    variable quellen
    variable dateien
    ttk::label .m -textvariable ::anpassung::meldung -padding 12
    if {[catch {
        argumente $argv
        pakete
        if {$opt(-kalibrierung) ne ""} {
            variable kal [::kalibrierung::lesen $opt(-kalibrierung)]
        }
    } fehler]} {
        pack .m
        melde $fehler fehler
        return
    }
    destroy .m
    set quellen [::gemeinsam::quellen $dateien]
    set erste [expr {$opt(-aufnahme) ne "" ? $opt(-aufnahme)
                     : [llength $dateien] ? [file tail [lindex $dateien 0]] : [lindex [dict keys $quellen] 0]}]
    if {![dict exists $quellen $erste]} {
        melde "keine Aufnahme \"$erste\"; m\u00f6glich: [join [dict keys $quellen] {, }]" fehler
        return
    }
    ::ansicht::fenster
    update
    if {[catch {laden $erste} fehler]} {
        melde $fehler fehler
        return
    }
    if {$opt(-sitzung) ne "" && [catch {::ausgabe::sitzung_laden $opt(-sitzung)} fehler]} {
        melde $fehler fehler
        return
    }
    ::ansicht::alles
    if {$opt(-export) ne "" || $opt(-foto) ne ""} {
        update
        if {$opt(-export) ne "" && [catch {::ausgabe::schreiben $opt(-export)} fehler]} {
            melde $fehler fehler
        }
        if {$opt(-foto) ne "" && [catch {::gemeinsam::foto_schreiben $opt(-foto) .} fehler]} {
            puts stderr $fehler
            exit 1
        }
        exit 0
    }
}

# -vergleich a b: the comparison of two recordings (vergleich.tcl); else
# the view with the archive's window (archiv_fenster.tcl, key a), whose
# place -archiv datei or -postgres "host=... dbname=..." give.
if {"-vergleich" in $argv} {
    source [file join $::anpassung::hier vergleich.tcl]
    ::vergleich::main $argv
} else {
    source [file join $::anpassung::hier archiv_fenster.tcl]
    foreach {option art} {-archiv -datei -postgres -postgres} {
        set i [lsearch -exact $argv $option]
        if {$i >= 0 && $i + 1 < [llength $argv]} {
            lappend ::archivfenster::ort $art [lindex $argv $i+1]
            set argv [lreplace $argv $i $i+1]
        }
    }
    ::anpassung::main $argv
    if {[winfo exists .unten.meldung]} {
        ttk::button .unten.archiv -text "Archiv (a) \u2026" -command ::archivfenster::zeigen -takefocus 0
        pack .unten.archiv -side left -padx 2 -before .unten.meldung
        bind . <Key-a> ::archivfenster::zeigen
    }
}
