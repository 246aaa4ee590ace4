# The comparison before / after (demo/vergleich.tcl through demo/anpassung.tcl
# -vergleich a b -export DIR) in a real Tk host, its files read back with
# tcllib's csv and json and the report's PDF with poppler's pdftotext:
#   - a recording compared with itself: every change 0, the difference map
#     all neutral, its extremes 0;
#   - A against B = A + 10 on the loaded cells of one zone: +10 on that
#     zone's peak and mean, 0 on those of every other zone, the difference
#     between 0 and 10;
#   - the PDF is one A4 page whose text holds the client, the units, the
#     notes and every row of the table with the values of vergleich.csv;
#   - without a calibration no "kPa", "mmHg" or "cm" in the files;
#   - recordings of different sizes are refused; the archive is touched
#     only with -archivieren, and its sessions compare as the files did.
# Runs in wish8.6 under Xvfb (station_xvfb.sh); exit 0 when every check
# holds, 1 when one fails, 77 (skipped) without Img, tcllib, tklib or
# poppler-utils.
#   wish8.6 vergleich_export.tcl source-folder build-folder
lassign $argv quelle build
set build [file normalize $build]
wm withdraw .
foreach p {img::jpeg json csv Plotchart tablelist tooltip canvas::edit::rectangle math::statistics} {
    if {[catch {package require $p} fehler]} {
        puts "SKIP: $p fehlt ($fehler; Debian-Pakete libtk-img, tklib, tcllib)"
        exit 77
    }
}
foreach programm {pdftotext pdfinfo ps2pdf} {
    if {[auto_execok $programm] eq ""} {
        puts "SKIP: $programm fehlt (Debian-Pakete poppler-utils, ghostscript)"
        exit 77
    }
}
lappend auto_path $build
package require Druckbildkennzahlen
source [file join $quelle demo aufnahme.tcl]

source [file join $quelle tests tk pruefung.tcl]

set tmp [file join [pwd] vergleich_export]
file delete -force $tmp
file mkdir $tmp
proc schreibe_aufnahme {datei bilder} {
    set f [open $datei w]
    foreach bild $bilder {
        lassign $bild n_y n_x werte maske
        for {set r [expr {$n_y - 1}]} {$r >= 0} {incr r -1} {
            set zeile {}
            for {set c 0} {$c < $n_x} {incr c} {
                set i [expr {$r * $n_x + $c}]
                lappend zeile [expr {[lindex $maske $i] ? -1 : [lindex $werte $i]}]
            }
            puts $f "$r: $zeile"
        }
    }
    close $f
}

# One comparison: exit status and message, the table's rows as dicts, the
# summary, the PDF's text.  The archive of the user's data folder is one
# of the test's (XDG_DATA_HOME).
proc vergleich {name a b args} {
    set dir [file join $::tmp $name]
    set status [catch {exec env XDG_DATA_HOME=[file join $::tmp xdg] [info nameofexecutable] \
        [file join $::quelle demo anpassung.tcl] -build $::build {*}$args \
        -vergleich $a $b -export $dir 2>@1} meldung]
    if {$status} {
        return [list status 1 meldung [lindex [split $meldung \n] 0]]
    }
    set zeilen [split [string trimright [lies [file join $dir vergleich.csv]] \n] \n]
    set kopf [::csv::split [lindex $zeilen 0]]
    set tabelle {}
    foreach z [lrange $zeilen 1 end] {
        set d [dict create]
        foreach s $kopf w [::csv::split $z] {dict set d $s $w}
        lappend tabelle $d
    }
    set pdf [file join $dir bericht.pdf]
    list status 0 meldung $meldung dir $dir kopf $kopf tabelle $tabelle \
        json [::json::json2dict [lies [file join $dir vergleich.json]]] \
        texte "[lies [file join $dir vergleich.csv]][lies [file join $dir vergleich.json]]" \
        pdf [exec pdftotext -layout $pdf -] seiten [lindex [regexp -inline {Pages:\s+(\d+)} [exec pdfinfo $pdf]] 1] \
        a4 [regexp {Page size:\s+595 x 842 pts \(A4\)} [exec pdfinfo $pdf]]
}

