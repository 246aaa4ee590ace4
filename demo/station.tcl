# Station view: plays a recording of pressure images frame by frame as a
# live view, the way a station application shows a seated person.
#
#   wish8.6 demo/station.tcl ?options? ?file ...?     (or: make viewer)
#   wish9.0 demo/station.tcl ?options? ?file ...?     (Tk 9 with Img 2)
#
# The false-colour image of each frame comes from ::druckbild::jpegdata
# (Kmqstationd, in an interpreter of its own, as it brings its own
# ::druckbild::analyse) and is shown in a Tk photo through the Img package's
# JPEG reader.  Drawn over it: the corrected sit-bone centroids and their
# ellipses (std+), the sit-bone distance, the centre of pressure (cop) with
# its trace, and the pelvic rotation figure (Beckenrotation) of the frames
# played so far.  The side panel shows the shares (std), distance and
# angles (std+), the seat score (Kalvora) and the frames per second reached.
#
# Files given on the command line are offered beside the bundled
# recordings and two generated seated sequences of 32 x 32 and 64 x 64.
#
# Options:
#   -build dir        build folder with pkgIndex.tcl (default: build)
#   -aufnahme name    recording shown first: u125, u134, u136, u82,
#                     erzeugt32, erzeugt64 or the name of a file given
#   -fps n            frames per second, 0 = as fast as possible (default 5)
#   -gitter art       grid of the image: no, solid or dotted (default no)
#   -maske 0|1        cells without pressure masked (default 0)
#   -kontrast c       colour contrast 0 ... 7 (default 0)
#   -groesse WxH      size of the window (default 1060x680)
#   -bilder n         plays n frames from the first, then writes -foto,
#                     prints one line of figures on stdout and exits
#   -foto datei       the picture written after -bilder: the canvas, or the
#                     whole window with -fenster; PNG or, for .jpg, JPEG
#   -fenster          see -foto
#
# Keys: space play / pause, Left / Right one frame back / on, Home / End
# first / last frame, + / - faster / slower, g grid, m mask, k contrast,
# Page Up / Page Down previous / next recording, o open a file, q quit.

package require Tk 8.6-

namespace eval ::station {
    variable hier [file dirname [file normalize [info script]]]

    # Settings (command line and controls)
    variable opt
    array set opt {
        -build build -aufnahme "" -fps 5 -gitter no -maske 0 -kontrast 0
        -groesse 1060x680 -bilder 0 -foto "" -fenster 0
    }
    variable dateien {}

    # Recordings: name -> source ({datei path} or {erzeugt n}), and the
    # frames of those already read.
    variable quellen [dict create]
    variable geladen [dict create]

    # The recording being played
    variable name ""
    variable bilder {}
    variable index 0
    variable cops {}          ;# centre of pressure of each frame, {} = not yet or none
    variable spielt 0
    variable faellig 0        ;# time (ms) the next frame is due
    variable zeiten {}        ;# times (ms) of the frames shown in the last two seconds

    # Drawing
    variable aufloesung 20
    variable rand 4           ;# border of the rendered image in pixels
    # The longest side of a picture the display takes: X refuses a pixmap
    # with a side above 32767 pixels (BadAlloc in X_CreatePixmap, which
    # ends wish; tried under Xvfb: 32767 x 2 is shown, 32768 x 2 and
    # 2 x 32768 are not).
    variable seite_max 32767
    variable x0 0
    variable y0 0
    variable spur_laenge 25   ;# frames in the centre-of-pressure trace
    # The markers' fill colours (sit-bone centroids black, centre of
    # pressure magenta) appear nowhere else in the picture.
    variable farbe
    array set farbe {
        hintergrund #6b7178 schwerpunkt #000000 ellipse #202020 abstand #202020
        cop #ff00ff spur #c000c0 figur #000080
    }

    # Figures of a run with -bilder
    variable lauf
    array set lauf {gezeigt 0 start 0 bild 0 analyse 0 zeichnen 0}

    # Texts of the side panel and the message line
    variable anzeige
    variable meldung ""
}

source [file join $::station::hier gemeinsam.tcl]

# ---------------------------------------------------------------------------
# Command line and packages

