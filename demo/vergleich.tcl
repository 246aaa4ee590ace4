# Before and after: two recordings (or sessions of the archive) of a client
# side by side on one colour scale, the difference map B - A with its own
# diverging legend, and a table of every figure and zone with A, B, the
# change and the change in %.  The window is the report's page: printed to
# PostScript by the canvas and made a PDF by ghostscript's ps2pdf.
#
#   wish8.6 demo/anpassung.tcl ?options? -vergleich a b
#   wish8.6 demo/anpassung.tcl ?options? -vergleich a b -export DIR
#
# a and b: recordings in the text format, archiv:ID for a session of the
# archive, or archiv:ID/name for a snapshot of it (its frames only).
# Options:
#   -build dir           build folder with pkgIndex.tcl (default: build)
#   -kalibrierung datei  the mat's calibration (JSON), for both
#   -klient name         the client named in the report (default: that of
#                        the archived session A, else none)
#   -notizen text        the fitter's notes in the report
#   -archiv datei        the archive (SQLite file; default in the user's
#                        data folder); -postgres "host=... dbname=..." for
#                        a studio's PostgreSQL archive
#   -archivieren 1       also stores both recordings as sessions of the
#                        archive (never without this option)
#   -export DIR          writes DIR/bericht.pdf, DIR/vergleich.csv,
#                        DIR/vergleich.json and DIR/differenz.jpg (the
#                        difference map as drawn), and exits
#   -foto datei          with -export: also the window as shown (PNG, or
#                        JPEG for .jpg; the screen must hold the window)
#
# Headless as the view's export: messages go to stderr with exit status 1.

namespace eval ::vergleich {
    variable opt
    array set opt {
        -build build -kalibrierung "" -klient "" -notizen "" -archiv "" -postgres ""
        -archivieren 0 -export "" -foto ""
    }
    variable quellen {}
    variable kal {}
    variable a {}              ;# the two sides (see seite)
    variable b {}
    variable zeilen {}         ;# the table: {name art a b} ...
    variable skala 1           ;# top of the common colour scale, raw
    variable dmax 1            ;# the difference map's scale: -dmax ... +dmax, raw
    variable seite_breite 1000
    variable seite_hoehe 1414
}

proc ::vergleich::argumente {argv} {
    variable opt
    variable quellen
    while {[llength $argv]} {
        set argv [lassign $argv wort]
        if {$wort eq "-vergleich"} {
            if {[llength $argv] < 2} {
                error "-vergleich erwartet zwei Aufnahmen: a b"
            }
            set argv [lassign $argv q1 q2]
            set quellen [list $q1 $q2]
        } elseif {[info exists opt($wort)] && [llength $argv]} {
            set argv [lassign $argv opt($wort)]
        } else {
            error "unbekannte Option \"$wort\"; m\u00f6glich: -vergleich,\
                [join [lsort [array names opt]] {, }]"
        }
    }
    if {![string is boolean -strict $opt(-archivieren)]} {
        error "-archivieren erwartet 0 oder 1, nicht \"$opt(-archivieren)\""
    }
}

# The archive, opened for one use and closed again.
proc ::vergleich::mit_archiv {skript} {
    variable opt
    if {[namespace which ::archiv::oeffnen] eq ""} {
        source [file join $::anpassung::hier archiv.tcl]
    }
    set optionen [expr {$opt(-postgres) ne "" ? [list -postgres $opt(-postgres)]
                        : $opt(-archiv) ne "" ? [list -datei $opt(-archiv)] : {}}]
    set ::vergleich::archiv [::archiv::oeffnen {*}$optionen]
    try {
        uplevel 1 $skript
    } finally {
        ::archiv::schliessen $::vergleich::archiv
    }
}