set u125 [file join $quelle data seated cabseat_u125_bef74db6_seat12x10.txt]
set u134 [file join $quelle data seated cabseat_u134_d3271105_seat12x10.txt]
set beispiel [file join $quelle data kalibrierung_beispiel.json]

# --- a recording with itself
set selbst [vergleich selbst $u125 $u125 -kalibrierung $beispiel -klient "Frau Prüfung" \
                -notizen "Sattel 5 mm tiefer"]
pruefe "selbst: exit 0 [dict get $selbst meldung]" {[dict get $selbst status] == 0}
set null 1
foreach z [dict get $selbst tabelle] {
    if {[dict get $z a] eq ""} {
        set null [expr {$null && [dict get $z aenderung] eq "" && [dict get $z b] eq ""}]
    } else {
        set null [expr {$null && [dict get $z a] == [dict get $z b] && [dict get $z aenderung] == 0
                        && ([dict get $z aenderung_prozent] eq "" || [dict get $z aenderung_prozent] == 0)}]
    }
}
pruefe "selbst: [llength [dict get $selbst tabelle]] Zeilen, jede Änderung 0" {$null && [llength [dict get $selbst tabelle]] >= 20}
pruefe "selbst: Differenz 0 bis 0" {[dict get $selbst json differenz_min_roh] == 0 && [dict get $selbst json differenz_max_roh] == 0}
set neutral [lindex [::druckbild::farbskala -divergierend 255] 127]
set foto [image create photo -file [file join $tmp selbst differenz.jpg]]
set w [image width $foto]
set h [image height $foto]
scan $neutral #%2x%2x%2x nr ng nb
set abweichung 0
for {set y 6} {$y < $h - 6} {incr y 3} {
    for {set x 6} {$x < $w - 6} {incr x 3} {
        lassign [$foto get $x $y] r g b
        set abweichung [expr {max($abweichung, abs($r - $nr), abs($g - $ng), abs($b - $nb))}]
    }
}
pruefe "selbst: die Differenzkarte ist überall neutral ($neutral, größte Abweichung $abweichung)" {$abweichung <= 8}

# --- the PDF of the report
set pdf [dict get $selbst pdf]
pruefe "Bericht: eine Seite A4 ([dict get $selbst seiten])" {[dict get $selbst seiten] == 1 && [dict get $selbst a4]}
foreach text {"Frau Prüfung" "Beispielmatte 12 x 10" "Sattel 5 mm tiefer" "kPa" "mm" "cm²" "(N)"
              "B - A" "Änderung %"} {
    pruefe "Bericht enthält \"$text\"" {[string first $text $pdf] >= 0}
}
# every row: its name and the values of the CSV, as the page rounds them
proc gleich {gedruckt wert} {
    if {$wert eq ""} {
        return [expr {$gedruckt eq "-"}]
    }
    set stellen [string length [lindex [split $gedruckt .] 1]]
    expr {[string is double -strict $gedruckt]
          && abs($gedruckt - $wert) <= 0.5 * 10.0 ** -$stellen + 1e-9}
}
set zweite [vergleich zwei $u125 $u134 -kalibrierung $beispiel -klient "Herr B"]
set pdf [dict get $zweite pdf]
set zeilen_gut 0
foreach z [dict get $zweite tabelle] {
    set name [dict get $z kennzahl]
    set e [dict get $z einheit]
    set gut 0
    foreach zeile [split $pdf \n] {
        set zeile [string trim $zeile]
        if {[string first $name $zeile] != 0} continue
        set zahlen [lrange [regexp -all -inline {\S+} [string range $zeile [string length $name] end]] end-3 end]
        lassign $zahlen pa pb pd pp
        set gut [expr {[gleich $pa [dict get $z a]] && [gleich $pb [dict get $z b]]
                       && [gleich $pd [dict get $z aenderung]] && [gleich $pp [dict get $z aenderung_prozent]]}]
        break
    }
    if {$gut} {
        incr zeilen_gut
    } else {
        puts "       Zeile \"$name\" fehlt im PDF oder hat andere Werte: $z"
    }
}
pruefe "Bericht: alle [llength [dict get $zweite tabelle]] Zeilen mit den Werten der CSV" {$zeilen_gut == [llength [dict get $zweite tabelle]]}
pruefe "zwei: Einheiten im JSON" {[dict get $zweite json einheiten druck] eq "kPa" && [dict get $zweite json einheiten laenge] eq "mm"}