proc ::station::argumente {argv} {
    variable opt
    variable dateien
    while {[llength $argv]} {
        set argv [lassign $argv wort]
        if {$wort eq "-fenster"} {
            set opt(-fenster) 1
        } elseif {[info exists opt($wort)] && [llength $argv]} {
            set argv [lassign $argv opt($wort)]
        } elseif {[string match -* $wort]} {
            error "unbekannte Option \"$wort\"; m\u00f6glich: [join [lsort [array names opt]] {, }]"
        } else {
            lappend dateien $wort
        }
    }
    foreach o {-fps -maske -kontrast -bilder} {
        if {![string is entier -strict $opt($o)] || $opt($o) < 0} {
            error "$o erwartet eine ganze Zahl ab 0, nicht \"$opt($o)\""
        }
    }
    if {![regexp {^(\d+)x(\d+)$} $opt(-groesse)]} {
        error "-groesse erwartet BreitexH\u00f6he, z. B. 1060x680"
    }
}

# The analysis packages in this interpreter, the station package with the
# image commands in the child interpreter "bild", and Img's JPEG reader.
proc ::station::pakete {} {
    ::gemeinsam::pakete $::station::opt(-build)
}

# ---------------------------------------------------------------------------
# Recordings

proc ::station::quellen_sammeln {} {
    set ::station::quellen [::gemeinsam::quellen $::station::dateien]
}

# Reads (or generates) a recording once; errors carry the reader's message.
proc ::station::bilder_von {name} {
    variable quellen
    variable geladen
    if {![dict exists $geladen $name]} {
        set neu [::gemeinsam::bilder_der_quelle [dict get $quellen $name]]
        lassign [dict get $quellen $name] art wert
        if {$art eq "datei"} {
            lassign [lindex $neu 0] n_y n_x
            darstellbar [file tail $wert] $n_y $n_x
        }
        dict set geladen $name $neu
    }
    return [dict get $geladen $name]
}

# A recording whose picture the display cannot take, even at the smallest
# resolution of 2 pixels per cell, is refused like a file not in the format.
proc ::station::darstellbar {name n_y n_x} {
    variable rand
    variable seite_max
    set breite [expr {2 * $n_x + 2 * $rand}]
    set hoehe [expr {2 * $n_y + 2 * $rand}]
    if {$breite > $seite_max || $hoehe > $seite_max} {
        error "$name: $n_y \u00d7 $n_x Zellen ergeben ein Bild von $breite \u00d7 $hoehe\
            Pixeln, die Anzeige nimmt h\u00f6chstens $seite_max je Seite"
    }
}

# Switches to a recording; a file that cannot be read leaves the current
# one playing and puts the reason into the message line.
proc ::station::waehle {name} {
    variable bilder
    variable cops
    variable index
    variable zeiten
    if {[catch {bilder_von $name} neu]} {
        melde $neu fehler
        set ::station::anzeige(aufnahme) $::station::name
        return 0
    }
    set ::station::name $name
    set bilder $neu
    set cops [lrepeat [llength $bilder] {}]
    set index 0
    set zeiten {}
    set ::station::anzeige(aufnahme) $name
    lassign [lindex $bilder 0] n_y n_x
    set ::station::anzeige(groesse) "$n_y \u00d7 $n_x Zellen, [llength $bilder] Bilder"
    .s.regler configure -to [expr {max([llength $bilder] - 1, 0)}]
    melde ""
    zeige 0
    return 1
}

proc ::station::datei_oeffnen {} {
    variable quellen
    set datei [tk_getOpenFile -title "Aufnahme im Textformat" \
                   -filetypes {{Textformat {.txt}} {Alle *}}]
    if {$datei eq ""} return
    set name [file tail $datei]
    dict set quellen $name [list datei $datei]
    dict unset ::station::geladen $name
    .s.aufnahme configure -values [dict keys $quellen]
    if {[waehle $name]} {set ::station::anzeige(aufnahme) $name}
}

proc ::station::naechste_aufnahme {schritt} {
    variable quellen
    set namen [dict keys $quellen]
    set i [expr {([lsearch -exact $namen $::station::name] + $schritt) % [llength $namen]}]
    waehle [lindex $namen $i]
}

# ---------------------------------------------------------------------------
# One frame

# The mask of the view: cells the file marks as without measurement, and
# with the mask option the cells without pressure.
proc ::station::maske_von {werte maske} {
    expr {$::station::opt(-maske) ? [::aufnahme::leere_zellen $werte $maske] : $maske}
}

