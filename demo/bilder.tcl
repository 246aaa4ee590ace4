# The pictures of the documentation (make pictures):
#   doc/bilder/bild_<variante>.jpg   the four renderings of the demo, of the
#                                    first frame of the bundled recording u82
#   doc/bilder/kennzahlen_*.jpg      the mean image and a difference image
#                                    of the fifth package, and its scale
#   doc/bilder/station.jpg           the station viewer after 60 frames of
#                                    the generated 64 x 64 sequence
#   doc/bilder/anpassung.jpg         the fitter's view of u82 with the
#                                    example calibration, frame 4
#   doc/bilder/anpassung_fenster.jpg the fitter's view of u136: the mean
#                                    image of frames 2 ... 7, two drawn
#                                    zones and a snapshot from a session
#   doc/bilder/vergleich.jpg         the comparison before / after, and
#   doc/bilder/bericht.jpg           the page of its report
#   tclsh8.6 demo/bilder.tcl ?build-folder?
# The viewer runs in wish8.6 under xvfb-run (Debian: xvfb, xauth), so that
# the picture has the same size and fonts on every machine.
set build [file normalize [expr {[llength $argv] ? [lindex $argv 0] : "build"}]]
set demo_dir [file dirname [file normalize [info script]]]
set ziel [file join $demo_dir .. doc bilder]
file mkdir $ziel
source [file join $demo_dir aufnahme.tcl]

::aufnahme::stationsinterp bild $build
lassign [lindex [::aufnahme::lesen [dict get [::aufnahme::gebuendelt] u82]] 0] n_y n_x werte
foreach {variante optionen kontrast} [::aufnahme::varianten] {
    set datei [file join $ziel bild_$variante.jpg]
    set f [open $datei wb]
    puts -nonewline $f [::aufnahme::variante_jpeg bild $optionen $kontrast $werte $n_y $n_x]
    close $f
    puts "[file normalize $datei]: [file size $datei] Bytes"
}

# The fifth package: the rounded mean of the recording u136 (a stable
# snapshot of the sitting), and the difference of that mean to the mean of
# u82, as of two sessions on the same mat (red: more pressure in u136,
# blue: less), with the scale of the difference image drawn from a ramp
# of cells.
interp create kennzahlen
kennzahlen eval [list lappend auto_path $build]
kennzahlen eval {package require Druckbildkennzahlen}
foreach person {u136 u82} {
    set aufnahme [::aufnahme::lesen [dict get [::aufnahme::gebuendelt] $person]]
    lassign [lindex $aufnahme 0] n_y n_x
    set mittel($person) [kennzahlen eval [list ::druckbild::mittel \
        [lmap b $aufnahme {lindex $b 2}] $n_y $n_x -ganzzahlig]]
}
set rampe [lmap i [lsearch -all [lrepeat 21 x] x] {expr {($i - 10) * 10}}]
foreach {name befehl} [list \
    kennzahlen_mittel [list bild eval [list ::druckbild::jpegdata -grid dotted $mittel(u136) $n_y $n_x]] \
    kennzahlen_differenz [list kennzahlen eval [list ::druckbild::differenzbild $mittel(u82) \
                                                   $mittel(u136) $n_y $n_x -grid dotted]] \
    kennzahlen_skala [list kennzahlen eval [list ::druckbild::differenzbild \
        [lmap v $rampe {expr {$v < 0 ? -$v : 0}}] [lmap v $rampe {expr {$v > 0 ? $v : 0}}] \
        1 21 -resolution 10 -maximum 100]]] {
    set datei [file join $ziel $name.jpg]
    set f [open $datei wb]
    puts -nonewline $f [{*}$befehl]
    close $f
    puts "[file normalize $datei]: [file size $datei] Bytes"
}
interp delete kennzahlen

set datei [file join $ziel station.jpg]
puts [exec xvfb-run -a -s "-screen 0 1280x1024x24" wish8.6 [file join $demo_dir station.tcl] \
          -build $build -aufnahme erzeugt64 -fps 0 -bilder 60 -groesse 860x560 \
          -fenster -foto $datei]
puts "[file normalize $datei]: [file size $datei] Bytes"

# The fitter's view (tklib, tcllib), with the example calibration
set kalibrierung [file join $demo_dir .. data kalibrierung_beispiel.json]
set kanal [file tempfile sitzung anpassung_sitzung.json]
puts $kanal {{"fenster": {"von": 2, "bis": 7},
  "zonen": [{"name": "Sitzbeinh\u00f6cker", "bereich": [1, 2, 4, 7]},
            {"name": "Oberschenkel", "bereich": [6, 2, 10, 7]}],
  "schnappschuesse": [{"name": "ruhig sitzend", "von": 2, "bis": 7, "zeigen": "mittel", "bild": 2}]}}
close $kanal
foreach {name optionen} [list \
        anpassung [list -aufnahme u82 -zeigen bild -bild 4] \
        anpassung_fenster [list -aufnahme u136 -zeigen mittel -sitzung $sitzung]] {
    set datei [file join $ziel $name.jpg]
    exec xvfb-run -a -s "-screen 0 1280x1024x24" wish8.6 [file join $demo_dir anpassung.tcl] \
        -build $build -kalibrierung $kalibrierung {*}$optionen -foto $datei
    puts "[file normalize $datei]: [file size $datei] Bytes"
}
file delete $sitzung

# The comparison before / after of u125 (A) and u134 (B) with the example
# calibration, as the window shows it, and its report page (ps2pdf, then
# pdftoppm; Debian: ghostscript, poppler-utils).
set vergleich [file join $build vergleich_bild]
set gebuendelt [::aufnahme::gebuendelt]
exec xvfb-run -a -s "-screen 0 1280x1600x24" wish8.6 [file join $demo_dir anpassung.tcl] \
    -build $build -kalibrierung [file join $demo_dir .. data kalibrierung_beispiel.json] \
    -klient "Frau Beispiel" -notizen "Sattel 5 mm tiefer und 2 Grad nach vorn geneigt." \
    -vergleich [dict get $gebuendelt u125] [dict get $gebuendelt u134] \
    -export $vergleich -foto [file join $ziel vergleich.jpg]
exec pdftoppm -jpeg -jpegopt quality=85 -r 70 -singlefile [file join $vergleich bericht.pdf] \
    [file join $ziel bericht]
foreach name {vergleich.jpg bericht.jpg} {
    set datei [file join $ziel $name]
    puts "[file normalize $datei]: [file size $datei] Bytes"
}
