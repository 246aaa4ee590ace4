# The fitter's view (demo/anpassung.tcl) in a real Tk host: its headless
# export on bundled, generated and made-up recordings, with and without a
# calibration, read back with tcllib's json and csv and checked against
# Druckbildkennzahlen and Druckbildanalyse called here directly:
#   - every figure of every frame, of the window's mean image and of the
#     zones; the four zones' shares add up to 100;
#   - without a calibration no "kPa", "mmHg" or "cm" in the export's texts;
#   - a gain g multiplies every pressure figure by exactly g; a table that
#     is the same line gives the same figures;
#   - a calibration of another size is refused, as is a session zone off
#     the mat; a session's zone is figured like the default ones;
#   - std+ measurable on every frame of the generated sequences, not on
#     frame 8 of u125;
#   - in ansicht.png, the legend's colour at a value's level is the colour
#     of the centre pixel of a block of cells of that value, and that is
#     the package's colour scale; 51 on a scale fixed at 86 is not red.
# Runs in wish8.6 under Xvfb (anpassung_xvfb.sh); exit 0 when every check
# holds, 1 when one fails, 77 (skipped) without Img, tklib or tcllib.
#   wish8.6 anpassung_export.tcl source-folder build-folder
lassign $argv quelle build
set build [file normalize $build]
wm withdraw .
foreach p {img::png json csv Plotchart tablelist tooltip canvas::edit::rectangle math::statistics} {
    if {[catch {package require $p} fehler]} {
        puts "SKIP: $p fehlt ($fehler; Debian-Pakete libtk-img, tklib, tcllib)"
        exit 77
    }
}
lappend auto_path $build
package require Druckbildanalyse
package require Druckbildkennzahlen
package require Kalvora
source [file join $quelle demo aufnahme.tcl]

source [file join $quelle tests tk pruefung.tcl]

set tmp [file join [pwd] anpassung_export]
file delete -force $tmp
file mkdir $tmp
proc schreibe {datei text} {
    set f [open $datei w]
    fconfigure $f -encoding utf-8
    puts -nonewline $f $text
    close $f
}

# One export: the view's exit status and message, and the read-back
# files (rows of bilder.csv as dicts column -> value, the summary as a
# dict).  args: options and recording.
proc export {name args} {
    set dir [file join $::tmp $name]
    set status [catch {exec [info nameofexecutable] [file join $::quelle demo anpassung.tcl] \
                           -build $::build {*}$args -export $dir 2>@1} meldung]
    if {$status} {
        return [list status 1 meldung [lindex [split $meldung \n] 0]]
    }
    set zeilen [split [string trimright [lies [file join $dir bilder.csv]] \n] \n]
    set kopf [::csv::split [lindex $zeilen 0]]
    set bilder {}
    foreach z [lrange $zeilen 1 end] {
        set werte [::csv::split $z]
        if {[llength $werte] != [llength $kopf]} {
            error "$name: Zeile mit [llength $werte] Werten statt [llength $kopf]"
        }
        set d [dict create]
        foreach s $kopf w $werte {dict set d $s $w}
        lappend bilder $d
    }
    list status 0 meldung $meldung dir $dir kopf $kopf bilder $bilder \
        json [::json::json2dict [lies [file join $dir zusammenfassung.json]]] \
        texte "[lies [file join $dir bilder.csv]][lies [file join $dir zusammenfassung.json]]"
}

set u125 [file join $quelle data seated cabseat_u125_bef74db6_seat12x10.txt]
set beispiel [file join $quelle data kalibrierung_beispiel.json]
set frames [::aufnahme::lesen $u125]

# calibrations: a gain of 0.37 kPa (saturating at 60), a table of one line of
# 0.2 kPa per raw unit, the example's gain of 0.2, and one of 16 x 16 cells
proc kalibrierung {name druck args} {
    set d [dict create name "\"$name\"" zeilen 12 spalten 10 rasterweite_mm {{"x": 45, "y": 38}} \
               druck $druck saettigung_roh 255 vorn {"letzte_zeile"} links {"spalte_0"} {*}$args]
    set datei [file join $::tmp $name.json]
    schreibe $datei "{[join [lmap {s w} $d {string cat \"$s\": " " $w}] {, }]}"
    return $datei
}
set k_gain [kalibrierung gain {{"verstaerkung_kPa": 0.37}} saettigung_roh 60]
set k_tabelle [kalibrierung tabelle {{"tabelle_kPa": [[0, 0], [100, 20]]}}]
set k_linie [kalibrierung linie {{"verstaerkung_kPa": 0.2}}]
set k_gross [kalibrierung gross {{"verstaerkung_kPa": 0.2}} zeilen 16 spalten 16]

