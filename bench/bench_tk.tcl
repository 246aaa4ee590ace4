# Live loop of a Tk host: per frame ::druckbild::jpegdata, the JPEG data
# into a photo shown on a canvas (Img's JPEG reader), and the redraw.
# Frames: the bundled recording u125 (12 x 10) and the generated seated
# sequences of 32 x 32 and 64 x 64; resolutions 10, 20 and 40 pixels per
# cell.  Prints a Markdown table of frames per second and milliseconds per
# step (medians of five rounds of 40 frames).
#   xvfb-run -a -s "-screen 0 1280x1024x24" wish8.6 bench/bench_tk.tcl ?build-folder?
set build [file normalize [expr {[llength $argv] ? [lindex $argv 0] : "build"}]]
source [file join [file dirname [file normalize [info script]]] .. demo aufnahme.tcl]
package require img::jpeg
::aufnahme::stationsinterp bild $build

wm geometry . 1200x900+0+0
canvas .c -highlightthickness 0
pack .c -fill both -expand 1
image create photo foto
.c create image 0 0 -image foto -anchor nw
update

proc median {liste} {
    lindex [lsort -real $liste] [expr {[llength $liste] / 2}]
}

# One round: n frames in turn; returns the microseconds of the three steps.
proc runde {bilder aufloesung n} {
    set tj 0
    set tp 0
    set tu 0
    for {set i 0} {$i < $n} {incr i} {
        lassign [lindex $bilder [expr {$i % [llength $bilder]}]] n_y n_x werte
        set t0 [clock microseconds]
        set jpeg [bild eval [list ::druckbild::jpegdata -resolution $aufloesung $werte $n_y $n_x]]
        set t1 [clock microseconds]
        foto configure -format jpeg -data $jpeg
        set t2 [clock microseconds]
        update idletasks
        set t3 [clock microseconds]
        incr tj [expr {$t1 - $t0}]
        incr tp [expr {$t2 - $t1}]
        incr tu [expr {$t3 - $t2}]
    }
    list $tj $tp $tu
}

set folgen [list "u125 12 \u00d7 10" [::aufnahme::lesen [dict get [::aufnahme::gebuendelt] u125]] \
                 "32 \u00d7 32" [::aufnahme::erzeugt 32 40] \
                 "64 \u00d7 64" [::aufnahme::erzeugt 64 40]]
puts "| frames | resolution | pixels | frames/s | jpegdata ms | photo ms | redraw ms |"
puts "|---|---:|---:|---:|---:|---:|---:|"
foreach {name bilder} $folgen {
    lassign [lindex $bilder 0] n_y n_x
    foreach aufloesung {10 20 40} {
        runde $bilder $aufloesung 5
        set fps {}
        set j {}
        set p {}
        set u {}
        for {set r 0} {$r < 5} {incr r} {
            lassign [runde $bilder $aufloesung 40] tj tp tu
            lappend fps [expr {40e6 / ($tj + $tp + $tu)}]
            lappend j [expr {$tj / 40e3}]
            lappend p [expr {$tp / 40e3}]
            lappend u [expr {$tu / 40e3}]
        }
        puts [format "| %s | %d | %d \u00d7 %d | %.0f | %.2f | %.2f | %.2f |" $name $aufloesung \
                  [expr {$n_x * $aufloesung}] [expr {$n_y * $aufloesung}] \
                  [median $fps] [median $j] [median $p] [median $u]]
    }
}
exit