# One side of the comparison: its frames, the mean image over all frames
# (raw, and the calibration's image for the figures), its figures and
# those of the zones.
proc ::vergleich::seite {quelle} {
    variable kal
    set sitzung {}
    if {[regexp {^archiv:([0-9]+)(?:/(.+))?$} $quelle -> id schnappschuss]} {
        mit_archiv {
            set sitzung [::archiv::laden $::vergleich::archiv $id]
        }
        set n_y [dict get $sitzung zeilen]
        set n_x [dict get $sitzung spalten]
        set werte_liste [dict get $sitzung bilder]
        set name "Sitzung $id ([dict get $sitzung zeitpunkt])"
        if {$schnappschuss ne ""} {
            set gefunden [lsearch -inline -index 1 -exact [dict get $sitzung schnappschuesse] \
                              $schnappschuss]
            if {$gefunden eq ""} {
                error "Sitzung $id hat keinen Schnappschuss \"$schnappschuss\"; sie hat:\
                    [join [lmap sch [dict get $sitzung schnappschuesse] {dict get $sch name}] {, }]"
            }
            set von [dict get $gefunden von]
            set bis [dict get $gefunden bis]
            set werte_liste [lrange $werte_liste $von $bis]
            append name ", Schnappschuss: $schnappschuss (Bilder [incr von] bis [incr bis])"
        }
        set bilder {}
        foreach werte $werte_liste {
            lappend bilder [::aufnahme::bild_aus_zeilen $n_y $n_x [list $werte]]
        }
        set datei ""
    } else {
        set bilder [::aufnahme::lesen $quelle]
        set datei $quelle
        set name [file tail $quelle]
    }
    lassign [lindex $bilder 0] n_y n_x
    ::kalibrierung::pruefen $kal $n_y $n_x
    set k [::kennzahlen::kontext $kal $n_y $n_x [::kalibrierung::periode $kal $datei]]
    set roh {}
    set rw {}
    foreach bild $bilder {
        lassign $bild - - werte maske
        set r [::kalibrierung::rechenbild $kal $werte]
        lappend roh [lmap w $werte m $maske {expr {$m ? -1 : $w}}]
        lappend rw [lmap w $r m $maske {expr {$m ? -1 : $w}}]
    }
    set f [::kennzahlen::fenster_bilder $k $roh $rw 0 end]
    set maske [lmap w [dict get $f mittel] {expr {$w < 0}}]
    set mittel [lmap w [dict get $f mittel] {expr {max($w, 0)}}]
    set rechen [lmap w [dict get $f mittel_rechen] {expr {max($w, 0)}}]
    dict create name $name quelle $quelle datei $datei sitzung $sitzung bilder $bilder \
        n_y $n_y n_x $n_x k $k mittel $mittel maske $maske \
        kennzahlen [::kennzahlen::alle $k $mittel $maske $rechen] \
        zonen [::kennzahlen::zonen $k $rechen [::kennzahlen::standardzonen $kal $n_y $n_x]]
}

# The rows of the table: every figure of a mean image, then share, peak
# and mean of each zone; {name art a b}, "" where a side has no value.
proc ::vergleich::tabelle {a b} {
    set zeilen {}
    foreach {schluessel art text hilfe} $::kennzahlen::liste {
        if {$schluessel in {becken_breite becken_hoehe}} continue
        lappend zeilen [list $text $art [dict get $a kennzahlen $schluessel] \
                            [dict get $b kennzahlen $schluessel]]
    }
    foreach za [dict get $a zonen] zb [dict get $b zonen] {
        foreach {schluessel art text} {anteil prozent Anteil spitze druck Spitze mittel druck Mittel} {
            lappend zeilen [list "Zone [dict get $za name]: $text" $art \
                                [dict get $za $schluessel] [dict get $zb $schluessel]]
        }
    }
    return $zeilen
}

# The change B - A and the change in % of A; "" where there is none (no
# value, or A is 0 for the %).
proc ::vergleich::aenderung {wa wb} {
    if {![string is double -strict $wa] || ![string is double -strict $wb]} {
        return {"" ""}
    }
    set d [expr {$wb - $wa}]
    list $d [expr {$wa == 0 ? "" : 100.0 * $d / abs($wa)}]
}

