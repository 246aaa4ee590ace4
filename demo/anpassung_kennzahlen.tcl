# The fitter's figures: of one frame, of a window's mean image, the mean and
# SD of the per-frame figures over a window, the zones, and whether the
# corrected sit-bone figures (std+) can be measured.  All pressure figures
# come from ::druckbild::statistik (Druckbildkennzahlen) on the image the
# calibration gives (kanal::rechenbild), scaled by its gain; the sit-bone
# figures from ::druckbild::analyse, the seat score from Kalvora, the
# pelvic figure from Beckenrotation.  No drawing here: the view and the
# export both call these procs.
#
# A context dict k (made by ::kennzahlen::kontext) carries what every
# figure needs: kal (calibration or {}), n_y, n_x, g (gain), einheiten.

package require math::statistics

namespace eval ::kennzahlen {
    # The figures of a frame: key, unit kind (druck, kraft, laenge, flaeche,
    # prozent, zahl, punkte), label, tooltip.  The key plus the unit is the export's
    # column name.
    variable liste {
        spitze   druck   "Spitzendruck"
            "Der h\u00f6chste Druck einer Zelle."
        mittel   druck   "Mittlerer Druck"
            "Der mittlere Druck der belasteten Zellen (Druck > 0)."
        ppi      druck   "Spitzendruck-Index (PPI)"
            "Der h\u00f6chste mittlere Druck \u00fcber 3 \u00d7 3 Zellen, wie ihn Sitzkliniken angeben: weniger empfindlich f\u00fcr eine einzelne Zelle als der Spitzendruck."
        flaeche  flaeche "Kontaktfl\u00e4che"
            "Die Fl\u00e4che der belasteten Zellen (Druck > 0)."
        last     kraft   "Gesamtlast"
            "Die Summe des Drucks \u00fcber die Kontaktfl\u00e4che: mit Kalibrierung die Kraft in Newton, ohne die Summe der Rohwerte."
        links    prozent "Anteil links (Person)"
            "Der Anteil der Last auf der linken Seite der Person in %; 50 % ist gleich verteilt."
        vorn     prozent "Anteil vorn"
            "Der Anteil der Last auf der vorderen H\u00e4lfte der Matte (zu den Knien hin) in %."
        cop_quer laenge  "Druckmittelpunkt quer"
            "Wie weit der Druckmittelpunkt von der Mattenmitte zur rechten (+) oder linken (\u2212) Seite der Person liegt."
        cop_laengs laenge "Druckmittelpunkt l\u00e4ngs"
            "Wie weit der Druckmittelpunkt von der Mattenmitte nach vorn (+) oder hinten (\u2212) liegt."
        vk       zahl    "Variationskoeffizient"
            "Standardabweichung durch Mittelwert der belasteten Zellen: 0 ist ganz gleichm\u00e4\u00dfig, \u00fcber 1 sehr ungleichm\u00e4\u00dfig verteilt."
        abstand_std laenge "Sitzknochenabstand (Schwerpunkte)"
            "Abstand der Druckschwerpunkte der linken und rechten Sitzh\u00e4lfte."
        abstand_plus laenge "Sitzknochenabstand (korrigiert)"
            "Abstand der korrigierten Sitzknochen-Schwerpunkte, auf der Karte mit ihren Ellipsen; leer, wenn nicht messbar (die Gr\u00fcnde stehen \u00fcber der Tabelle)."
        bewertung punkte "Sitzbewertung (0 bis 100)"
            "Von 0 bis 100: hoch, wenn sich der Druck gleichm\u00e4\u00dfig verteilt, niedrig bei wenigen scharfen Spitzen."
        becken_breite laenge "Beckenbewegung quer"
            "Breite der Figur, die der Druckmittelpunkt \u00fcber die Bilder bis hier beschreibt: wie weit das Becken seitlich schwankt."
        becken_hoehe laenge "Beckenbewegung l\u00e4ngs"
            "H\u00f6he dieser Figur: wie weit das Becken vor und zur\u00fcck schwankt."
    }
    # the figures that come from a pressure image alone (a mean image too)
    variable bildzahlen {spitze mittel ppi flaeche last links vorn cop_quer cop_laengs vk}
}

# The context of a recording: calibration (or {}), size, period (ms or "").
proc ::kennzahlen::kontext {kal n_y n_x periode} {
    set g [expr {[dict size $kal] ? [dict get $kal verstaerkung] : 1}]
    dict create kal $kal n_y $n_y n_x $n_x g $g periode $periode \
        einheiten [::kalibrierung::einheiten $kal $periode]
}

