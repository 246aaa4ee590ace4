# The fitter's view on screen: the map with its orientation labels, zones
# and sit-bone markers, the legend of the one colour scale, the tables of
# figures and zones (tablelist, tooltips), the time plots (Plotchart), and
# the controls.  Reads the state of ::anpassung; draws, never computes a
# figure itself.

namespace eval ::ansicht {
    variable rand 4            ;# border of the rendered image in pixels
    variable aufloesung 20
    variable x0 0
    variable y0 0
    variable legende_hoehe 256 ;# one pixel per colour level
    variable plots {spitze "Spitzendruck" mittel "Mittlerer Druck" last "Gesamtlast"
                    links "Anteil links (Person)"}
    variable farbe
    array set farbe {
        hintergrund #6b7178 schwerpunkt #000000 ellipse #202020 cop #ff00ff
        zone #ffffff fenster #fff2b0 bild #c00000
    }
    variable schnappschuss_name ""
    variable zonen_editor ""
}

# ---------------------------------------------------------------------------
# Numbers in the view's units

# A figure of kind art as text with its unit; "–" where there is none.
proc ::ansicht::zahltext {art w {mit_einheit 1}} {
    if {$w eq ""} {
        return "\u2013"
    }
    set k $::anpassung::k
    set e [::kennzahlen::einheit $k $art]
    set kalibriert [dict size [dict get $k kal]]
    switch -- $art {
        druck {
            set t [format [expr {[string is entier $w] ? "%d" : "%.1f"}] $w]
            if {$kalibriert && $mit_einheit} {
                return [format "%s kPa (%.0f mmHg)" $t [::kalibrierung::mmhg $w]]
            }
        }
        kraft   {set t [format %.0f $w]}
        laenge  {set t [format [expr {$kalibriert ? "%.0f" : "%.2f"}] $w]}
        flaeche {set t [format %.0f $w]}
        prozent {set t [format %.1f $w]}
        zahl    {set t [format %.2f $w]}
        punkte  {set t [format %.1f $w]}
    }
    if {!$mit_einheit || $e eq ""} {
        return $t
    }
    expr {$e eq "%" ? "$t %" : "$t $e"}
}

# ---------------------------------------------------------------------------
# The window

proc ::ansicht::fenster {} {
    variable farbe
    set opt [array get ::anpassung::opt]
    wm title . "Druckmessung \u2013 Sitzanpassung"
    wm geometry . [dict get $opt -groesse]+0+0
    image create photo ::ansicht::foto

    canvas .karte -background $farbe(hintergrund) -highlightthickness 0 -width 540 -height 470
    .karte create image 0 0 -image ::ansicht::foto -anchor nw -tags bild
    canvas .legende -width 150 -height 470 -highlightthickness 0 -background $farbe(hintergrund)

    # the figures and the zones
    ttk::frame .tafel -padding {8 4}
    ttk::label .tafel.aufnahme -textvariable ::ansicht::anzeige(aufnahme) -font TkHeadingFont
    ttk::label .tafel.einheiten -textvariable ::ansicht::anzeige(einheiten) -wraplength 560
    ttk::label .tafel.sitz -textvariable ::ansicht::anzeige(sitz) -wraplength 560
    # fixed column widths (characters): columns that size themselves made
    # the table wider each time its rows were replaced (tablelist 6.20)
    tablelist::tablelist .tafel.zahlen -columns {34 Kennzahl left 19 "" right 17 "Fenster: Mittel \u00b1 SD" right} \
        -height 15 -width 0 -stretch 0 -background white -selectmode none \
        -tooltipaddcommand ::ansicht::tipp -tooltipdelcommand {tooltip::tooltip clear}
    tablelist::tablelist .tafel.zonen -columns {24 Zone left 9 "Anteil %" right 12 Spitze right 12 Mittel right} \
        -height 6 -width 0 -stretch 0 -background white -selectmode none
    pack .tafel.aufnahme .tafel.einheiten .tafel.sitz -anchor w -pady {0 2}
    pack .tafel.zahlen -anchor w -pady 4
    pack .tafel.zonen -anchor w

    canvas .plots -height 190 -highlightthickness 0
    steuerung

    grid .karte .legende .tafel -sticky nsew
    grid .plots - - -sticky nsew
    grid .steuer - - -sticky ew
    grid .fenster - - -sticky ew
    grid .unten - - -sticky ew
    grid columnconfigure . 0 -weight 1
    grid rowconfigure . 0 -weight 1

    bind . <Key-Right> {::ansicht::schritt 1}
    bind . <Key-Left> {::ansicht::schritt -1}
    bind . <Key-Home> {::ansicht::gehe 0}
    bind . <Key-End> {::ansicht::gehe end}
    bind . <Key-s> ::ansicht::schnappschuss
    bind . <Key-z> ::ansicht::zone_zeichnen
    bind . <Key-q> exit
    bind .karte <Configure> {after cancel ::ansicht::karte; after idle ::ansicht::karte}
}