# ---------------------------------------------------------------------------
# Units and numbers (the page's text stays within ISO-8859-1, which the
# canvas's PostScript carries)

proc ::vergleich::einheit {art} {
    variable a
    return [::kennzahlen::einheit [dict get $a k] $art]
}

proc ::vergleich::zahl {art w {vorzeichen 0}} {
    if {$w eq ""} {
        return "-"
    }
    set kalibriert [dict size $::vergleich::kal]
    set format [switch -- $art {
        druck   {expr {$kalibriert ? "%.2f" : "%.1f"}}
        kraft   {expr {"%.1f"}}
        laenge  {expr {$kalibriert ? "%.1f" : "%.2f"}}
        flaeche {expr {"%.0f"}}
        prozent {expr {"%.1f"}}
        zahl    {expr {"%.3f"}}
        default {expr {"%.1f"}}
    }]
    set t [format $format $w]
    if {$vorzeichen && $w > 0} {
        set t "+$t"
    }
    # -0.0 and the like read as 0
    if {[regexp {^[-+]?0(\.0*)?$} $t]} {
        set t [string trimleft $t +-]
    }
    return $t
}

# ---------------------------------------------------------------------------
# The page

proc ::vergleich::rechnen {} {
    variable quellen
    variable a
    variable b
    variable zeilen
    variable skala
    variable dmax
    set a [seite [lindex $quellen 0]]
    set b [seite [lindex $quellen 1]]
    if {[dict get $a n_y] != [dict get $b n_y] || [dict get $a n_x] != [dict get $b n_x]} {
        error "A hat [dict get $a n_y] \u00d7 [dict get $a n_x] Zellen, B\
            [dict get $b n_y] \u00d7 [dict get $b n_x]: verschiedene Matten lassen sich nicht vergleichen"
    }
    set zeilen [tabelle $a $b]
    # one colour scale for both: the calibration's top, else the higher peak
    set skala 1
    variable kal
    if {[dict size $kal] && [dict get $kal skala_kPa] ne ""} {
        set skala [expr {max(1, [::kalibrierung::roh_von_kpa $kal [dict get $kal skala_kPa]])}]
    } else {
        foreach s [list $a $b] {
            set skala [expr {max($skala, [tcl::mathfunc::max {*}[dict get $s mittel]])}]
        }
    }
    set dmax 1
    foreach wa [dict get $a mittel] wb [dict get $b mittel] {
        set dmax [expr {max($dmax, abs($wb - $wa))}]
    }
}