# The unit of a kind of figure in a context, as shown ("%" for prozent,
# "" for zahl).
proc ::kennzahlen::einheit {k art} {
    switch -- $art {
        prozent {return %}
        zahl - punkte {return ""}
        default {return [dict get $k einheiten $art]}
    }
}

# The export's column name of a figure: key and unit (spitze_kPa,
# spitze_roh, flaeche_cm2, links_prozent, vk).
proc ::kennzahlen::spalte {k schluessel art} {
    set e [einheit $k $art]
    if {$art eq "prozent"} {
        set e prozent
    }
    set e [string map [list \u00b2 2] $e]
    expr {$e eq "" ? $schluessel : "${schluessel}_$e"}
}

# The figures of a pressure image (the calibration's image, see
# ::kalibrierung::rechenbild) from ::druckbild::statistik, in the
# context's units; "" where there is no value.
proc ::kennzahlen::bild {k rechenwerte} {
    dict with k {}
    set s [::druckbild::statistik $rechenwerte $n_y $n_x]
    set zellen [dict get $s zellen]
    set ergebnis [dict create]
    dict set ergebnis spitze [expr {$zellen ? [dict get $s spitze] * $g : ""}]
    dict set ergebnis mittel [expr {$zellen ? [dict get $s mittel] * $g : ""}]
    set ppi [dict get $s ppi]
    dict set ergebnis ppi [expr {$ppi < 0 ? "" : $ppi * $g}]
    set summe [dict get $s summe]
    if {[dict size $kal]} {
        set px [dict get $kal raster_x]
        set py [dict get $kal raster_y]
        dict set ergebnis flaeche [expr {$zellen * $px * $py / 100.0}]
        # kPa times m^2 is kN
        dict set ergebnis last [expr {$summe * $g * $px * $py / 1000.0}]
    } else {
        set px 1.0
        set py 1.0
        dict set ergebnis flaeche $zellen
        dict set ergebnis last $summe
    }
    lassign [richtungen $kal] links_ist_spalte0 vorn_ist_letzte
    if {$summe > 0} {
        dict set ergebnis links [dict get $s [expr {$links_ist_spalte0 ? "anteil_links" : "anteil_rechts"}]]
        dict set ergebnis vorn [dict get $s [expr {$vorn_ist_letzte ? "anteil_oben" : "anteil_unten"}]]
        set quer [expr {([dict get $s schwerpunkt_x] - ($n_x - 1) / 2.0) * $px}]
        set laengs [expr {([dict get $s schwerpunkt_y] - ($n_y - 1) / 2.0) * $py}]
        dict set ergebnis cop_quer [expr {$links_ist_spalte0 ? $quer : -$quer}]
        dict set ergebnis cop_laengs [expr {$vorn_ist_letzte ? $laengs : -$laengs}]
    } else {
        foreach s2 {links vorn cop_quer cop_laengs} {dict set ergebnis $s2 ""}
    }
    set vk [dict get $s variationskoeffizient]
    dict set ergebnis vk [expr {$vk < 0 ? "" : $vk}]
    return $ergebnis
}

# Whether the person's left is column 0 and the front the last row: the
# calibration's orientation; without one, the recordings' own convention
# (row 0 at the backrest) and the analysis's left (columns 0 ...) assumed.
proc ::kennzahlen::richtungen {kal} {
    if {![dict size $kal]} {
        return {1 1}
    }
    list [expr {[dict get $kal links] eq "spalte_0"}] [expr {[dict get $kal vorn] eq "letzte_zeile"}]
}

# A length in cells (x across, y along) in the context's unit.
proc ::kennzahlen::laenge {k dx dy} {
    set kal [dict get $k kal]
    if {![dict size $kal]} {
        return [expr {hypot($dx, $dy)}]
    }
    expr {hypot($dx * [dict get $kal raster_x], $dy * [dict get $kal raster_y])}
}

# The sit-bone figures of a raw frame: the std and std+ results, the two
# distances in the context's unit and why std+ cannot be measured ({} when
# it can).
proc ::kennzahlen::sitzknochen {k werte} {
    dict with k {}
    set std [::druckbild::analyse std $werte $n_y $n_x]
    set plus [::druckbild::analyse std+ $werte $n_y $n_x]
    set ergebnis [dict create std $std plus $plus abstand_std "" abstand_plus ""]
    if {[dict size $std]} {
        dict set ergebnis abstand_std [laenge $k \
            [expr {[dict get $std schwerpunkt2_x] - [dict get $std schwerpunkt1_x]}] \
            [expr {[dict get $std schwerpunkt2_y] - [dict get $std schwerpunkt1_y]}]]
    }
    set gruende [nicht_messbar $plus $n_x]
    dict set ergebnis gruende $gruende
    if {![llength $gruende]} {
        dict set ergebnis abstand_plus [laenge $k \
            [expr {[dict get $plus schwerpunkt2_x] - [dict get $plus schwerpunkt1_x]}] \
            [expr {[dict get $plus schwerpunkt2_y] - [dict get $plus schwerpunkt1_y]}]]
    }
    return $ergebnis
}