proc ::ansicht::steuerung {} {
    # the recording and the frame
    ttk::frame .steuer -padding {8 4}
    ttk::combobox .steuer.aufnahme -values [dict keys $::anpassung::quellen] -state readonly -width 34 \
        -textvariable ::ansicht::anzeige(name)
    bind .steuer.aufnahme <<ComboboxSelected>> {::ansicht::aufnahme_waehlen $::ansicht::anzeige(name)}
    ttk::button .steuer.datei -text "Datei \u2026" -command ::ansicht::datei_oeffnen -takefocus 0
    ttk::button .steuer.zurueck -text "\u25c0" -width 3 -command {::ansicht::schritt -1} -takefocus 0
    ttk::button .steuer.vor -text "\u25b6" -width 3 -command {::ansicht::schritt 1} -takefocus 0
    ttk::scale .steuer.regler -from 0 -to 1 -variable ::anpassung::index \
        -command {::ansicht::gehe}
    ttk::label .steuer.bild -textvariable ::ansicht::anzeige(bild) -width 40
    pack .steuer.aufnahme .steuer.datei .steuer.zurueck .steuer.vor -side left -padx 2
    pack .steuer.regler -side left -fill x -expand 1 -padx 6
    pack .steuer.bild -side left

    # the window, what the map shows, snapshots, zones, the session
    ttk::frame .fenster -padding {8 0}
    ttk::label .fenster.l1 -text "Fenster: Bild"
    ttk::spinbox .fenster.von -from 1 -to 1 -width 4 -textvariable ::ansicht::anzeige(von)
    ttk::label .fenster.l2 -text "bis"
    ttk::spinbox .fenster.bis -from 1 -to 1 -width 4 -textvariable ::ansicht::anzeige(bis)
    ttk::button .fenster.setzen -text "\u00fcbernehmen" -command ::ansicht::fenster_uebernehmen -takefocus 0
    ttk::label .fenster.l3 -text "oder die letzten"
    ttk::entry .fenster.sekunden -width 4 -textvariable ::ansicht::anzeige(sekunden)
    ttk::button .fenster.letzte -textvariable ::ansicht::anzeige(zeiteinheit) -command ::ansicht::letzte_uebernehmen -takefocus 0
    pack .fenster.l1 .fenster.von .fenster.l2 .fenster.bis .fenster.setzen .fenster.l3 .fenster.sekunden \
        .fenster.letzte -side left -padx 2
    ttk::separator .fenster.t1 -orient vertical
    pack .fenster.t1 -side left -fill y -padx 6
    foreach {wert text} {bild "Bild" mittel "Fenster: Mittel" spitze "Fenster: Spitze halten"} {
        ttk::radiobutton .fenster.z$wert -text $text -value $wert -variable ::anpassung::opt(-zeigen) \
            -command ::ansicht::alles -takefocus 0
        pack .fenster.z$wert -side left -padx 2
    }
    ttk::separator .fenster.t2 -orient vertical
    pack .fenster.t2 -side left -fill y -padx 6
    ttk::button .fenster.schnapp -text "Schnappschuss (s)" -command ::ansicht::schnappschuss -takefocus 0
    ttk::combobox .fenster.schnappschuesse -width 18 -textvariable ::ansicht::schnappschuss_name
    bind .fenster.schnappschuesse <<ComboboxSelected>> ::ansicht::schnappschuss_zeigen
    pack .fenster.schnapp .fenster.schnappschuesse -side left -padx 2

    ttk::frame .unten -padding {8 2 8 6}
    ttk::button .unten.zone -text "Zone zeichnen (z)" -command ::ansicht::zone_zeichnen -takefocus 0
    ttk::button .unten.zonen_weg -text "Zonen zur\u00fccksetzen" -command ::ansicht::zonen_zuruecksetzen -takefocus 0
    ttk::button .unten.speichern -text "Sitzung speichern \u2026" -command ::ansicht::sitzung_speichern -takefocus 0
    ttk::button .unten.laden -text "Sitzung laden \u2026" -command ::ansicht::sitzung_laden -takefocus 0
    # a fixed width, so that a long message never squeezes the map
    ttk::label .unten.meldung -textvariable ::anpassung::meldung -width 80 -wraplength 620
    pack .unten.zone .unten.zonen_weg .unten.speichern .unten.laden .unten.meldung -side left -padx 2

    tooltip::tooltip .fenster.schnapp "Friert das gezeigte Bild oder Fenster als benannten Schnappschuss ein\n(Name im Feld daneben); die Sitzungsdatei speichert ihn."
    tooltip::tooltip .fenster.zmittel "Das Mittelbild der Bilder des Fensters: ein ruhiges Bild einer sitzenden Person."
    tooltip::tooltip .fenster.zspitze "F\u00fcr jede Zelle der h\u00f6chste Wert im Fenster."
    tooltip::tooltip .unten.zone "Zwei Klicks auf die Karte: gegen\u00fcberliegende Ecken einer Zone."
}