proc ::vergleich::seite_zeichnen {} {
    variable a
    variable b
    variable kal
    variable opt
    variable zeilen
    variable skala
    variable dmax
    variable seite_breite
    variable seite_hoehe
    set c .seite
    $c delete all
    set n_y [dict get $a n_y]
    set n_x [dict get $a n_x]
    set gross vergleich_gross
    set mittel vergleich_mittel
    set klein vergleich_klein
    # head: client, date, calibration
    $c create text 40 36 -anchor nw -font $gross -text "Vergleich vorher / nachher"
    set klient $opt(-klient)
    if {$klient eq "" && [dict size [dict get $a sitzung]]} {
        set klient [dict get $a sitzung klient]
    }
    set kopf [list "Klient: [expr {$klient eq "" ? "-" : $klient}]" \
        "Datum: [clock format [clock seconds] -format {%d.%m.%Y %H:%M}]" \
        "Kalibrierung: [expr {[dict size $kal] ? "[dict get $kal name] (Druck in kPa, L\u00e4ngen in mm)"
                                : "keine (Rohwerte, Zellen)"}]" \
        "A (vorher): [dict get $a name], [llength [dict get $a bilder]] Bilder" \
        "B (nachher): [dict get $b name], [llength [dict get $b bilder]] Bilder" \
        "Gezeigt und verglichen: das Mittelbild aller Bilder jeder Aufnahme"]
    $c create text 40 76 -anchor nw -font $klein -text [join $kopf \n]
    # three maps with their legends
    set breite 230
    lassign [::gemeinsam::einpassen $breite 300 $n_y $n_x 4] aufloesung
    set oben 200
    set x 40
    set druck_titel [expr {[dict size $kal] ? "kPa" : "Rohwert"}]
    foreach {titel seite} [list "A: vorher" $a "B: nachher" $b] {
        $c create text $x $oben -anchor sw -font $mittel -text $titel
        set foto [image create photo]
        set optionen [list -resolution $aufloesung -frame 4 -quality 92 -maximum $skala]
        if {[lsearch [dict get $seite maske] 1] >= 0} {
            lappend optionen -mask [dict get $seite maske]
        }
        $foto configure -format jpeg -data [bild eval [list ::druckbild::jpegdata {*}$optionen \
            [lmap w [dict get $seite mittel] {expr {min($w, $skala)}}] $n_y $n_x]]
        $c create image $x [expr {$oben + 6}] -anchor nw -image $foto
        set hoehe [image height $foto]
        ausrichtung $c $x [expr {$oben + 6}] [image width $foto] $hoehe
        legende $c [expr {$x + [image width $foto] + 8}] [expr {$oben + 6}] $hoehe \
            [::druckbild::farbskala 256] 0 $skala $druck_titel
        incr x [expr {[image width $foto] + 80}]
    }
    $c create text $x $oben -anchor sw -font $mittel -text "B - A"
    set foto [image create photo]
    set differenz [::druckbild::differenzbild [dict get $a mittel] [dict get $b mittel] $n_y $n_x \
                       -resolution $aufloesung -frame 4 -quality 92 -maximum $dmax]
    set ::vergleich::differenz_jpeg $differenz
    $foto configure -format jpeg -data $differenz
    $c create image $x [expr {$oben + 6}] -anchor nw -image $foto
    set hoehe [image height $foto]
    ausrichtung $c $x [expr {$oben + 6}] [image width $foto] $hoehe
    legende $c [expr {$x + [image width $foto] + 8}] [expr {$oben + 6}] $hoehe \
        [::druckbild::farbskala -divergierend 256] [expr {-$dmax}] $dmax $druck_titel
    $c create text 40 [expr {$oben + $hoehe + 30}] -anchor nw -font $klein -width 900 -text \
        "A und B auf einer Farbskala (0 bis [zahl druck [::kalibrierung::druck_von_roh $kal $skala]]\
         $druck_titel). Differenz B - A: rot mehr Druck nachher, blau weniger, weiss gleich."
    # the table
    set y [expr {$oben + $hoehe + 66}]
    set spalten {40 470 580 690 820}
    foreach titel {Kennzahl A B "\u00c4nderung" "\u00c4nderung %"} x $spalten anker {nw ne ne ne ne} {
        set tx [expr {$anker eq "nw" ? $x : $x + 90}]
        $c create text $tx $y -anchor $anker -font $mittel -text $titel
    }
    incr y 20
    $c create line 40 $y 920 $y
    incr y 4
    set nr 0
    foreach zeile $zeilen {
        lassign $zeile name art wa wb
        lassign [aenderung $wa $wb] d p
        set e [einheit $art]
        set text [expr {$e eq "" || $art eq "prozent" ? $name : "$name ($e)"}]
        if {$art eq "prozent"} {
            append text " (%)"
        }
        if {$nr % 2} {
            $c create rectangle 38 [expr {$y - 1}] 922 [expr {$y + 17}] -fill #eef2f7 -outline ""
        }
        $c create text 40 $y -anchor nw -font $klein -text $text
        foreach w [list [zahl $art $wa] [zahl $art $wb] [zahl $art $d 1] \
                       [expr {$p eq "" ? "-" : "[zahl prozent $p 1]"}]] x [lrange $spalten 1 end] {
            $c create text [expr {$x + 90}] $y -anchor ne -font $klein -text $w
        }
        incr y 18
        incr nr
    }
    $c create line 40 $y 920 $y
    # the fitter's notes
    incr y 14
    $c create text 40 $y -anchor nw -font $mittel -text "Notizen"
    $c create text 40 [expr {$y + 20}] -anchor nw -font $klein -width 880 \
        -text [expr {$opt(-notizen) eq "" ? "-" : $opt(-notizen)}]
    $c create text 40 [expr {$seite_hoehe - 30}] -anchor sw -font vergleich_winzig -fill #555555 \
        -text "druckmessung, Sitzanpassung [set ::anpassung::version]: Vergleich zweier\
               Aufnahmen (Mittelbild aller Bilder je Aufnahme)"
}