# Why a std+ result cannot be taken as a measurement: no result; both
# corrected centroids on the same side of the mat's middle (columns below
# n_x / 2 are the left side); the centroids closer than 2 cells; a sit-bone
# angle at the far limit of its search range, 55 degrees (the region's axis
# may lie beyond the range searched).  The near limit, 15 degrees, is not a
# reason: the search also ends there for a region without a direction of
# its own (a round sit-bone mound), whose centroid is measured all the same.
# An empty list when none holds.
proc ::kennzahlen::nicht_messbar {plus n_x} {
    if {![dict size $plus]} {
        return [list "keine Auswertung (zu wenig Druck)"]
    }
    set gruende {}
    set mitte [expr {$n_x / 2 - 0.5}]
    set seite1 [expr {[dict get $plus schwerpunkt1_x] < $mitte ? "links" : "rechts"}]
    set seite2 [expr {[dict get $plus schwerpunkt2_x] < $mitte ? "links" : "rechts"}]
    if {$seite1 eq $seite2} {
        lappend gruende "beide Schwerpunkte auf der Seite $seite1"
    }
    set abstand [dict get $plus sitzknochenabstand]
    if {$abstand < 2} {
        lappend gruende [format "Schwerpunkte nur %.2f Zellen auseinander (unter 2)" $abstand]
    }
    foreach seite {links rechts} {
        set w [dict get $plus sitzknochenwinkel_$seite]
        if {$w >= 55} {
            lappend gruende [format "Sitzknochenwinkel %s an der Grenze (%.0f\u00b0)" $seite $w]
        }
    }
    return $gruende
}

# The figures of an image (raw values and mask, and its image for the
# figures): the image figures, the sit-bone figures (with gruende and the
# std+ result plus), the seat score; no pelvic figure (that needs frames).
proc ::kennzahlen::alle {k werte maske rechenwerte} {
    set z [bild $k $rechenwerte]
    set sk [sitzknochen $k $werte]
    foreach s {abstand_std abstand_plus gruende plus} {
        dict set z $s [dict get $sk $s]
    }
    dict set z bewertung [::druckbild::kalvora $werte [dict get $k n_y] [dict get $k n_x] $maske]
    dict set z becken_breite ""
    dict set z becken_hoehe ""
    dict set z gesaettigt [gesaettigt $k $werte]
    return $z
}

# The number of cells of a raw image at or above the calibration's
# saturation value, whose pressure the mat cannot tell; "" uncalibrated.
proc ::kennzahlen::gesaettigt {k werte} {
    set kal [dict get $k kal]
    if {![dict size $kal]} {
        return ""
    }
    dict get [::druckbild::statistik $werte [dict get $k n_y] [dict get $k n_x] \
                  -schwelle [expr {[dict get $kal saettigung] - 1}]] zellen
}

# All figures of frame i of a recording: those of its image and the pelvic
# figure of frames 0 ... i (from the list of centres of pressure cops, "-"
# where a frame has none).
proc ::kennzahlen::frame {k bild rechenwerte cops i} {
    lassign $bild n_y n_x werte maske
    set z [alle $k $werte $maske $rechenwerte]
    lassign [becken $k $cops $i $werte] breite hoehe
    dict set z becken_breite $breite
    dict set z becken_hoehe $hoehe
    return $z
}

# The width and height of the pelvic rotation figure of frames 0 ... i in
# the context's unit ("" "" before there is a figure).  Beckenrotation
# gives them as ten times the extent in cells.
proc ::kennzahlen::becken {k cops i werte} {
    ::druckbild::beckenrotation result
    for {set j 0} {$j < $i} {incr j} {
        set c [lindex $cops $j]
        if {$c ne "-"} {
            ::druckbild::beckenrotation log {*}$c
        }
    }
    ::druckbild::beckenrotation logcop $werte [dict get $k n_y] [dict get $k n_x]
    set figur [::druckbild::beckenrotation result]
    if {![dict size $figur]} {
        return {"" ""}
    }
    set kal [dict get $k kal]
    set fx [expr {[dict size $kal] ? [dict get $kal raster_x] : 1.0}]
    set fy [expr {[dict size $kal] ? [dict get $kal raster_y] : 1.0}]
    list [expr {[dict get $figur width] / 10.0 * $fx}] [expr {[dict get $figur height] / 10.0 * $fy}]
}