set roh [export roh $u125]
set gain [export gain -kalibrierung $k_gain $u125]
set tabelle [export tabelle -kalibrierung $k_tabelle $u125]
set linie [export linie -kalibrierung $k_linie $u125]
set kal [export kal -kalibrierung $beispiel -fenster 3-6 $u125]
foreach e {roh gain tabelle linie kal} {
    pruefe "export $e: exit 0 [string range [dict get [set $e] meldung] 0 200]" \
        {[dict get [set $e] status] == 0}
}
if {$fehler} {exit 1}

# --- every figure of every frame against the package
set g 0.37
set px 45
set py 38
set abweichungen 0
set geprueft 0
proc gleich {a b} {
    incr ::geprueft
    if {$a eq "" && $b eq ""} {return 1}
    if {$a eq "" || $b eq "" || $a != $b} {
        incr ::abweichungen
        if {$::abweichungen <= 5} {puts "       $a != $b"}
        return 0
    }
    return 1
}
foreach frame $frames zr [dict get $roh bilder] zg [dict get $gain bilder] {
    lassign $frame n_y n_x werte
    set s [::druckbild::statistik $werte $n_y $n_x]
    dict with s {}
    gleich [dict get $zr spitze_roh] $spitze
    gleich [dict get $zr mittel_roh] $mittel
    gleich [dict get $zr ppi_roh] $ppi
    gleich [dict get $zr flaeche_Zellen] $zellen
    gleich [dict get $zr last_roh] $summe
    gleich [dict get $zr links_prozent] $anteil_links
    gleich [dict get $zr vorn_prozent] $anteil_oben
    gleich [dict get $zr cop_quer_Zellen] [expr {$schwerpunkt_x - 4.5}]
    gleich [dict get $zr cop_laengs_Zellen] [expr {$schwerpunkt_y - 5.5}]
    gleich [dict get $zr vk] $variationskoeffizient
    set std [::druckbild::analyse std $werte $n_y $n_x]
    gleich [dict get $zr abstand_std_Zellen] [expr {hypot([dict get $std schwerpunkt2_x] - [dict get $std schwerpunkt1_x],
                                                          [dict get $std schwerpunkt2_y] - [dict get $std schwerpunkt1_y])}]
    # calibrated: the same cells in kPa, N, cm2, mm
    gleich [dict get $zg spitze_kPa] [expr {$spitze * $g}]
    gleich [dict get $zg mittel_kPa] [expr {$mittel * $g}]
    gleich [dict get $zg ppi_kPa] [expr {$ppi * $g}]
    gleich [dict get $zg spitze_mmHg] [expr {$spitze * $g * 1000.0 / 133.322}]
    gleich [dict get $zg flaeche_cm2] [expr {$zellen * $px * $py / 100.0}]
    gleich [dict get $zg last_N] [expr {$summe * $g * $px * $py / 1000.0}]
    gleich [dict get $zg cop_quer_mm] [expr {($schwerpunkt_x - 4.5) * $px}]
    gleich [dict get $zg cop_laengs_mm] [expr {($schwerpunkt_y - 5.5) * $py}]
    gleich [dict get $zg links_prozent] $anteil_links
    gleich [dict get $zg abstand_std_mm] [expr {hypot(([dict get $std schwerpunkt2_x] - [dict get $std schwerpunkt1_x]) * $px,
                                                       ([dict get $std schwerpunkt2_y] - [dict get $std schwerpunkt1_y]) * $py)}]
    gleich [dict get $zg bewertung] [::druckbild::kalvora $werte $n_y $n_x [lindex $frame 3]]
    # cells at or above the saturation of 60
    gleich [dict get $zg gesaettigt_zellen] [dict get [::druckbild::statistik $werte $n_y $n_x -schwelle 59] zellen]
}
pruefe "figures of the [llength $frames] frames (raw and calibrated) equal to the package's:\
    $abweichungen of $geprueft differ" {$abweichungen == 0 && $geprueft > 100}