# vorn / hinten and the person's links / rechts at the edges of a map
# (the image shows the last row at the top).
proc ::vergleich::ausrichtung {c x y breite hoehe} {
    variable kal
    lassign [::kennzahlen::richtungen $kal] links_ist_spalte0 vorn_ist_letzte
    set oben [expr {$vorn_ist_letzte ? "vorn" : "hinten"}]
    set unten [expr {$vorn_ist_letzte ? "hinten" : "vorn"}]
    set links [expr {$links_ist_spalte0 ? "links" : "rechts"}]
    set rechts [expr {$links_ist_spalte0 ? "rechts" : "links"}]
    set mx [expr {$x + $breite / 2}]
    $c create text $mx [expr {$y + 2}] -anchor n -text $oben -font vergleich_winzig -fill white
    $c create text $mx [expr {$y + $hoehe - 2}] -anchor s -text $unten -font vergleich_winzig -fill white
    # the person's sides under the map's corners (its edges may be white)
    $c create text $x [expr {$y + $hoehe + 2}] -anchor nw -text "$links (Person)" -font vergleich_winzig
    $c create text [expr {$x + $breite}] [expr {$y + $hoehe + 2}] -anchor ne -text "$rechts (Person)" \
        -font vergleich_winzig
}

# A legend bar of colours (bottom to top) from von to bis (raw), labelled
# in the view's pressure unit.
proc ::vergleich::legende {c x y hoehe farben von bis titel} {
    variable kal
    set n [llength $farben]
    for {set i 0} {$i < $hoehe} {incr i} {
        set f [lindex $farben [expr {int(double($i) / $hoehe * $n)}]]
        set yy [expr {$y + $hoehe - 1 - $i}]
        $c create rectangle $x $yy [expr {$x + 16}] [expr {$yy + 1}] -fill $f -outline ""
    }
    $c create rectangle $x $y [expr {$x + 16}] [expr {$y + $hoehe}] -outline black
    foreach anteil {0 0.5 1} {
        set roh [expr {$von + $anteil * ($bis - $von)}]
        set w [expr {$roh < 0 ? -[::kalibrierung::druck_von_roh $kal [expr {-$roh}]]
                     : [::kalibrierung::druck_von_roh $kal $roh]}]
        set yy [expr {$y + $hoehe - round($anteil * $hoehe)}]
        $c create line [expr {$x + 16}] $yy [expr {$x + 20}] $yy
        $c create text [expr {$x + 22}] $yy -anchor w -font vergleich_winzig \
            -text [zahl druck $w [expr {$von < 0}]]
    }
    $c create text $x [expr {$y + $hoehe + 4}] -anchor nw -font vergleich_winzig -text $titel
}

# ---------------------------------------------------------------------------
# The export and the report

proc ::vergleich::csv_text {} {
    package require csv
    variable zeilen
    set text [csv::join {kennzahl einheit a b aenderung aenderung_prozent}]\n
    foreach zeile $zeilen {
        lassign $zeile name art wa wb
        lassign [aenderung $wa $wb] d p
        set e [expr {$art eq "prozent" ? "%" : [einheit $art]}]
        append text [csv::join [list $name $e $wa $wb $d $p]] \n
    }
    return $text
}

