# The station viewer in a real Tk host: starts demo/station.tcl on a
# bundled recording, lets it play a number of frames as fast as it can and
# write its canvas to a PNG, then checks the picture against what the
# packages compute for the frame shown last:
#   - the renderer's cell-to-pixel mapping, found on a rendered single cell;
#   - the centre-of-pressure marker at the canvas position of the frame's
#     centre of pressure, the sit-bone markers at the corrected centroids;
#   - the image area: no canvas background inside, its border, red at the
#     highest cell, the renderer's background at an empty cell.
# Runs in wish8.6 or wish9.0 under Xvfb (station_xvfb.sh); exit 0 when
# every check holds, 1 when one fails, 77 (skipped) without the Img package.
#   wish8.6 station_bild.tcl source-folder build-folder
lassign $argv quelle build
set build [file normalize $build]
wm withdraw .
if {[catch {package require img::jpeg} fehler]} {
    puts "SKIP: Img fehlt ($fehler; Debian-Paket libtk-img)"
    exit 77
}
lappend auto_path $build
package require Druckbildanalyse
source [file join $quelle demo aufnahme.tcl]
::aufnahme::stationsinterp bild $build

set fehler 0
proc pruefe {text bedingung} {
    set gut [uplevel 1 [list expr $bedingung]]
    puts "[expr {$gut ? "ok    " : "FALSCH"}] $text"
    if {!$gut} {incr ::fehler}
}

# --- the viewer: 12 frames of u125 (8 frames, so it ends on frame 3)
set foto [file join [pwd] station_bild.png]
file delete $foto
set n_bilder 12
set start [clock milliseconds]
if {[catch {exec [info nameofexecutable] [file join $quelle demo station.tcl] -build $build \
                -aufnahme u125 -fps 0 -bilder $n_bilder -groesse 900x600 -foto $foto} bericht]} {
    puts "FALSCH the viewer failed: $bericht"
    exit 1
}
puts "viewer ([expr {[clock milliseconds] - $start}] ms): $bericht"
dict with bericht {}
pruefe "frames played: $bilder, last frame 3 ($bild)" {$bilder == $n_bilder && $bild == 3}
set p [image create photo -file $foto -format png]
pruefe "picture is the canvas, [image width $p] x [image height $p]" \
    {[image width $p] == $breite && [image height $p] == $hoehe}

proc farbe {x y} {
    $::p get [expr {int(round($x))}] [expr {int(round($y))}]
}
proc rot {rgb} {
    lassign $rgb r g b
    expr {$r >= 200 && $g <= 120 && $b <= 80}
}

# --- the renderer's mapping: cell (row i, column j) has its brightest
# pixel at x = (j + 0.5) * res and y = (n_y - 0.6 - i) * res from the
# image's corner inside the border.  One loaded cell at the viewer's
# resolution and border shows where.
proc abbildung {x y} {
    list [expr {$::x0 + $::rahmen + ($x + 0.5) * $::aufloesung}] \
         [expr {$::y0 + $::rahmen + ($::n_y - 0.6 - $y) * $::aufloesung}]
}
set zelle [lrepeat [expr {$n_y * $n_x}] 0]
lset zelle [expr {7 * $n_x + 2}] 100
set einzeln [image create photo -format jpeg -data \
    [bild eval [list ::druckbild::jpegdata -resolution $aufloesung -frame $rahmen -quality 100 \
                    $zelle $n_y $n_x]]]
set bester -1
for {set y 0} {$y < [image height $einzeln]} {incr y} {
    for {set x 0} {$x < [image width $einzeln]} {incr x} {
        lassign [$einzeln get $x $y] r g b
        if {$r - $b - $g > $bester} {
            set bester [expr {$r - $b - $g}]
            set hell [list $x $y]
        }
    }
}
lassign [abbildung 2 7] px py
set erwartet [list [expr {int(round($px - $x0))}] [expr {int(round($py - $y0))}]]
pruefe "single cell (row 7, column 2): brightest pixel $hell, mapped $erwartet" {$hell eq $erwartet}

# --- what the packages compute for the frame shown
lassign [lindex [::aufnahme::lesen [dict get [::aufnahme::gebuendelt] u125]] $bild] - - werte
# A marker's centre: the mean position of the pixels of its fill colour
# within a square around where it should be.
proc marker {x y halb rgb} {
    set n 0
    set sx 0.0
    set sy 0.0
    for {set v [expr {int($y) - $halb}]} {$v <= int($y) + $halb} {incr v} {
        for {set u [expr {int($x) - $halb}]} {$u <= int($x) + $halb} {incr u} {
            if {[$::p get $u $v] eq $rgb} {
                incr n
                set sx [expr {$sx + $u}]
                set sy [expr {$sy + $v}]
            }
        }
    }
    expr {$n ? [list $n [expr {$sx / $n}] [expr {$sy / $n}]] : {0 -1 -1}}
}
proc marker_pruefen {text x y radius rgb} {
    lassign [marker $x $y [expr {$radius + 4}] $rgb] n mx my
    pruefe "$text at ([format %.1f,%.1f $x $y]): $n pixels ($rgb) around\
        ([format %.1f,%.1f $mx $my])" \
        {$n >= 2 * $radius * $radius && abs($mx - $x) <= 1 && abs($my - $y) <= 1}
}
set cop [::druckbild::analyse cop $werte $n_y $n_x]
marker_pruefen "centre of pressure ([format %.2f,%.2f [dict get $cop x] [dict get $cop y]])" \
    {*}[abbildung [dict get $cop x] [dict get $cop y]] 5 {255 0 255}