# --- the window's mean image (frames 3 ... 6 of the example) and its zones
set abweichungen 0
set geprueft 0
set j [dict get $kal json]
pruefe "window 3 ... 6 in the summary" {[dict get $j fenster von] == 3 && [dict get $j fenster bis] == 6}
set mittelbild [::druckbild::mittel [lmap f [lrange $frames 2 5] {lindex $f 2}] 12 10 -ganzzahlig]
set s [::druckbild::statistik $mittelbild 12 10]
set m [dict get $j kennzahlen mittelbild]
gleich [dict get $m spitze_kPa] [expr {[dict get $s spitze] * 0.2}]
gleich [dict get $m mittel_kPa] [expr {[dict get $s mittel] * 0.2}]
gleich [dict get $m ppi_kPa] [expr {[dict get $s ppi] * 0.2}]
gleich [dict get $m flaeche_cm2] [expr {[dict get $s zellen] * 48 * 40 / 100.0}]
gleich [dict get $m vorn_prozent] [dict get $s anteil_oben]
set spitzen [lmap z [lrange [dict get $kal bilder] 2 5] {dict get $z spitze_kPa}]
gleich [dict get $j kennzahlen bilder spitze_kPa mittel] [::math::statistics::mean $spitzen]
gleich [dict get $j kennzahlen bilder spitze_kPa sd] [::math::statistics::stdev $spitzen]
foreach zone [dict get $j zonen] {
    dict with zone bereich {}
    set z [::druckbild::statistik $mittelbild 12 10 -bereich [list $zeile0 $spalte0 $zeile1 $spalte1]]
    gleich [dict get $zone anteil_prozent] [expr {100.0 * [dict get $z summe] / [dict get $s summe]}]
    gleich [dict get $zone spitze_kPa] [expr {[dict get $z spitze] * 0.2}]
    gleich [dict get $zone mittel_kPa] [expr {[dict get $z mittel] * 0.2}]
}
pruefe "mean image, its zones, mean and SD of the frames' peaks equal to the package's:\
    $abweichungen of $geprueft differ" {$abweichungen == 0 && $geprueft == 19}
pruefe "four default zones: [lmap z [dict get $j zonen] {dict get $z name}]" {[llength [dict get $j zonen]] == 4}

# --- the four zones' shares add up to 100
foreach e {roh gain kal} {
    set summe 0.0
    foreach zone [dict get [set $e] json zonen] {
        set summe [expr {$summe + [dict get $zone anteil_prozent]}]
    }
    pruefe "$e: zone shares add up to [format %.15g $summe]" {abs($summe - 100) <= 1e-9}
}

# --- units: none of the calibrated ones without a calibration
foreach wort {kPa mmHg cm} {
    pruefe "no \"$wort\" in the uncalibrated export" {[string first $wort [dict get $roh texte]] < 0}
}
# ... nor on screen: every text of the uncalibrated window (labels, buttons,
# entries, tables, canvas texts of the map, legend and plots, tooltips),
# collected by a child that runs the view without -export (with the
# example calibration, they are there)
set sammler [file join $tmp bildschirm.tcl]
schreibe $sammler [string map [list QUELLE [list $quelle] BUILD [list $build]] {
    set argv [list -build BUILD {*}$argv]
    source [file join QUELLE demo anpassung.tcl]
    update
    set texte {}
    proc sammle {w} {
        foreach o {-text -textvariable -values} {
            if {![catch {$w cget $o} v] && $v ne ""} {
                if {$o ne "-textvariable"} {
                    lappend ::texte $v
                } elseif {[info exists $v]} {
                    lappend ::texte [set $v]
                }
            }
        }
        switch -- [winfo class $w] {
            Canvas {
                foreach i [$w find all] {
                    if {[$w type $i] eq "text"} {lappend ::texte [$w itemcget $i -text]}
                }
            }
            Tablelist {
                lappend ::texte [$w get 0 end]
                for {set c 0} {$c < [$w columncount]} {incr c} {lappend ::texte [$w columncget $c -title]}
            }
        }
        foreach kind [winfo children $w] {sammle $kind}
    }
    sammle .
    lappend texte {*}$::ansicht::hilfen [array get ::tooltip::tooltip]
    puts [encoding convertto utf-8 [join $texte \n]]
    exit
}]
set bildschirm [encoding convertfrom utf-8 [exec [info nameofexecutable] $sammler $u125]]
set kalibriert [encoding convertfrom utf-8 [exec [info nameofexecutable] $sammler \
                                                -kalibrierung $beispiel $u125]]
foreach wort {kPa mmHg cm} {
    pruefe "no \"$wort\" on the uncalibrated screen ([string length $bildschirm] characters of\
        text), but on the calibrated one" \
        {[string first $wort $bildschirm] < 0 && [string first Spitzendruck $bildschirm] >= 0
         && [string first $wort $kalibriert] >= 0}
}
pruefe "the calibrated export names kPa, mmHg, cm2" \
    {[string first spitze_kPa [dict get $gain texte]] >= 0 && [string first mmHg [dict get $gain texte]] >= 0
     && [string first flaeche_cm2 [dict get $gain texte]] >= 0}