proc ::vergleich::json_text {} {
    variable zeilen
    variable a
    variable b
    variable kal
    variable opt
    variable skala
    variable dmax
    set zeilen_json {}
    foreach zeile $zeilen {
        lassign $zeile name art wa wb
        lassign [aenderung $wa $wb] d p
        set e [expr {$art eq "prozent" ? "%" : [einheit $art]}]
        lappend zeilen_json [::json::write object kennzahl [::json::write string $name] \
            einheit [::json::write string $e] a [json_zahl $wa] b [json_zahl $wb] \
            aenderung [json_zahl $d] aenderung_prozent [json_zahl $p]]
    }
    set seiten {}
    foreach s [list $a $b] {
        lappend seiten [::json::write object name [::json::write string [dict get $s name]] \
            quelle [::json::write string [dict get $s quelle]] \
            bilder [llength [dict get $s bilder]]]
    }
    set differenz [lmap wa [dict get $a mittel] wb [dict get $b mittel] {expr {$wb - $wa}}]
    ::json::write object \
        klient [::json::write string $opt(-klient)] \
        kalibrierung [expr {[dict size $kal] ? [::json::write string [dict get $kal name]] : "null"}] \
        einheiten [::json::write object {*}[concat {*}[lmap {art e} [dict get $a k einheiten] {
            list $art [::json::write string $e]}]]] \
        a [lindex $seiten 0] b [lindex $seiten 1] \
        skala_roh $skala differenz_skala_roh $dmax \
        differenz_min_roh [tcl::mathfunc::min {*}$differenz] \
        differenz_max_roh [tcl::mathfunc::max {*}$differenz] \
        zeilen [::json::write array {*}$zeilen_json] \
        notizen [::json::write string $opt(-notizen)]
}

proc ::vergleich::json_zahl {w} {
    expr {[string is double -strict $w] ? $w : "null"}
}

# The page as PostScript through the canvas, made a one-page A4 PDF by
# ghostscript's ps2pdf.
proc ::vergleich::bericht {pdf} {
    variable seite_breite
    variable seite_hoehe
    set ps [file rootname $pdf].ps
    set schriften {}
    foreach name [font names] {
        if {[string match vergleich_* $name]} {
            set weight [expr {[font configure $name -weight] eq "bold" ? "-Bold" : ""}]
            lappend schriften $name [list Helvetica$weight [font configure $name -size]]
        }
    }
    array set schriftenfeld $schriften
    .seite postscript -file $ps -colormode color -fontmap schriftenfeld -x 0 -y 0 -width $seite_breite \
        -height $seite_hoehe -pagewidth 200m -pageanchor c -pagex 105m -pagey 148.5m
    try {
        # images as objects of their own, not inline (poppler misreads the end
        # of inline binary image data that happens to hold "EI")
        exec ps2pdf -sPAPERSIZE=a4 -dAutoRotatePages=/None -dMaxInlineImageSize=0 $ps $pdf 2>@1
    } on error {meldung} {
        error "PDF nicht geschrieben (ps2pdf aus ghostscript): $meldung"
    } finally {
        file delete $ps
    }
}

proc ::vergleich::schreiben {dir} {
    file mkdir $dir
    ::ausgabe::datei_schreiben [file join $dir vergleich.csv] [csv_text]
    ::ausgabe::datei_schreiben [file join $dir vergleich.json] [json_text]
    set f [open [file join $dir differenz.jpg] wb]
    puts -nonewline $f $::vergleich::differenz_jpeg
    close $f
    bericht [file join $dir bericht.pdf]
    if {$::vergleich::opt(-foto) ne ""} {
        ::gemeinsam::foto_schreiben $::vergleich::opt(-foto) .
    }
}

