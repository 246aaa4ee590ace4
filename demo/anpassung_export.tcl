# Files of the fitter's view: the export (bilder.csv, zusammenfassung.json,
# ansicht.png) and the session file (zones, snapshots, window; JSON).
# tcllib's csv, json, json::write and sha256; Img's window reader.

package require csv
package require json
package require json::write
package require sha256

# tcllib's compiled SHA-256 (tcllibc, Debian's tcllib-critcl 1.21) ends
# wish8.6 with "stack smashing detected" (tclsh8.6 survives it); the
# package's own Tcl implementation gives the same digest.
::sha2::LoadAccelerator tcl
::sha2::SwitchTo tcl

namespace eval ::ausgabe {}

# Writes the three files of the export into the folder dir.
proc ::ausgabe::schreiben {dir} {
    file mkdir $dir
    datei_schreiben [file join $dir bilder.csv] [bilder_csv]
    datei_schreiben [file join $dir zusammenfassung.json] [zusammenfassung]
    ::gemeinsam::foto_schreiben [file join $dir ansicht.png] .
}

proc ::ausgabe::datei_schreiben {datei text} {
    set f [open $datei w]
    fconfigure $f -encoding utf-8
    try {
        puts -nonewline $f $text
    } finally {
        close $f
    }
}

# The export's columns: {name key kind} of each figure (its unit in the
# name), with mmHg beside the pressures of a calibrated view.
proc ::ausgabe::spalten {} {
    set k $::anpassung::k
    set ergebnis {}
    foreach {schluessel art text hilfe} $::kennzahlen::liste {
        lappend ergebnis [list [::kennzahlen::spalte $k $schluessel $art] $schluessel $art]
        if {$art eq "druck" && [dict size [dict get $k kal]]} {
            lappend ergebnis [list ${schluessel}_mmHg $schluessel mmhg]
        }
    }
    return $ergebnis
}

# The value of a column from a dict of figures ("" = no value).
proc ::ausgabe::wert {z schluessel art} {
    set w [dict get $z $schluessel]
    if {$art eq "mmhg" && $w ne ""} {
        return [::kalibrierung::mmhg $w]
    }
    return $w
}

# One row per frame: its number, its time with a period, each figure,
# whether std+ can be measured and why not.
proc ::ausgabe::bilder_csv {} {
    set k $::anpassung::k
    set mit_zeit [expr {[dict get $k periode] ne ""}]
    set kopf [list bild]
    if {$mit_zeit} {lappend kopf zeit_s}
    foreach s [spalten] {lappend kopf [lindex $s 0]}
    lappend kopf stdplus_messbar stdplus_gruende
    set kalibriert [dict size [dict get $k kal]]
    if {$kalibriert} {lappend kopf gesaettigt_zellen}
    set zeilen [list [::csv::join $kopf]]
    set i 0
    foreach z $::anpassung::figuren {
        set zeile [list [expr {$i + 1}]]
        if {$mit_zeit} {lappend zeile [::anpassung::zeit $i]}
        foreach s [spalten] {
            lassign $s - schluessel art
            lappend zeile [wert $z $schluessel $art]
        }
        set gruende [dict get $z gruende]
        lappend zeile [expr {[llength $gruende] == 0}] [join $gruende "; "]
        if {$kalibriert} {lappend zeile [dict get $z gesaettigt]}
        lappend zeilen [::csv::join $zeile]
        incr i
    }
    return "[join $zeilen \n]\n"
}

# JSON values
proc ::ausgabe::zahl {w} {
    expr {$w eq "" ? "null" : $w}
}

proc ::ausgabe::zeichenkette {w} {
    ::json::write string $w
}

proc ::ausgabe::texte {liste} {
    ::json::write array {*}[lmap t $liste {zeichenkette $t}]
}

proc ::ausgabe::objekt {args} {
    ::json::write object {*}$args
}