# The tooltip of a row of the figures' table.
proc ::ansicht::tipp {tabelle zeile spalte} {
    set hilfe [lindex $::ansicht::hilfen $zeile]
    if {$hilfe ne ""} {
        tooltip::tooltip $tabelle $hilfe
    }
}

# ---------------------------------------------------------------------------
# Everything anew (another recording, window, frame or view)

proc ::ansicht::alles {} {
    variable anzeige
    set a ::anpassung
    set n [llength [set ${a}::bilder]]
    set k [set ${a}::k]
    set kal [dict get $k kal]
    set anzeige(name) [set ${a}::name]
    set anzeige(aufnahme) "[set ${a}::name]: [dict get $k n_y] \u00d7 [dict get $k n_x] Zellen, $n Bilder"
    if {[dict size $kal]} {
        set e [dict get $k einheiten]
        set anzeige(einheiten) "Kalibrierung \"[dict get $kal name]\": Druck in kPa (mmHg),\
            L\u00e4ngen in mm, Fl\u00e4chen in cm\u00b2, Last in N, Zeit in [dict get $e zeit]"
    } else {
        set anzeige(einheiten) "Ohne Kalibrierung: Druck in Rohwerten, L\u00e4ngen und Fl\u00e4chen in Zellen,\
            Last als Summe der Rohwerte, Zeit in Bildern"
    }
    set anzeige(zeiteinheit) [expr {[dict get $k periode] ne "" ? "Sekunden" : "(nur mit Bilddauer)"}]
    set anzeige(von) [expr {[set ${a}::von] + 1}]
    set anzeige(bis) [expr {[set ${a}::bis] + 1}]
    .steuer.regler configure -to [expr {max($n - 1, 0)}]
    .fenster.von configure -to $n
    .fenster.bis configure -to $n
    karte
    legende
    tafel
    zeitverlauf
}

# ---------------------------------------------------------------------------
# The map

proc ::ansicht::karte {} {
    variable rand
    variable aufloesung
    variable x0
    variable y0
    variable farbe
    if {![llength $::anpassung::bilder]} return
    set k $::anpassung::k
    set n_y [dict get $k n_y]
    set n_x [dict get $k n_x]
    lassign [::anpassung::gezeigt] werte maske
    # room for the orientation labels around the image
    lassign [::gemeinsam::einpassen [expr {[winfo width .karte] - 60}] [expr {[winfo height .karte] - 75}] \
                 $n_y $n_x $rand] aufloesung x0 y0
    incr x0 30
    incr y0 25
    set skala $::anpassung::skala_roh
    set optionen [list -resolution $aufloesung -frame $rand -quality 90 -maximum $skala]
    if {[lsearch $maske 1] >= 0} {
        lappend optionen -mask $maske
    }
    # values above the scale's top take its top colour
    set gezeichnet [lmap w $werte {expr {min($w, $skala)}}]
    ::ansicht::foto configure -format jpeg -data \
        [bild eval [list ::druckbild::jpegdata {*}$optionen $gezeichnet $n_y $n_x]]
    .karte coords bild $x0 $y0
    .karte delete ueber
    ausrichtung $n_y $n_x
    zonen_zeichnen $n_y
    sitzknochen_zeichnen $n_y $werte
}