pruefe "units in the summary: [dict get $gain json einheiten]" \
    {[dict get $gain json einheiten druck] eq "kPa" && [dict get $roh json einheiten druck] eq "roh"}

# --- a gain g multiplies every pressure figure by exactly g
set abweichungen 0
set geprueft 0
foreach zr [dict get $roh bilder] zg [dict get $gain bilder] {
    foreach s {spitze mittel ppi} {
        gleich [dict get $zg ${s}_kPa] [expr {[dict get $zr ${s}_roh] * $g}]
    }
}
foreach s {spitze mittel ppi} {
    gleich [dict get $gain json kennzahlen mittelbild ${s}_kPa] \
        [expr {[dict get $roh json kennzahlen mittelbild ${s}_roh] * $g}]
}
foreach zr [dict get $roh json zonen] zg [dict get $gain json zonen] {
    gleich [dict get $zg spitze_kPa] [expr {[dict get $zr spitze_roh] * $g}]
    gleich [dict get $zg mittel_kPa] [expr {[dict get $zr mittel_roh] * $g}]
}
pruefe "gain $g: every pressure figure exactly $g times the raw one, $abweichungen of $geprueft differ" \
    {$abweichungen == 0 && $geprueft > 30}
# a table of the same line: the same figures up to rounding
set groesste 0.0
foreach zt [dict get $tabelle bilder] zl [dict get $linie bilder] {
    foreach s {spitze_kPa mittel_kPa ppi_kPa last_N links_prozent vk} {
        set groesste [expr {max($groesste, abs([dict get $zt $s] - [dict get $zl $s]) / max(1e-300, abs([dict get $zl $s])))}]
    }
}
pruefe "a table of 0.2 kPa per raw unit gives the gain's figures (largest relative difference $groesste)" \
    {$groesste < 1e-12}

# --- refusals
set gross [export gross -kalibrierung $k_gross $u125]
pruefe "a calibration of 16 x 16 cells refused: [dict get $gross meldung]" \
    {[dict get $gross status] == 1 && [string match "*gilt f\u00fcr 16 \u00d7 16 Zellen, die Aufnahme hat 12 \u00d7 10*" [dict get $gross meldung]]}
set falsch [file join $tmp falsch.json]
schreibe $falsch {{"name": "x", "zeilen": 12}}
set e [export falsch -kalibrierung $falsch $u125]
pruefe "an incomplete calibration refused: [dict get $e meldung]" \
    {[dict get $e status] == 1 && [string match "*Feld spalten fehlt*" [dict get $e meldung]]}
set sitzung [file join $tmp sitzung.json]
schreibe $sitzung {{"fenster": {"von": 1, "bis": 8}, "schnappschuesse": [],
    "zonen": [{"name": "Kante", "bereich": [0, 0, 12, 2]}]}}
set e [export sitzung_falsch -sitzung $sitzung $u125]
pruefe "a session zone off the mat refused: [dict get $e meldung]" \
    {[dict get $e status] == 1 && [string match "*liegt nicht auf der Matte*" [dict get $e meldung]]}
schreibe $sitzung {{"fenster": {"von": 2, "bis": 4}, "schnappschuesse": [{"name": "a", "von": 1, "bis": 2, "zeigen": "bild", "bild": 2}],
    "zonen": [{"name": "Kante", "bereich": [0, 2, 11, 3]}]}}
set e [export sitzung -sitzung $sitzung $u125]
set zonen [dict get $e json zonen]
set mittelbild [::druckbild::mittel [lmap f [lrange $frames 1 3] {lindex $f 2}] 12 10 -ganzzahlig]
set z [::druckbild::statistik $mittelbild 12 10 -bereich {0 2 11 3}]
pruefe "a session's zone beside the four default zones, and its window:\
    [dict get [lindex $zonen 4] name], share [dict get [lindex $zonen 4] anteil_prozent]" \
    {[llength $zonen] == 5 && [dict get $e json fenster von] == 2 &&
     [dict get [lindex $zonen 4] anteil_prozent] == 100.0 * [dict get $z summe] / [dict get [::druckbild::statistik $mittelbild 12 10] summe]}