set plus [::druckbild::analyse std+ $werte $n_y $n_x]
foreach s {1 2} {
    set x [dict get $plus schwerpunkt${s}_x]
    set y [dict get $plus schwerpunkt${s}_y]
    marker_pruefen "corrected centroid $s ([format %.2f,%.2f $x $y])" {*}[abbildung $x $y] 4 {0 0 0}
}

# --- the image area
set grund [farbe 0 0]
set rechts [expr {$x0 + 2 * $rahmen + $n_x * $aufloesung}]
set unten [expr {$y0 + 2 * $rahmen + $n_y * $aufloesung}]
set n 0
set gleich 0
for {set y $y0} {$y < $unten} {incr y 3} {
    for {set x $x0} {$x < $rechts} {incr x 3} {
        incr n
        if {[farbe $x $y] eq $grund} {incr gleich}
    }
}
pruefe "image area ($x0,$y0 to $rechts,$unten): $gleich of $n samples in the canvas background $grund" \
    {$n > 1000 && $gleich == 0}
pruefe "outside the image: canvas background at [expr {$rechts + 5}],$y0 and $x0,[expr {$unten + 5}]" \
    {[farbe [expr {$rechts + 5}] $y0] eq $grund && [farbe $x0 [expr {$unten + 5}]] eq $grund}
lassign [farbe [expr {$x0 + 1}] [expr {$y0 + $aufloesung}]] r g b
pruefe "border dark grey ($r $g $b)" {abs($r - 64) <= 12 && abs($g - 64) <= 12 && abs($b - 64) <= 12}

# the highest cell: mostly red in its square (the overlays cover a little)
set hoechster [tcl::mathfunc::max {*}$werte]
set i [lsearch $werte $hoechster]
lassign [abbildung [expr {$i % $n_x}] [expr {$i / $n_x}]] hx hy
set rote 0
set alle 0
for {set dy -3} {$dy <= 3} {incr dy} {
    for {set dx -3} {$dx <= 3} {incr dx} {
        incr alle
        incr rote [rot [farbe [expr {$hx + $dx}] [expr {$hy + $dy}]]]
    }
}
pruefe "highest cell (row [expr {$i / $n_x}], column [expr {$i % $n_x}], $hoechster):\
    $rote of $alle pixels around ([format %.0f,%.0f $hx $hy]) red" {$rote >= $alle * 2 / 3}
lassign [abbildung 0 [expr {$n_y - 1}]] lx ly
lassign [farbe $lx $ly] r g b
pruefe "empty cell (row [expr {$n_y - 1}], column 0) white ($r $g $b)" {min($r, $g, $b) >= 235}

# --- recordings it cannot show: refused with the reader's kind of message
# and exit status 1 (a run with -bilder), never an X error or an abort.
# /dev/zero has no line end: its first line is refused at the reader's
# limit.  A row of 20000 cells, or 20000 rows of one, would need a picture
# side beyond what X takes.
proc verweigert {datei} {
    set status 0
    if {[catch {exec [info nameofexecutable] [file join $::quelle demo station.tcl] \
                    -build $::build -aufnahme [file tail $datei] -fps 0 -bilder 1 \
                    -groesse 400x300 $datei 2>@1} aus opt]} {
        set status [lindex [dict get $opt -errorcode] 2]
    }
    list $status [lindex [split $aus \n] 0]
}
set breit [file join [pwd] breit_1x20000.txt]
set f [open $breit w]
puts $f " 0:[string repeat {   1} 20000]"
close $f
set hoch [file join [pwd] hoch_20000x1.txt]
set f [open $hoch w]
for {set i 19999} {$i >= 0} {incr i -1} {
    puts $f "$i:   1"
}
close $f
foreach {datei erwartet} [list \
    /dev/zero {zero: Zeile 1: länger als 1048576 Zeichen} \
    $breit "breit_1x20000.txt: 1 × 20000 Zellen ergeben ein Bild von 40008 × 10 Pixeln,\
        die Anzeige nimmt höchstens 32767 je Seite" \
    $hoch "hoch_20000x1.txt: 20000 × 1 Zellen ergeben ein Bild von 10 × 40008 Pixeln,\
        die Anzeige nimmt höchstens 32767 je Seite"] {
    set t [clock milliseconds]
    lassign [verweigert $datei] status meldung
    pruefe "[file tail $datei] refused ([expr {[clock milliseconds] - $t}] ms): status $status, $meldung" \
        {$status == 1 && $meldung eq $erwartet}
}
file delete $breit $hoch

exit [expr {$fehler > 0}]