proc ::ansicht::pixel {n_y x y} {
    variable aufloesung
    variable rand
    variable x0
    variable y0
    ::gemeinsam::pixel $aufloesung $rand $x0 $y0 $n_y $x $y
}

# vorn / hinten and the person's links / rechts beside the image's edges.
proc ::ansicht::ausrichtung {n_y n_x} {
    lassign [::kennzahlen::richtungen [dict get $::anpassung::k kal]] links_ist_spalte0 vorn_ist_letzte
    set angenommen [expr {[dict size [dict get $::anpassung::k kal]] ? "" : " (angenommen)"}]
    lassign [pixel $n_y -0.5 [expr {$n_y - 0.6}]] l o
    lassign [pixel $n_y [expr {$n_x - 0.5}] -0.6] r u
    set mx [expr {($l + $r) / 2}]
    set my [expr {($o + $u) / 2}]
    set schrift {TkDefaultFont 11 bold}
    .karte create text $mx [expr {$o - 14}] -text "[expr {$vorn_ist_letzte ? "vorn" : "hinten"}]$angenommen" \
        -fill white -font $schrift -tags ueber
    .karte create text $mx [expr {$u + 14}] -text "[expr {$vorn_ist_letzte ? "hinten" : "vorn"}]$angenommen" \
        -fill white -font $schrift -tags ueber
    .karte create text [expr {$l - 14}] $my -text [expr {$links_ist_spalte0 ? "links" : "rechts"}] \
        -angle 90 -fill white -font $schrift -tags ueber
    .karte create text [expr {$r + 14}] $my -text [expr {$links_ist_spalte0 ? "rechts" : "links"}] \
        -angle 270 -fill white -font $schrift -tags ueber
}