# --- the sit-bone flag
foreach n {32 64} {
    set e [export erzeugt$n -aufnahme erzeugt$n]
    set nicht [lsearch -all -exact [lmap z [dict get $e bilder] {dict get $z stdplus_messbar}] 0]
    pruefe "erzeugt$n: std+ measurable on all [llength [dict get $e bilder]] frames (not on: $nicht)" \
        {[llength [dict get $e bilder]] == 100 && [llength $nicht] == 0}
    foreach wort {kPa mmHg cm} {
        if {[string first $wort [dict get $e texte]] >= 0} {
            pruefe "erzeugt$n: \"$wort\" in the uncalibrated export" 0
        }
    }
}
set z8 [lindex [dict get $roh bilder] 7]
pruefe "u125 frame 8: std+ not measurable ([dict get $z8 stdplus_gruende])" \
    {[dict get $z8 stdplus_messbar] == 0 && [dict get $z8 abstand_plus_Zellen] eq ""
     && [string match "*auf der Seite rechts*" [dict get $z8 stdplus_gruende]]}
set nicht [dict get $roh json sitzknochen bilder_nicht_messbar]
pruefe "the summary names frame 8 among those not measurable, with its reasons" \
    {[lsearch -exact [lmap b $nicht {dict get $b bild}] 8] >= 0}

# --- sha256 and versions
package require sha256
::sha2::LoadAccelerator tcl
::sha2::SwitchTo tcl
pruefe "the recording's SHA-256 in the summary" \
    {[dict get $roh json aufnahme sha256] eq [::sha2::sha256 -hex -file $u125]}
pruefe "package versions in the summary" \
    {[dict get $roh json pakete Druckbildkennzahlen] eq [package present Druckbildkennzahlen]}

# --- colours: a recording of two frames, 86 in the first, blocks of 5 x 5
# cells of 51 and 20 in the second, which is shown.  The centres of the
# inner 3 x 3 cells of a block have the block's value; the markers drawn
# over the map may cover two of them.
set leer [lrepeat 120 0]
proc block {werte zeile spalte wert} {
    for {set r $zeile} {$r < $zeile + 5} {incr r} {
        for {set c $spalte} {$c < $spalte + 5} {incr c} {
            lset werte [expr {$r * 10 + $c}] $wert
        }
    }
    return $werte
}
set datei [file join $tmp farben.txt]
set f [open $datei w]
foreach werte [list [block $leer 4 4 86] [block [block $leer 1 0 51] 6 5 20]] {
    for {set r 11} {$r >= 0} {incr r -1} {
        puts $f [format "%2d:%s" $r [join [lmap w [lrange $werte [expr {$r * 10}] [expr {$r * 10 + 9}]] {format " %3d" $w}] ""]]
    }
}
close $f
set e [export farben -zeigen bild -bild 2 $datei]
pruefe "colour export: exit 0 [string range [dict get $e meldung] 0 200]" {[dict get $e status] == 0}
set a [dict get $e json ansicht]
set bild [image create photo -file [file join [dict get $e dir] ansicht.png] -format png]
set farbskala [::druckbild::farbskala 256]
pruefe "scale fixed at the recording's peak: [dict get $e json skala maximum_roh]" \
    {[dict get $e json skala maximum_roh] == 86 && [dict get $a legende stufen] == 256}
proc rgb {hex} {
    scan $hex #%2x%2x%2x r g b
    list $r $g $b
}
proc nah {a b toleranz} {
    foreach x $a y $b {
        if {abs($x - $y) > $toleranz} {return 0}
    }
    return 1
}
foreach {wert zeile0 spalte0} {51 2 1 20 7 6} {
    dict with a karte {}
    # the renderer's level of the value on the scale of 86
    set stufe [expr {int($wert * (255.0 / 86))}]
    set legende [$bild get [dict get $a legende x] [expr {[dict get $a legende y_stufe0] - $stufe}]]
    set soll [rgb [lindex $farbskala $stufe]]
    set gleich 0
    set rote 0
    set zellen {}
    for {set zeile $zeile0} {$zeile < $zeile0 + 3} {incr zeile} {
        for {set spalte $spalte0} {$spalte < $spalte0 + 3} {incr spalte} {
            set x [expr {int(round($x0 + $rand + ($spalte + 0.5) * $aufloesung))}]
            set y [expr {int(round($y0 + $rand + (12 - 0.6 - $zeile) * $aufloesung))}]
            set zelle [$bild get $x $y]
            lappend zellen $zelle
            incr gleich [nah $zelle $legende 12]
            lassign $zelle r gr b
            incr rote [expr {$r >= 200 && $gr <= 120 && $b <= 80}]
        }
    }
    pruefe "value $wert (level $stufe): legend $legende, colour scale $soll, $gleich of 9 cell\
        centres alike ([lsort -unique $zellen])" {$gleich >= 7 && $legende eq $soll}
    if {$wert == 51} {
        pruefe "51 on a scale fixed at 86 not red: $rote of 9 cell centres red" {$rote == 0 && $gleich >= 7}
    }
}
exit [expr {$fehler > 0}]