# The summary of the export.
proc ::ausgabe::zusammenfassung {} {
    set a ::anpassung
    set k [set ${a}::k]
    set kal [dict get $k kal]
    set f [set ${a}::fenster]
    ::json::write indented 1
    ::json::write aligned 0

    set pakete {}
    foreach p {Druckbildanalyse Beckenrotation Kalvora Druckbildkennzahlen} {
        lappend pakete $p [zeichenkette [package present $p]]
    }
    lappend pakete Kmqstationd [zeichenkette [bild eval {package present Kmqstationd}]]
    foreach p {Tk Plotchart tablelist tooltip json csv math::statistics sha256 img::jpeg} {
        lappend pakete $p [zeichenkette [package present $p]]
    }

    set datei [set ${a}::datei]
    set aufnahme [objekt \
        datei [zeichenkette [expr {$datei ne "" ? [file tail $datei] : [set ${a}::name]}]] \
        sha256 [expr {$datei ne "" ? [zeichenkette [::sha2::sha256 -hex -file $datei]] : "null"}] \
        bilder [llength [set ${a}::bilder]] zeilen [dict get $k n_y] spalten [dict get $k n_x] \
        bilddauer_ms [zahl [dict get $k periode]]]

    set e [dict get $k einheiten]
    set einheiten [objekt druck [zeichenkette [dict get $e druck]] kraft [zeichenkette [dict get $e kraft]] \
        laenge [zeichenkette [dict get $e laenge]] flaeche [zeichenkette [dict get $e flaeche]] zeit [zeichenkette [dict get $e zeit]]]

    set skala [set ${a}::skala_roh]
    set skala_objekt [objekt maximum_roh $skala \
        maximum [::kalibrierung::druck_von_roh $kal $skala]]

    # the figures of the window's mean image, and mean and SD over its frames
    set mittelbild {}
    set bilder {}
    foreach s [spalten] {
        lassign $s spalte schluessel art
        lappend mittelbild $spalte [zahl [wert [dict get $f kennzahlen] $schluessel $art]]
        lassign [dict get $f streuung $schluessel] m sd
        if {$art eq "mmhg"} {
            set m [expr {$m eq "" ? "" : [::kalibrierung::mmhg $m]}]
            set sd [expr {$sd eq "" ? "" : [::kalibrierung::mmhg $sd]}]
        }
        lappend bilder $spalte [objekt mittel [zahl $m] sd [zahl $sd]]
    }
    # the zones on the window's mean image
    set zonen {}
    set einheit [::kennzahlen::einheit $k druck]
    foreach z [::kennzahlen::zonen $k [dict get $f mittel_rechen] [set ${a}::zonen]] {
        lassign [dict get $z bereich] z0 s0 z1 s1
        lappend zonen [objekt name [zeichenkette [dict get $z name]] \
            bereich [objekt zeile0 $z0 spalte0 $s0 zeile1 $z1 spalte1 $s1] \
            anteil_prozent [zahl [dict get $z anteil]] \
            spitze_$einheit [zahl [dict get $z spitze]] mittel_$einheit [zahl [dict get $z mittel]]]
    }
    # the sit-bone flags: of the mean image and of each frame that has one
    set sk [dict get $f kennzahlen]
    set nicht_messbar {}
    set i 0
    foreach z [set ${a}::figuren] {
        incr i
        if {[llength [dict get $z gruende]]} {
            lappend nicht_messbar [objekt bild $i gruende [texte [dict get $z gruende]]]
        }
    }
    set sitz [objekt \
        fenster [objekt messbar [expr {[llength [dict get $sk gruende]] ? "false" : "true"}] \
                        gruende [texte [dict get $sk gruende]]] \
        bilder_nicht_messbar [::json::write array {*}$nicht_messbar]]

    objekt \
        programm [objekt name [zeichenkette anpassung] version [zeichenkette [set ${a}::version]] \
                         tcl [zeichenkette [info patchlevel]]] \
        pakete [objekt {*}$pakete] \
        aufnahme $aufnahme \
        kalibrierung [kalibrierung_json $kal] \
        einheiten $einheiten \
        skala $skala_objekt \
        fenster [objekt von [expr {[set ${a}::von] + 1}] bis [expr {[set ${a}::bis] + 1}] \
                        bilder [expr {[set ${a}::bis] - [set ${a}::von] + 1}]] \
        kennzahlen [objekt mittelbild [objekt {*}$mittelbild] bilder [objekt {*}$bilder]] \
        zonen [::json::write array {*}$zonen] \
        sitzknochen $sitz \
        ansicht [ansicht_json]
}

proc ::ausgabe::kalibrierung_json {kal} {
    if {![dict size $kal]} {
        return null
    }
    set druck [expr {[llength [dict get $kal tabelle]]
        ? [objekt tabelle_kPa [::json::write array {*}[lmap {r w} [dict get $kal tabelle] {::json::write array $r $w}]]]
        : [objekt verstaerkung_kPa [dict get $kal verstaerkung]]}]
    objekt name [zeichenkette [dict get $kal name]] datei [zeichenkette [dict get $kal datei]] \
        rasterweite_mm [objekt x [dict get $kal raster_x] y [dict get $kal raster_y]] \
        druck $druck saettigung_roh [dict get $kal saettigung] \
        vorn [zeichenkette [dict get $kal vorn]] links [zeichenkette [dict get $kal links]]
}