# Canvas position of a point in cells (x = column, y = row) on the image.
proc ::station::pixel {n_y x y} {
    variable aufloesung
    variable rand
    variable x0
    variable y0
    ::gemeinsam::pixel $aufloesung $rand $x0 $y0 $n_y $x $y
}

proc ::station::cop_von {i} {
    variable cops
    variable bilder
    if {[lindex $cops $i] eq ""} {
        lassign [lindex $bilder $i] n_y n_x werte
        set c [::druckbild::analyse cop $werte $n_y $n_x]
        lset cops $i [expr {[dict size $c] ? [list [dict get $c x] [dict get $c y]] : "-"}]
    }
    return [lindex $cops $i]
}

# The pelvic rotation figure of frames 0 ... i: the centres of pressure of
# the frames before are logged again (a report closes the recording, the
# next point starts a new one), the frame itself with logcop.
proc ::station::figur_bis {i} {
    variable bilder
    ::druckbild::beckenrotation result
    for {set k 0} {$k < $i} {incr k} {
        set c [cop_von $k]
        if {$c ne "-"} {
            ::druckbild::beckenrotation log {*}$c
        }
    }
    lassign [lindex $bilder $i] n_y n_x werte
    set n [::druckbild::beckenrotation logcop $werte $n_y $n_x]
    return [list $n [::druckbild::beckenrotation result]]
}

# Resolution that fits the frame into the canvas, and the image's corner.
proc ::station::einpassen {n_y n_x} {
    variable aufloesung
    variable rand
    variable x0
    variable y0
    lassign [::gemeinsam::einpassen [winfo width .c] [winfo height .c] $n_y $n_x $rand] \
        aufloesung x0 y0
}

# Shows frame i; returns the microseconds taken by the image (jpegdata and
# photo), the analyses, and the drawing over the image.
proc ::station::zeige {i} {
    variable bilder
    variable index
    variable opt
    set index $i
    lassign [lindex $bilder $i] n_y n_x werte maske
    set m [maske_von $werte $maske]

    set t0 [clock microseconds]
    einpassen $n_y $n_x
    set optionen [list -resolution $::station::aufloesung -frame $::station::rand \
                      -grid $opt(-gitter) -quality 85]
    if {[lsearch $m 1] >= 0} {
        lappend optionen -mask $m
    }
    set jpeg [bild eval [list ::druckbild::jpegdata {*}$optionen $werte $n_y $n_x]]
    ::station::foto configure -format jpeg -data $jpeg
    .c coords bild $::station::x0 $::station::y0

    set t1 [clock microseconds]
    set std [::druckbild::analyse std $werte $n_y $n_x]
    set plus [::druckbild::analyse std+ $werte $n_y $n_x]
    set cop [cop_von $i]
    lassign [figur_bis $i] n_figur figur
    set score [::druckbild::kalvora $werte $n_y $n_x $m]

    set t2 [clock microseconds]
    zeichne $n_y $plus $i $figur
    tafel $std $plus $cop $n_figur $figur $score
    update idletasks
    set t3 [clock microseconds]
    zeit_merken
    return [list [expr {$t1 - $t0}] [expr {$t2 - $t1}] [expr {$t3 - $t2}]]
}

# One frame of a run: shown, counted, its times added up.
proc ::station::lauf_bild {i} {
    variable lauf
    lassign [zeige $i] bild analyse zeichnen
    incr lauf(gezeigt)
    incr lauf(bild) $bild
    incr lauf(analyse) $analyse
    incr lauf(zeichnen) $zeichnen
}