proc ::ansicht::zonen_zeichnen {n_y} {
    variable farbe
    foreach zone $::anpassung::zonen {
        lassign $zone name bereich
        lassign $bereich z0 s0 z1 s1
        lassign [pixel $n_y [expr {$s0 - 0.5}] [expr {$z1 + 0.4}]] xa ya
        lassign [pixel $n_y [expr {$s1 + 0.5}] [expr {$z0 - 0.6}]] xb yb
        .karte create rectangle $xa $ya $xb $yb -outline #000000 -dash {4 4} -width 1 -tags ueber
        # the name in the zone's corner farthest from the map's middle, away
        # from the markers of the sit bones and the centre of pressure
        lassign [.karte coords bild] bx by
        set mx [expr {$bx + [image width ::ansicht::foto] / 2.0}]
        set my [expr {$by + [image height ::ansicht::foto] / 2.0}]
        set links [expr {abs($xa - $mx) >= abs($xb - $mx)}]
        set oben [expr {abs($ya - $my) >= abs($yb - $my)}]
        set t [.karte create text [expr {$links ? $xa + 4 : $xb - 4}] [expr {$oben ? $ya + 3 : $yb - 3}] \
                   -text $name -anchor [expr {$oben ? "n" : "s"}][expr {$links ? "w" : "e"}] \
                   -font {TkDefaultFont 8} -fill #000000 -tags ueber]
        set r [.karte create rectangle [.karte bbox $t] -fill $farbe(zone) -outline "" -tags ueber]
        .karte raise $t $r
    }
}

# The corrected sit-bone centroids, their ellipses and distance where std+
# can be measured on the image shown; else why not.  The centre of
# pressure of the image.
proc ::ansicht::sitzknochen_zeichnen {n_y werte} {
    variable farbe
    set k $::anpassung::k
    set sk [::kennzahlen::sitzknochen $k $werte]
    set plus [dict get $sk plus]
    if {![llength [dict get $sk gruende]]} {
        set punkte {}
        foreach {ellipse sx sy} {ellipse_links schwerpunkt1_x schwerpunkt1_y
                                 ellipse_rechts schwerpunkt2_x schwerpunkt2_y} {
            set p {}
            foreach {x y} [::gemeinsam::ellipse_punkte [dict get $plus $ellipse]] {
                lappend p {*}[pixel $n_y $x $y]
            }
            .karte create polygon $p -outline $farbe(ellipse) -fill "" -width 2 -tags ueber
            lappend punkte [pixel $n_y [dict get $plus $sx] [dict get $plus $sy]]
        }
        lassign $punkte a b
        .karte create line {*}$a {*}$b -fill #202020 -width 2 -dash {6 4} -tags ueber
        foreach p $punkte {
            lassign $p x y
            .karte create oval [expr {$x - 4}] [expr {$y - 4}] [expr {$x + 4}] [expr {$y + 4}] \
                -fill $farbe(schwerpunkt) -outline white -tags ueber
        }
        beschriftung [expr {([lindex $a 0] + [lindex $b 0]) / 2}] \
            [expr {min([lindex $a 1], [lindex $b 1]) - 14}] [zahltext laenge [dict get $sk abstand_plus]]
    } else {
        lassign [pixel $n_y -0.5 -0.6] l u
        beschriftung $l [expr {$u + 36}] "Sitzknochen nicht messbar (Gr\u00fcnde rechts)" w
    }
    set c [::kennzahlen::cop $werte $n_y [dict get $k n_x]]
    if {$c ne "-"} {
        lassign [pixel $n_y {*}$c] x y
        .karte create oval [expr {$x - 5}] [expr {$y - 5}] [expr {$x + 5}] [expr {$y + 5}] \
            -fill $farbe(cop) -outline black -tags ueber
    }
}

proc ::ansicht::beschriftung {x y text {anker center}} {
    set t [.karte create text $x $y -text $text -anchor $anker -font TkDefaultFont -tags ueber]
    set r [.karte create rectangle [.karte bbox $t] -fill white -outline #202020 -tags ueber]
    .karte raise $t $r
}

# ---------------------------------------------------------------------------
# The legend: the colour scale of ::druckbild::farbskala, one pixel per
# level from the bottom (level 0) to the top (level 255), labelled in the
# view's pressure unit.

proc ::ansicht::legende {} {
    variable legende_hoehe
    set c .legende
    $c delete all
    set kal [dict get $::anpassung::k kal]
    set farben [::druckbild::farbskala $legende_hoehe]
    set x 12
    set unten [expr {40 + $legende_hoehe}]
    set i 0
    foreach f $farben {
        set y [expr {$unten - 1 - $i}]
        $c create line $x $y [expr {$x + 26}] $y -fill $f -tags balken
        incr i
    }
    $c create rectangle [expr {$x - 1}] [expr {$unten - $legende_hoehe - 1}] [expr {$x + 26}] $unten \
        -outline black
    set titel [expr {[dict size $kal] ? "Druck\nkPa (mmHg)" : "Druck\nRohwert"}]
    $c create text 4 6 -text $titel -anchor nw -fill white -font {TkDefaultFont 9 bold}
    set skala $::anpassung::skala_roh
    foreach anteil {0 0.25 0.5 0.75 1} {
        set y [expr {$unten - 1 - round($anteil * ($legende_hoehe - 1))}]
        set w [::kalibrierung::druck_von_roh $kal [expr {$anteil * $skala}]]
        set t [expr {[dict size $kal] ? [format "%.1f (%.0f)" $w [::kalibrierung::mmhg $w]] : [format %.0f $w]}]
        if {$anteil == 1} {
            set t "\u2265 $t"
        }
        $c create line [expr {$x + 26}] $y [expr {$x + 31}] $y -fill white
        $c create text [expr {$x + 34}] $y -text $t -anchor w -fill white -font {TkDefaultFont 9}
    }
    $c create text 4 [expr {$unten + 10}] -anchor nw -fill white -font {TkDefaultFont 8} -width 120 \
        -text "eine Skala f\u00fcr die ganze Aufnahme"
}

# ---------------------------------------------------------------------------
# The tables

proc ::ansicht::tafel {} {
    variable anzeige
    variable hilfen
    set a ::anpassung
    set k [set ${a}::k]
    set f [set ${a}::fenster]
    set zeigen $::anpassung::opt(-zeigen)
    set index [set ${a}::index]
    lassign [::anpassung::gezeigt] werte maske rechenwerte
    if {$zeigen eq "bild"} {
        set z [lindex [set ${a}::figuren] $index]
        set spalte "Bild [expr {$index + 1}]"
    } else {
        # a window's image: the image figures and the sit-bone figures of it
        set z [::kennzahlen::alle $k $werte $maske $rechenwerte]
        set spalte [expr {$zeigen eq "mittel" ? "Mittelbild" : "Spitze halten"}]
    }
    .tafel.zahlen columnconfigure 1 -title $spalte
    .tafel.zahlen delete 0 end
    set hilfen {}
    foreach {schluessel art name hilfe} $::kennzahlen::liste {
        lassign [dict get $f streuung $schluessel] m sd
        set streu [expr {$m eq "" ? "\u2013" : $sd eq "" ? [zahltext $art $m 0]
                         : "[zahltext $art $m 0] \u00b1 [zahltext $art $sd 0]"}]
        set e [::kennzahlen::einheit $k $art]
        .tafel.zahlen insert end [list [expr {$e eq "" ? $name : "$name ($e)"}] \
                                      [zahltext $art [dict get $z $schluessel]] $streu]
        lappend hilfen $hilfe
    }
    set gruende [dict get $z gruende]
    set anzeige(sitz) [expr {[llength $gruende]
        ? "Sitzknochen (korrigiert) nicht messbar: [join $gruende {; }]"
        : "Sitzknochen (korrigiert) messbar"}]
    set n [dict get $z gesaettigt]
    if {$n ne "" && $n > 0} {
        append anzeige(sitz) "\n$n Zellen in S\u00e4ttigung (Rohwert ab\
            [dict get $k kal saettigung]): ihr Druck kann h\u00f6her sein als gezeigt"
    }
    .tafel.zonen delete 0 end
    foreach zone [::kennzahlen::zonen $k $rechenwerte $::anpassung::zonen] {
        .tafel.zonen insert end [list [dict get $zone name] [zahltext prozent [dict get $zone anteil] 0] \
            [zahltext druck [dict get $zone spitze] 0] [zahltext druck [dict get $zone mittel] 0]]
    }
    set einheit [::kennzahlen::einheit $k druck]
    .tafel.zonen columnconfigure 2 -title "Spitze ($einheit)"
    .tafel.zonen columnconfigure 3 -title "Mittel ($einheit)"
    set anzeige(bild) "Bild [expr {$index + 1}] / [llength [set ${a}::bilder]]"
    if {[dict get $k periode] ne ""} {
        append anzeige(bild) [format " (%.1f s)" [::anpassung::zeit $index]]
    }
    if {$zeigen ne "bild"} {
        set von [set ${a}::von]
        set bis [set ${a}::bis]
        set anzeige(bild) "$spalte der Bilder [expr {$von + 1}] bis [expr {$bis + 1}]"
        if {[dict get $k periode] ne ""} {
            append anzeige(bild) [format " (%.1f bis %.1f s)" [::anpassung::zeit $von] [::anpassung::zeit $bis]]
        }
    }
}


# ---------------------------------------------------------------------------
# Time plots of peak, mean, load and left share, the window shaded and the
# frame shown marked.

proc ::ansicht::zeitverlauf {} {
    variable plots
    variable farbe
    foreach w [winfo children .plots] {destroy $w}
    set k $::anpassung::k
    set n [llength $::anpassung::figuren]
    set xeinheit [expr {[dict get $k periode] ne "" ? "s" : "Bild"}]
    set xmax [::anpassung::zeit [expr {max($n - 1, 1)}]]
    set xmin [::anpassung::zeit 0]
    set xskala [::Plotchart::determineScale $xmin $xmax]
    set i 0
    foreach {schluessel titel} $plots {
        set c .plots.p$i
        canvas $c -width 300 -height 190 -background white -highlightthickness 0
        grid $c -row 0 -column $i -sticky nsew -padx 2
        grid columnconfigure .plots $i -weight 1
        set art [dict get {spitze druck mittel druck last kraft links prozent} $schluessel]
        set werte {}
        foreach z $::anpassung::figuren {
            lappend werte [dict get $z $schluessel]
        }
        set da [lsearch -all -inline -not -exact $werte ""]
        if {$schluessel eq "links"} {
            set yskala {0 100 25}
        } else {
            set yskala [::Plotchart::determineScale 0 [expr {[llength $da] ? max(1, [tcl::mathfunc::max {*}$da]) : 1}]]
        }
        set p [::Plotchart::createXYPlot $c $xskala $yskala]
        set e [::kennzahlen::einheit $k $art]
        $p title "$titel ($e)"
        $p xtext $xeinheit
        # the window
        lassign [::Plotchart::coordsToPixel $c [::anpassung::zeit $::anpassung::von] [lindex $yskala 0]] xa ya
        lassign [::Plotchart::coordsToPixel $c [::anpassung::zeit $::anpassung::bis] [lindex $yskala 1]] xb yb
        $c create rectangle [expr {$xa - 2}] $yb [expr {$xb + 2}] $ya -fill $farbe(fenster) -outline "" -tags fenster
        $p dataconfig werte -colour #0050a0 -width 2
        set j 0
        foreach w $werte {
            if {$w ne ""} {
                $p plot werte [::anpassung::zeit $j] $w
            }
            incr j
        }
        # Plotchart lowers its data to the bottom: the window below them
        $c lower fenster
        lassign [::Plotchart::coordsToPixel $c [::anpassung::zeit $::anpassung::index] [lindex $yskala 0]] xi yu
        $c create line $xi $yu $xi $yb -fill $farbe(bild) -width 1
        incr i
    }
}

# ---------------------------------------------------------------------------
# Controls

proc ::ansicht::schritt {n} {
    set b [llength $::anpassung::bilder]
    gehe [expr {($::anpassung::index + $n + $b) % $b}]
}

proc ::ansicht::gehe {i} {
    if {$i eq "end"} {
        set i [expr {[llength $::anpassung::bilder] - 1}]
    }
    set ::anpassung::index [expr {int(round($i))}]
    after cancel ::ansicht::alles
    after idle ::ansicht::alles
}

proc ::ansicht::aufnahme_waehlen {name} {
    if {[catch {::anpassung::laden $name} fehler]} {
        ::anpassung::melde $fehler fehler
        set ::ansicht::anzeige(name) $::anpassung::name
        return
    }
    ::anpassung::melde ""
    alles
}

proc ::ansicht::datei_oeffnen {} {
    set datei [tk_getOpenFile -title "Aufnahme im Textformat" -filetypes {{Textformat {.txt}} {Alle *}}]
    if {$datei eq ""} return
    dict set ::anpassung::quellen [file tail $datei] [list datei $datei]
    .steuer.aufnahme configure -values [dict keys $::anpassung::quellen]
    aufnahme_waehlen [file tail $datei]
}

proc ::ansicht::fenster_uebernehmen {} {
    variable anzeige
    if {![string is entier -strict $anzeige(von)] || ![string is entier -strict $anzeige(bis)]} {
        ::anpassung::melde "Fenster: zwei Bildnummern" fehler
        return
    }
    ::anpassung::fenster_setzen [expr {$anzeige(von) - 1}] [expr {$anzeige(bis) - 1}]
    alles
}

proc ::ansicht::letzte_uebernehmen {} {
    set ::anpassung::opt(-sekunden) $::ansicht::anzeige(sekunden)
    set ::anpassung::opt(-fenster) ""
    if {[catch {::anpassung::fenster_aus_optionen} fehler]} {
        ::anpassung::melde $fehler fehler
        return
    }
    alles
}

# Freezes the frame or window shown as a named snapshot.
proc ::ansicht::schnappschuss {} {
    variable schnappschuss_name
    set name [string trim $schnappschuss_name]
    set namen [lmap s $::anpassung::schnappschuesse {lindex $s 0}]
    if {$name eq "" || $name in $namen} {
        set name "Schnappschuss [expr {[llength $::anpassung::schnappschuesse] + 1}]"
    }
    lappend ::anpassung::schnappschuesse [list $name $::anpassung::von $::anpassung::bis \
                                              $::anpassung::opt(-zeigen) $::anpassung::index]
    schnappschuesse_anbieten
    set schnappschuss_name $name
    ::anpassung::melde "$name: Bilder [expr {$::anpassung::von + 1}] bis [expr {$::anpassung::bis + 1}]"
}

proc ::ansicht::schnappschuesse_anbieten {} {
    .fenster.schnappschuesse configure -values [lmap s $::anpassung::schnappschuesse {lindex $s 0}]
}

proc ::ansicht::schnappschuss_zeigen {} {
    foreach s $::anpassung::schnappschuesse {
        lassign $s name von bis zeigen index
        if {$name eq $::ansicht::schnappschuss_name} {
            set ::anpassung::opt(-zeigen) $zeigen
            set ::anpassung::index $index
            ::anpassung::fenster_setzen $von $bis
            alles
            return
        }
    }
}

# A zone drawn on the map with canvas::edit: two clicks give two opposite
# corners; the zone holds the cells under them and between.
proc ::ansicht::zone_zeichnen {} {
    variable zonen_editor
    if {$zonen_editor eq ""} {
        set zonen_editor [::canvas::edit::rectangle ::ansicht::editor .karte \
                              -data-cmd ::ansicht::zone_fertig -color #000000]
    }
    $zonen_editor clear
    $zonen_editor enable
    ::anpassung::melde "Zone: zwei gegen\u00fcberliegende Ecken auf die Karte klicken"
}

proc ::ansicht::zone_fertig {editor koordinaten} {
    if {![llength $koordinaten]} return
    lassign $koordinaten xa ya xb yb
    after idle [list $editor clear]
    after idle [list $editor disable]
    set k $::anpassung::k
    set n_y [dict get $k n_y]
    set n_x [dict get $k n_x]
    lassign [zelle $n_y $xa $ya] za sa
    lassign [zelle $n_y $xb $yb] zb sb
    set z0 [expr {max(0, min($za, $zb))}]
    set z1 [expr {min($n_y - 1, max($za, $zb))}]
    set s0 [expr {max(0, min($sa, $sb))}]
    set s1 [expr {min($n_x - 1, max($sa, $sb))}]
    if {$z0 > $z1 || $s0 > $s1} {
        ::anpassung::melde "Zone au\u00dferhalb der Matte" fehler
        return
    }
    set name "Zone [expr {[llength $::anpassung::zonen] - 3}]"
    lappend ::anpassung::zonen [list $name [list $z0 $s0 $z1 $s1]]
    ::anpassung::melde "$name: Zeilen $z0 bis $z1, Spalten $s0 bis $s1"
    after idle ::ansicht::alles
}

# The cell {row column} under a canvas position of the map.
proc ::ansicht::zelle {n_y x y} {
    variable aufloesung
    variable rand
    variable x0
    variable y0
    list [expr {$n_y - 1 - int(floor(($y - $y0 - $rand) / double($aufloesung)))}] \
         [expr {int(floor(($x - $x0 - $rand) / double($aufloesung)))}]
}

proc ::ansicht::zonen_zuruecksetzen {} {
    set k $::anpassung::k
    set ::anpassung::zonen [::kennzahlen::standardzonen [dict get $k kal] [dict get $k n_y] [dict get $k n_x]]
    alles
}

proc ::ansicht::sitzung_speichern {} {
    set datei [tk_getSaveFile -title "Sitzung speichern" -defaultextension .json -filetypes {{JSON {.json}}}]
    if {$datei eq ""} return
    if {[catch {::ausgabe::sitzung_speichern $datei} fehler]} {
        ::anpassung::melde $fehler fehler
    } else {
        ::anpassung::melde "Sitzung gespeichert: [file tail $datei]"
    }
}

proc ::ansicht::sitzung_laden {} {
    set datei [tk_getOpenFile -title "Sitzung laden" -filetypes {{JSON {.json}} {Alle *}}]
    if {$datei eq ""} return
    if {[catch {::ausgabe::sitzung_laden $datei} fehler]} {
        ::anpassung::melde $fehler fehler
        return
    }
    alles
}