# Where the map and the legend lie in ansicht.png: the map's image corner,
# resolution and border (a cell's centre as ::gemeinsam::pixel gives it),
# the legend bar's middle column and the row of its level 0 (level L lies
# L rows above).
proc ::ausgabe::lage {w} {
    list [expr {[winfo rootx $w] - [winfo rootx .]}] [expr {[winfo rooty $w] - [winfo rooty .]}]
}

proc ::ausgabe::ansicht_json {} {
    lassign [::ausgabe::lage .karte] kx ky
    lassign [::ausgabe::lage .legende] lx ly
    set hoehe $::ansicht::legende_hoehe
    objekt zeigen [zeichenkette $::anpassung::opt(-zeigen)] bild [expr {$::anpassung::index + 1}] \
        karte [objekt x0 [expr {$kx + $::ansicht::x0}] y0 [expr {$ky + $::ansicht::y0}] \
                      aufloesung $::ansicht::aufloesung rand $::ansicht::rand] \
        legende [objekt x [expr {$lx + 12 + 13}] y_stufe0 [expr {$ly + 40 + $hoehe - 1}] stufen $hoehe]
}

# ---------------------------------------------------------------------------
# The session file: the drawn zones (the four default zones come with
# every recording), snapshots and window of a recording.

proc ::ausgabe::sitzung_speichern {datei} {
    ::json::write indented 1
    set zonen {}
    foreach z [lrange $::anpassung::zonen 4 end] {
        lassign $z name bereich
        lappend zonen [objekt name [zeichenkette $name] bereich [::json::write array {*}$bereich]]
    }
    set schnapp {}
    foreach s $::anpassung::schnappschuesse {
        lassign $s name von bis zeigen index
        lappend schnapp [objekt name [zeichenkette $name] von [expr {$von + 1}] bis [expr {$bis + 1}] \
                             zeigen [zeichenkette $zeigen] bild [expr {$index + 1}]]
    }
    datei_schreiben $datei [objekt aufnahme [zeichenkette $::anpassung::name] \
        fenster [objekt von [expr {$::anpassung::von + 1}] bis [expr {$::anpassung::bis + 1}]] \
        zonen [::json::write array {*}$zonen] schnappschuesse [::json::write array {*}$schnapp]]
}

# Loads a session file's zones, snapshots and window; a zone outside the
# mat or a file that is not such a session is refused as a whole.
proc ::ausgabe::sitzung_laden {datei} {
    set name [file tail $datei]
    if {[catch {
        set f [open $datei r]
        fconfigure $f -encoding utf-8
        set d [::json::json2dict [read $f]]
        close $f
    } fehler]} {
        error "Sitzung $name: nicht lesbar ($fehler)" "" {ANPASSUNG SITZUNG}
    }
    set k $::anpassung::k
    set n [llength $::anpassung::bilder]
    set zonen {}
    set schnapp {}
    if {[catch {
        foreach z [dict get $d zonen] {
            set bereich [dict get $z bereich]
            lassign $bereich z0 s0 z1 s1
            if {[llength $bereich] != 4 || ![string is entier -strict $z0$s0$z1$s1]
                || $z0 < 0 || $s0 < 0 || $z0 > $z1 || $s0 > $s1
                || $z1 >= [dict get $k n_y] || $s1 >= [dict get $k n_x]} {
                error "Zone \"[dict get $z name]\" liegt nicht auf der Matte ($bereich)"
            }
            lappend zonen [list [dict get $z name] $bereich]
        }
        foreach s [dict get $d schnappschuesse] {
            dict with s {}
            if {$zeigen ni {bild mittel spitze} || $bis > $n || $von < 1 || $von > $bis || $bild < 1 || $bild > $n} {
                error "Schnappschuss \"$name\" passt nicht zur Aufnahme"
            }
            lappend schnapp [list $name [expr {$von - 1}] [expr {$bis - 1}] $zeigen [expr {$bild - 1}]]
        }
        set von [dict get $d fenster von]
        set bis [dict get $d fenster bis]
    } fehler]} {
        error "Sitzung $name: $fehler" "" {ANPASSUNG SITZUNG}
    }
    set ::anpassung::zonen [concat [lrange $::anpassung::zonen 0 3] $zonen]
    set ::anpassung::schnappschuesse $schnapp
    ::anpassung::fenster_setzen [expr {$von - 1}] [expr {$bis - 1}]
    ::ansicht::schnappschuesse_anbieten
    set ::ansicht::schnappschuss_name [lindex $schnapp end 0]
}