# Everything drawn over the image.
proc ::station::zeichne {n_y plus i figur} {
    variable farbe
    variable spur_laenge
    .c delete ueber

    # pelvic rotation figure: the parallelogram c1 c2 c3 c4 and its centre
    if {[dict size $figur]} {
        set punkte {}
        foreach e {c1 c2 c3 c4} {
            lappend punkte {*}[pixel $n_y [dict get $figur ${e}_x] [dict get $figur ${e}_y]]
        }
        .c create polygon $punkte -outline $farbe(figur) -fill "" -width 2 -tags ueber
        kreuz {*}[pixel $n_y [dict get $figur center_x] [dict get $figur center_y]] 6 $farbe(figur)
    }

    # sit-bone ellipses through their vertices and co-vertices, the distance
    # between the corrected centroids, and the centroids
    set seiten {}
    foreach {ellipse sx sy} {ellipse_links schwerpunkt1_x schwerpunkt1_y
                             ellipse_rechts schwerpunkt2_x schwerpunkt2_y} {
        if {[wert $plus $sx] < 0} continue
        set punkte {}
        foreach {x y} [::gemeinsam::ellipse_punkte [dict get $plus $ellipse]] {
            lappend punkte {*}[pixel $n_y $x $y]
        }
        .c create polygon $punkte -outline $farbe(ellipse) -fill "" -width 2 -tags ueber
        lappend seiten [pixel $n_y [dict get $plus $sx] [dict get $plus $sy]]
    }
    if {[llength $seiten] == 2} {
        lassign $seiten a b
        .c create line {*}$a {*}$b -fill $farbe(abstand) -width 2 -dash {6 4} -tags ueber
        set text [format "%.2f cm" [dict get $plus sitzknochenabstand]]
        set tx [expr {([lindex $a 0] + [lindex $b 0]) / 2}]
        set ty [expr {min([lindex $a 1], [lindex $b 1]) - 14}]
        set t [.c create text $tx $ty -text $text -font TkDefaultFont -fill $farbe(abstand) -tags ueber]
        set r [.c create rectangle [.c bbox $t] -fill #ffffff -outline $farbe(abstand) -tags ueber]
        .c raise $t $r
    }
    foreach p $seiten {
        punkt_zeichnen {*}$p 4 $farbe(schwerpunkt) #ffffff
    }

    # centre of pressure: the trace of the last frames, then the point
    set spur {}
    for {set k [expr {max(0, $i - $spur_laenge + 1)}]} {$k <= $i} {incr k} {
        set c [cop_von $k]
        if {$c ne "-"} {
            lappend spur {*}[pixel $n_y {*}$c]
        }
    }
    if {[llength $spur] >= 4} {
        .c create line $spur -fill $farbe(spur) -width 2 -tags ueber
    }
    if {[cop_von $i] ne "-"} {
        punkt_zeichnen {*}[lrange $spur end-1 end] 5 $farbe(cop) #000000
    }
}

proc ::station::punkt_zeichnen {x y r fuellung rand} {
    .c create oval [expr {$x - $r}] [expr {$y - $r}] [expr {$x + $r}] [expr {$y + $r}] \
        -fill $fuellung -outline $rand -tags ueber
}

proc ::station::kreuz {x y r farbe} {
    .c create line [expr {$x - $r}] $y [expr {$x + $r + 1}] $y -fill $farbe -width 2 -tags ueber
    .c create line $x [expr {$y - $r}] $x [expr {$y + $r + 1}] -fill $farbe -width 2 -tags ueber
}

# The side panel's figures of the frame.
proc ::station::tafel {std plus cop n_figur figur score} {
    variable anzeige
    variable index
    variable bilder
    set anzeige(bild) "[expr {$index + 1}] / [llength $bilder]"
    set anzeige(anteile) [zahlen "%.1f %% / %.1f %%" [wert $std gewicht1] [wert $std gewicht2]]
    set anzeige(abstand) [zahlen "%.2f cm" [wert $plus sitzknochenabstand]]
    set anzeige(winkel) [zahlen "%.0f\u00b0 / %.0f\u00b0 (zusammen %.0f\u00b0)" \
                             [wert $plus sitzknochenwinkel_links] \
                             [wert $plus sitzknochenwinkel_rechts] \
                             [wert $plus sitzknochenwinkel]]
    set anzeige(cop) [expr {$cop eq "-" ? "\u2013" : [format "x %.2f, y %.2f" {*}$cop]}]
    set anzeige(figur) [expr {[dict size $figur]
        ? [format "%d Punkte: Breite %.1f, H\u00f6he %.1f" $n_figur \
               [dict get $figur width] [dict get $figur height]]
        : "$n_figur Punkte: noch keine Figur"}]
    set anzeige(score) $score
}

namespace eval ::station {
    namespace import ::gemeinsam::zahlen ::gemeinsam::wert
}

# Frames per second reached: over the frames of the last two seconds.
proc ::station::zeit_merken {} {
    variable zeiten
    set jetzt [clock milliseconds]
    lappend zeiten $jetzt
    while {[lindex $zeiten 0] < $jetzt - 2000} {
        set zeiten [lrange $zeiten 1 end]
    }
    if {[llength $zeiten] >= 2 && $jetzt > [lindex $zeiten 0]} {
        set ::station::anzeige(fps) [format "%.1f" \
            [expr {1000.0 * ([llength $zeiten] - 1) / ($jetzt - [lindex $zeiten 0])}]]
    }
}

# ---------------------------------------------------------------------------
# Playing

proc ::station::start_pause {} {
    variable spielt
    set spielt [expr {!$spielt}]
    .s.start configure -text [expr {$spielt ? "Pause" : "Start"}]
    if {$spielt} {
        set ::station::faellig [clock milliseconds]
        set ::station::zeiten {}
        after 0 ::station::takt
    }
}

proc ::station::anhalten {} {
    if {$::station::spielt} start_pause
}

proc ::station::takt {} {
    variable spielt
    variable index
    variable bilder
    variable faellig
    variable opt
    variable lauf
    if {!$spielt} return
    if {[catch {lauf_bild [expr {($index + 1) % [llength $bilder]}]} fehler]} {
        fehler_beim_spielen $fehler
        return
    }
    if {$opt(-bilder) && $lauf(gezeigt) >= $opt(-bilder)} {
        fertig
        return
    }
    set jetzt [clock milliseconds]
    if {$opt(-fps) == 0} {
        after 0 ::station::takt
        return
    }
    # the next frame on time; a late frame does not make the next ones hurry
    set faellig [expr {max($faellig + 1000 / $opt(-fps), $jetzt)}]
    after [expr {$faellig - $jetzt}] ::station::takt
}

proc ::station::schritt {n} {
    variable bilder
    anhalten
    springe [expr {($::station::index + $n + [llength $bilder]) % [llength $bilder]}]
}

proc ::station::springe {i} {
    set i [expr {int(round($i))}]
    if {[catch {zeige $i} fehler]} {
        fehler_beim_spielen $fehler
    }
}

proc ::station::tempo {richtung} {
    variable opt
    set stufen {1 2 5 10 25 50 0}
    set i [lsearch $stufen $opt(-fps)]
    if {$i < 0} {set i 2}
    set i [expr {max(0, min([llength $stufen] - 1, $i + $richtung))}]
    set opt(-fps) [lindex $stufen $i]
    set ::station::anzeige(tempo) [expr {$opt(-fps) ? $opt(-fps) : "max"}]
}

proc ::station::tempo_gewaehlt {} {
    set w $::station::anzeige(tempo)
    set ::station::opt(-fps) [expr {$w eq "max" ? 0 : $w}]
    set ::station::faellig [clock milliseconds]
}

# Grid, mask or contrast changed: the frame again.
proc ::station::neu_zeichnen {} {
    variable opt
    bild eval [list ::druckbild::photo_configure colorcontrast $opt(-kontrast)]
    if {[llength $::station::bilder]} {
        springe $::station::index
    }
}

proc ::station::reihum {option werte} {
    variable opt
    set i [lsearch $werte $opt($option)]
    set opt($option) [lindex $werte [expr {($i + 1) % [llength $werte]}]]
    neu_zeichnen
}

# ---------------------------------------------------------------------------
# Messages: in the window, never as a dialog.

proc ::station::melde {text {art hinweis}} {
    set ::station::meldung $text
    foreach w {.m .e.m} {
        if {[winfo exists $w]} {
            $w configure -foreground [expr {$art eq "fehler" ? "#b00000" : "#000000"}]
        }
    }
    if {$art eq "fehler" && $::station::opt(-bilder)} {
        puts stderr $text
    }
}

proc ::station::fehler_beim_spielen {fehler} {
    anhalten
    melde "Bild [expr {$::station::index + 1}] von $::station::name: $fehler" fehler
    if {$::station::opt(-bilder)} {
        exit 1
    }
}

interp bgerror {} [list apply {{text optionen} {::station::melde $text fehler}}]

# ---------------------------------------------------------------------------
# End of a run with -bilder: picture and figures.

proc ::station::fertig {} {
    variable opt
    variable lauf
    variable index
    variable bilder
    set sekunden [expr {([clock microseconds] - $lauf(start)) / 1e6}]
    anhalten
    if {$opt(-foto) ne ""} {
        foto_schreiben $opt(-foto) [expr {$opt(-fenster) ? "." : ".c"}]
    }
    lassign [lindex $bilder $index] n_y n_x
    set n $lauf(gezeigt)
    puts [list aufnahme $::station::name bild $index n_y $n_y n_x $n_x \
              aufloesung $::station::aufloesung rahmen $::station::rand \
              x0 $::station::x0 y0 $::station::y0 \
              breite [winfo width .c] hoehe [winfo height .c] \
              bilder $n sekunden [format %.3f $sekunden] \
              bilder_pro_s [format %.1f [expr {$n / $sekunden}]] \
              ms_bild [format %.2f [expr {$lauf(bild) / 1e3 / $n}]] \
              ms_analyse [format %.2f [expr {$lauf(analyse) / 1e3 / $n}]] \
              ms_zeichnen [format %.2f [expr {$lauf(zeichnen) / 1e3 / $n}]]]
    exit 0
}

proc ::station::foto_schreiben {datei fenster} {
    ::gemeinsam::foto_schreiben $datei $fenster
}

# ---------------------------------------------------------------------------
# The window

proc ::station::fenster {} {
    variable opt
    variable farbe
    variable quellen
    wm title . "Druckmessung \u2013 Station"
    wm geometry . $opt(-groesse)+0+0
    image create photo ::station::foto

    canvas .c -background $farbe(hintergrund) -highlightthickness 0
    .c create image 0 0 -image ::station::foto -anchor nw -tags bild

    # side panel
    ttk::frame .t -padding 8
    set zeile 0
    foreach {schluessel text} {
        aufnahme Aufnahme groesse "" bild Bild fps "Bilder/s erreicht"
        anteile "Anteile links / rechts (std)" abstand "Sitzknochenabstand (std+)"
        winkel "Sitzknochenwinkel l / r (std+)" cop "Druckmittelpunkt (cop)"
        figur "Beckenrotation" score "Sitzbewertung (Kalvora)"
    } {
        set ::station::anzeige($schluessel) ""
        if {$text ne ""} {
            ttk::label .t.k$zeile -text $text -foreground #505050
            grid .t.k$zeile -row $zeile -sticky w -pady {3 0}
            incr zeile
        }
        ttk::label .t.w$zeile -textvariable ::station::anzeige($schluessel) \
            -font TkHeadingFont -wraplength 270
        grid .t.w$zeile -row $zeile -sticky w
        incr zeile
    }
    set grund [ttk::style lookup TFrame -background]
    canvas .t.legende -width 270 -height 80 -highlightthickness 0 \
        -background [expr {$grund eq "" ? "#d9d9d9" : $grund}]
    grid .t.legende -row $zeile -sticky w -pady {10 0}
    set y 8
    foreach {art text} {ellipse "Schwerpunkt, Ellipse (std+)" spur "Druckmittelpunkt, Spur"
                        figur "Beckenrotation: Figur, Mitte" abstand "Sitzknochenabstand"} {
        .t.legende create line 4 $y 30 $y -fill $farbe($art) -width 3 \
            -dash [expr {$art eq "abstand" ? {6 4} : {}}]
        .t.legende create text 38 $y -text $text -anchor w -font TkDefaultFont
        incr y 20
    }

    # controls
    ttk::frame .s -padding {8 4}
    ttk::combobox .s.aufnahme -values [dict keys $quellen] -state readonly -width 22 \
        -textvariable ::station::anzeige(aufnahme)
    bind .s.aufnahme <<ComboboxSelected>> {::station::waehle $::station::anzeige(aufnahme); focus .c}
    ttk::button .s.oeffnen -text "Datei \u2026" -command ::station::datei_oeffnen -takefocus 0
    ttk::button .s.start -text Start -command ::station::start_pause -takefocus 0 -width 6
    ttk::button .s.zurueck -text "\u25c0" -command {::station::schritt -1} -takefocus 0 -width 3
    ttk::button .s.vor -text "\u25b6" -command {::station::schritt 1} -takefocus 0 -width 3
    ttk::scale .s.regler -from 0 -to 1 -variable ::station::index \
        -command {::station::anhalten; ::station::springe}
    pack .s.aufnahme .s.oeffnen .s.start .s.zurueck .s.vor -side left -padx 2
    pack .s.regler -side left -fill x -expand 1 -padx 6

    # settings of the image and the speed, and the message line
    ttk::frame .e -padding {8 0 8 6}
    ttk::label .e.tl -text "Bilder/s"
    set ::station::anzeige(tempo) [expr {$opt(-fps) ? $opt(-fps) : "max"}]
    ttk::combobox .e.tempo -values {1 2 5 10 25 50 max} -width 4 -state readonly \
        -textvariable ::station::anzeige(tempo)
    bind .e.tempo <<ComboboxSelected>> {::station::tempo_gewaehlt; focus .c}
    ttk::label .e.gl -text Gitter
    ttk::combobox .e.gitter -values {no solid dotted} -width 6 -state readonly \
        -textvariable ::station::opt(-gitter)
    bind .e.gitter <<ComboboxSelected>> {::station::neu_zeichnen; focus .c}
    ttk::checkbutton .e.maske -text "leere Zellen maskiert" -variable ::station::opt(-maske) \
        -command ::station::neu_zeichnen -takefocus 0
    ttk::label .e.kl -text Kontrast
    ttk::spinbox .e.kontrast -from 0 -to 7 -width 3 -state readonly \
        -textvariable ::station::opt(-kontrast) -command {::station::neu_zeichnen; focus .c}
    ttk::label .e.m -textvariable ::station::meldung
    pack .e.tl .e.tempo .e.gl .e.gitter .e.maske .e.kl .e.kontrast .e.m -side left -padx 2

    grid .c .t -sticky nsew
    grid .s - -sticky ew
    grid .e - -sticky ew
    grid columnconfigure . 0 -weight 1
    grid rowconfigure . 0 -weight 1

    # resizing draws the frame anew at the resolution that fits
    bind .c <Configure> {after cancel ::station::neu_zeichnen; after idle ::station::neu_zeichnen}

    bind . <Key-space> ::station::start_pause
    bind . <Key-Right> {::station::schritt 1}
    bind . <Key-Left> {::station::schritt -1}
    bind . <Key-Home> {::station::anhalten; ::station::springe 0}
    bind . <Key-End> {::station::anhalten; ::station::springe [expr {[llength $::station::bilder] - 1}]}
    bind . <Key-plus> {::station::tempo 1}
    bind . <Key-KP_Add> {::station::tempo 1}
    bind . <Key-minus> {::station::tempo -1}
    bind . <Key-KP_Subtract> {::station::tempo -1}
    bind . <Key-g> {::station::reihum -gitter {no solid dotted}}
    bind . <Key-m> {set ::station::opt(-maske) [expr {!$::station::opt(-maske)}]; ::station::neu_zeichnen}
    bind . <Key-k> {::station::reihum -kontrast {0 1 2 3 4 5 6 7}}
    bind . <Key-Prior> {::station::naechste_aufnahme -1}
    bind . <Key-Next> {::station::naechste_aufnahme 1}
    bind . <Key-o> ::station::datei_oeffnen
    bind . <Key-q> exit
    focus .c
}

# Start-up: a message in the window (and, for a run with -bilder, on stderr
# with exit status 1) where packages or the recording are missing.
proc ::station::main {argv} {
    variable opt
    variable quellen
    ttk::label .m -textvariable ::station::meldung -padding 12
    if {[catch {argumente $argv; pakete} fehler]} {
        pack .m
        melde $fehler fehler
        if {$opt(-bilder)} {exit 1}
        return
    }
    destroy .m
    quellen_sammeln
    fenster
    bild eval [list ::druckbild::photo_configure colorcontrast $opt(-kontrast)]
    update
    set erste [expr {$opt(-aufnahme) ne "" ? $opt(-aufnahme) : [lindex [dict keys $quellen] 0]}]
    if {![dict exists $quellen $erste]} {
        melde "keine Aufnahme \"$erste\"; m\u00f6glich: [join [dict keys $quellen] {, }]" fehler
        if {$opt(-bilder)} {exit 1}
        return
    }
    if {![waehle $erste]} {
        if {$opt(-bilder)} {exit 1}
        return
    }
    if {$opt(-bilder)} {
        # the frame shown first counts as the first of the run
        set ::station::lauf(start) [clock microseconds]
        lauf_bild 0
        if {$opt(-bilder) == 1} {
            fertig
        }
    }
    start_pause
}

::station::main $argv