# --- B = A + 10 on the loaded cells of one zone (raw, one frame)
set bild [lindex [::aufnahme::lesen $u125] 0]
lassign $bild n_y n_x werte maske
set plus {}
set i 0
foreach v $werte m $maske {
    set r [expr {$i / $n_x}]
    set c [expr {$i % $n_x}]
    lappend plus [expr {!$m && $v > 0 && $r < $n_y / 2 && $c < $n_x / 2 ? $v + 10 : $v}]
    incr i
}
schreibe_aufnahme [file join $tmp a.txt] [list $bild]
schreibe_aufnahme [file join $tmp b.txt] [list [list $n_y $n_x $plus $maske]]
set zehn [vergleich zehn [file join $tmp a.txt] [file join $tmp b.txt]]
pruefe "zehn: exit 0 [dict get $zehn meldung]" {[dict get $zehn status] == 0}
set zonen {}
foreach z [dict get $zehn tabelle] {
    if {[regexp {^Zone (.*): (Spitze|Mittel)$} [dict get $z kennzahl] -> zone art]} {
        dict set zonen $zone $art [dict get $z aenderung]
    }
}
pruefe "zehn: die Zonen [dict keys $zonen]" {[dict size $zonen] == 4}
dict for {zone aenderungen} $zonen {
    set soll [expr {$zone eq "hinten links" ? 10 : 0}]
    pruefe "zehn: Zone $zone: Spitze und Mittel ändern sich um $soll ($aenderungen)" {
        abs([dict get $aenderungen Spitze] - $soll) < 1e-9 && abs([dict get $aenderungen Mittel] - $soll) < 1e-9}
}
pruefe "zehn: Differenz 0 bis 10" {[dict get $zehn json differenz_min_roh] == 0 && [dict get $zehn json differenz_max_roh] == 10}
set ohne 1
foreach text {kPa mmHg cm} {
    if {[string first $text [dict get $zehn texte]] >= 0 || [string first $text [dict get $zehn pdf]] >= 0} {
        set ohne 0
    }
}
pruefe "zehn: ohne Kalibrierung kein kPa, mmHg, cm in CSV, JSON und PDF" {$ohne}

# --- refusals
set gross [file join $tmp gross.txt]
schreibe_aufnahme $gross [::aufnahme::erzeugt 16 2]
set falsch [vergleich falsch $u125 $gross]
pruefe "verschiedene Größen abgelehnt: [dict get $falsch meldung]" {
    [dict get $falsch status] == 1 && [string match "*verschiedene Matten*" [dict get $falsch meldung]]}

# --- the archive: untouched without -archivieren; both sessions stored with it
pruefe "ohne -archivieren kein Archiv angelegt" {![file exists [file join $tmp xdg druckmessung]]}
set archiv [file join $tmp archiv.sqlite3]
set gespeichert [vergleich gespeichert $u125 $u134 -archiv $archiv -archivieren 1 -klient "Frau Archiv"]
pruefe "-archivieren: exit 0 [dict get $gespeichert meldung]" {[dict get $gespeichert status] == 0}
set aus_archiv [vergleich aus_archiv archiv:1 archiv:2 -archiv $archiv]
pruefe "archiv:1 gegen archiv:2: exit 0 [dict get $aus_archiv meldung]" {[dict get $aus_archiv status] == 0}
pruefe "die Sitzungen vergleichen sich wie die Dateien" {
    [dict get $aus_archiv tabelle] eq [dict get $gespeichert tabelle]}
pruefe "der Bericht nennt den Klienten der Sitzung A" {[string first "Frau Archiv" [dict get $aus_archiv pdf]] >= 0}