# The centre of pressure of a raw frame: {x y} in cells, "-" for none.
proc ::kennzahlen::cop {werte n_y n_x} {
    set c [::druckbild::analyse cop $werte $n_y $n_x]
    expr {[dict size $c] ? [list [dict get $c x] [dict get $c y]] : "-"}
}

# Mean and SD (math::statistics, of the sample) of each figure over the
# frames' figures fz (a list of dicts); "" "" where no frame has a value.
proc ::kennzahlen::streuung {fz} {
    variable liste
    set ergebnis [dict create]
    foreach {schluessel art text hilfe} $liste {
        set werte {}
        foreach z $fz {
            set w [dict get $z $schluessel]
            if {$w ne ""} {lappend werte $w}
        }
        set m [expr {[llength $werte] ? [::math::statistics::mean $werte] : ""}]
        set sd [expr {[llength $werte] > 1 ? [::math::statistics::stdev $werte] : ""}]
        dict set ergebnis $schluessel [list $m $sd]
    }
    return $ergebnis
}

# The mean and peak-hold images of frames a ... b, as integer images (raw
# for the picture, and the calibration's image for the figures).
proc ::kennzahlen::fenster_bilder {k rohbilder rechenbilder a b} {
    dict with k {}
    set roh [lrange $rohbilder $a $b]
    set rechen [lrange $rechenbilder $a $b]
    dict create \
        mittel [::druckbild::mittel $roh $n_y $n_x -ganzzahlig] \
        spitze [::druckbild::mittel $roh $n_y $n_x -art spitze] \
        mittel_rechen [::druckbild::mittel $rechen $n_y $n_x -ganzzahlig] \
        spitze_rechen [::druckbild::mittel $rechen $n_y $n_x -art spitze]
}

# ---------------------------------------------------------------------------
# Zones: name and region {zeile0 spalte0 zeile1 spalte1} (bounds inclusive).

# The four default zones: the person's left and right, front and rear,
# split as the figures split the mat (columns below n_x / 2, rows below
# n_y / 2).
proc ::kennzahlen::standardzonen {kal n_y n_x} {
    lassign [richtungen $kal] links_ist_spalte0 vorn_ist_letzte
    set h [expr {$n_x / 2}]
    set v [expr {$n_y / 2}]
    set spalten [list [list 0 [expr {$h - 1}]] [list $h [expr {$n_x - 1}]]]
    set zeilen [list [list 0 [expr {$v - 1}]] [list $v [expr {$n_y - 1}]]]
    if {!$links_ist_spalte0} {set spalten [lreverse $spalten]}
    if {!$vorn_ist_letzte} {set zeilen [lreverse $zeilen]}
    set zonen {}
    foreach {ln lz} {"hinten links" 0 "vorn links" 1} {
        foreach {seite s} {links 0 rechts 1} {
            set name [string map [list links $seite] $ln]
            lassign [lindex $zeilen $lz] z0 z1
            lassign [lindex $spalten $s] s0 s1
            lappend zonen [list $name [list $z0 $s0 $z1 $s1]]
        }
    }
    return $zonen
}

# Share of the whole load (%), peak and mean of each zone, from
# ::druckbild::statistik -bereich; a list of dicts name bereich anteil
# spitze mittel ("" where there is no value).  A zone outside the mat
# is an error of the package.
proc ::kennzahlen::zonen {k rechenwerte zonen} {
    dict with k {}
    set gesamt [dict get [::druckbild::statistik $rechenwerte $n_y $n_x] summe]
    set ergebnis {}
    foreach zone $zonen {
        lassign $zone name bereich
        set s [::druckbild::statistik $rechenwerte $n_y $n_x -bereich $bereich]
        set anteil [expr {$gesamt > 0 ? 100.0 * [dict get $s summe] / $gesamt : ""}]
        set geladen [expr {[dict get $s zellen] > 0}]
        lappend ergebnis [dict create name $name bereich $bereich anteil $anteil \
            spitze [expr {$geladen ? [dict get $s spitze] * $g : ""}] \
            mittel [expr {$geladen ? [dict get $s mittel] * $g : ""}]]
    }
    return $ergebnis
}