# Stores both recordings in the archive (only with -archivieren 1).
proc ::vergleich::archivieren {} {
    variable a
    variable b
    variable opt
    variable kal
    set zeit [clock format [clock seconds] -format {%Y-%m-%d %H:%M:%S}]
    mit_archiv {
        foreach s [list $a $b] titel {vorher nachher} {
            if {[dict size [dict get $s sitzung]]} continue
            set kal_text ""
            if {[dict size $kal]} {
                set f [open $opt(-kalibrierung) r]
                set kal_text [read $f]
                close $f
            }
            set kennzahlen [dict filter [dict get $s kennzahlen] script {n w} {
                expr {$n ni {gruende plus}}}]
            ::archiv::speichern $::vergleich::archiv [dict create \
                klient [expr {$opt(-klient) eq "" ? "ohne Namen" : $opt(-klient)}] \
                titel "$titel: [dict get $s name]" zeitpunkt $zeit notizen $opt(-notizen) \
                kalibrierung_name [expr {[dict size $kal] ? [dict get $kal name] : ""}] \
                kalibrierung $kal_text zeilen [dict get $s n_y] spalten [dict get $s n_x] \
                periode_ms [dict get $s k periode] \
                bilder [lmap bild [dict get $s bilder] {
                    lassign $bild - - werte maske
                    lmap w $werte m $maske {expr {$m ? -1 : $w}}}] \
                zonen [lmap z [dict get $s zonen] {
                    lassign [dict get $z bereich] z0 s0 z1 s1
                    dict create name [dict get $z name] zeile0 $z0 spalte0 $s0 zeile1 $z1 spalte1 $s1 \
                        kennzahlen [dict filter $z key anteil spitze mittel]}] \
                kennzahlen $kennzahlen]
        }
    }
}

proc ::vergleich::main {argv} {
    variable opt
    variable seite_breite
    variable seite_hoehe
    ttk::label .m -textvariable ::anpassung::meldung -padding 12
    if {[catch {
        argumente $argv
        set ::anpassung::opt(-export) $opt(-export)
        set ::anpassung::opt(-build) $opt(-build)
        ::anpassung::pakete
        if {$opt(-kalibrierung) ne ""} {
            variable kal [::kalibrierung::lesen $opt(-kalibrierung)]
        }
        if {[llength $::vergleich::quellen] != 2} {
            error "-vergleich erwartet zwei Aufnahmen: a b"
        }
        rechnen
    } fehler]} {
        pack .m
        ::anpassung::melde $fehler fehler
        return
    }
    destroy .m
    wm title . "Vergleich vorher / nachher"
    # the page's fonts, Helvetica in its PostScript
    foreach {name groesse gewicht} {gross 20 bold mittel 12 bold klein 11 normal winzig 9 normal} {
        font create vergleich_$name -family Helvetica -size $groesse -weight $gewicht
    }
    canvas .seite -width $seite_breite -height $seite_hoehe -background white \
        -highlightthickness 0 -scrollregion [list 0 0 $seite_breite $seite_hoehe] \
        -yscrollcommand {.rollen set}
    ttk::scrollbar .rollen -command {.seite yview}
    ttk::frame .unten
    ttk::button .unten.pdf -text "Bericht als PDF \u2026" -command ::vergleich::pdf_waehlen
    ttk::label .unten.meldung -textvariable ::anpassung::meldung
    pack .unten.pdf -side left -padx 6 -pady 4
    pack .unten.meldung -side left -padx 6
    pack .unten -side bottom -fill x
    pack .rollen -side right -fill y
    pack .seite -side left -fill both -expand 1
    bind . <q> {destroy .}
    if {[catch {seite_zeichnen} fehler]} {
        ::anpassung::melde $fehler fehler
        return
    }
    if {$opt(-export) ne ""} {
        update
        if {[catch {
            schreiben $opt(-export)
            if {$opt(-archivieren)} {
                archivieren
            }
        } fehler]} {
            ::anpassung::melde $fehler fehler
        }
        exit 0
    }
    if {$opt(-archivieren) && [catch {archivieren} fehler]} {
        ::anpassung::melde $fehler fehler
    }
}

proc ::vergleich::pdf_waehlen {} {
    set datei [tk_getSaveFile -defaultextension .pdf -initialfile bericht.pdf \
                   -filetypes {{PDF .pdf}}]
    if {$datei ne ""} {
        if {[catch {bericht $datei} fehler]} {
            ::anpassung::melde $fehler fehler
        } else {
            ::anpassung::melde "Bericht geschrieben: $datei"
        }
    }
}