# --- the view's archive window: the recording shown stored with its zones
# and snapshot, found by the client's name, opened in the view again
set treiber [file join $tmp treiber.tcl]
set f [open $treiber w]
puts $f [list set argv [list -build $build -kalibrierung $beispiel -archiv [file join $tmp fenster.sqlite3] \
                            -aufnahme u125 -fenster 2-5]]
puts $f {
    after idle {after 200 {
        set ::archivfenster::eingabe(klient) "Herr Fenster"
        set ::archivfenster::eingabe(titel) "vorher"
        ::ansicht::schnappschuss
        ::archivfenster::zeigen
        ::archivfenster::speichern
        set ::archivfenster::eingabe(klient) "fenst"
        ::archivfenster::liste
        puts "liste [.archiv.liste size]"
        .archiv.liste selection set 0
        ::archivfenster::oeffnen
        puts "gezeigt $::anpassung::name [llength $::anpassung::bilder] [llength $::anpassung::zonen] [llength $::anpassung::schnappschuesse]"
        puts "meldung $::anpassung::meldung"
        exit 0
    }}
}
puts $f [list source [file join $quelle demo anpassung.tcl]]
close $f
set ausgabe [exec [info nameofexecutable] $treiber 2>@1]
pruefe "Archivfenster: gefunden, geöffnet ([join [split $ausgabe \n] {; }])" {
    [string match "*liste 1*gezeigt Archiv 1: Herr Fenster 8 4 1*" $ausgabe]}
source [file join $quelle demo archiv.tcl]
set a [::archiv::oeffnen -datei [file join $tmp fenster.sqlite3]]
set s [::archiv::laden $a 1]
::archiv::schliessen $a
set roh [lmap bild [::aufnahme::lesen $u125] {
    lassign $bild - - werte maske
    lmap w $werte m $maske {expr {$m ? -1 : $w}}}]
set schnapp [vergleich schnapp "archiv:1/Schnappschuss 1" "archiv:1" -archiv [file join $tmp fenster.sqlite3]]
set schnapp_selbst [vergleich schnapp_selbst "archiv:1/Schnappschuss 1" "archiv:1/Schnappschuss 1" \
                        -archiv [file join $tmp fenster.sqlite3]]
set falsch [vergleich schnapp_falsch "archiv:1/keiner" "archiv:1" -archiv [file join $tmp fenster.sqlite3]]
pruefe "Schnappschuss gegen die ganze Sitzung: exit 0, im Bericht Bilder 2 bis 5 [dict get $schnapp meldung]" {
    [dict get $schnapp status] == 0 && [string match "*Schnappschuss: Schnappschuss 1 (Bilder 2 bis 5)*" [dict get $schnapp pdf]]
    && [dict get $schnapp json differenz_max_roh] > 0}
pruefe "Schnappschuss gegen sich selbst: Differenz 0" {
    [dict get $schnapp_selbst status] == 0 && [dict get $schnapp_selbst json differenz_min_roh] == 0
    && [dict get $schnapp_selbst json differenz_max_roh] == 0}
pruefe "ein unbekannter Schnappschuss: [dict get $falsch meldung]" {
    [dict get $falsch status] == 1 && [string match "*keinen Schnappschuss \"keiner\"*Schnappschuss 1*" [dict get $falsch meldung]]}
pruefe "Archivfenster: die Bilder der Datei, 4 Zonen mit Anteil, der Schnappschuss über Bild 2 bis 5" {
    [dict get $s bilder] eq $roh && [llength [dict get $s zonen]] == 4
    && [dict exists [lindex [dict get $s zonen] 0] kennzahlen anteil]
    && [dict get [lindex [dict get $s schnappschuesse] 0] von] == 1
    && [dict get [lindex [dict get $s schnappschuesse] 0] bis] == 4
    && [dict get $s kalibrierung_name] eq "Beispielmatte 12 x 10 (erfunden)"}

file delete -force $tmp
puts "[expr {$fehler ? "$fehler Prüfungen FALSCH" : "alle Prüfungen ok"}]"
exit [expr {$fehler > 0}]
