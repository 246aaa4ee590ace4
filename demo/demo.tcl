# Demo of the pressure image libraries on the bundled seated recordings.
#   tclsh8.6 demo/demo.tcl ?build-folder?
# Loads the packages from the build folder (default: build) and runs every
# demo part demo/teil_*.tcl in name order.
set build [expr {[llength $argv] ? [lindex $argv 0] : "build"}]
set build [file normalize $build]
lappend auto_path $build
set demo_dir [file dirname [file normalize [info script]]]
set daten_dir [file join $demo_dir .. data seated]

# Reads a recording in the pressure image text format: header lines start
# with "#", each frame runs from its highest row index down to row 0.
# Returns a list of frames {n_y n_x werte}, werte row 0 first.
proc aufnahme_lesen {datei} {
    set f [open $datei r]
    set bilder {}
    set zeilen {}
    while {[gets $f zeile] >= 0} {
        if {[string match "#*" $zeile] || [string trim $zeile] eq ""} continue
        if {![regexp {^\s*(\d+):(.*)$} $zeile -> index werte]} {
            close $f
            error "$datei: unlesbare Zeile '$zeile'"
        }
        set zeilen [linsert $zeilen 0 [string trim $werte]]
        if {$index == 0} {
            set n_x [llength [lindex $zeilen 0]]
            lappend bilder [list [llength $zeilen] $n_x [join $zeilen " "]]
            set zeilen {}
        }
    }
    close $f
    return $bilder
}

# The bundled recordings: {name frames}
proc aufnahmen {} {
    set ergebnis {}
    foreach datei [lsort [glob -directory $::daten_dir *_seat12x10.txt]] {
        regexp {cabseat_(u\d+)_} [file tail $datei] -> name
        lappend ergebnis $name [aufnahme_lesen $datei]
    }
    return $ergebnis
}

proc ueberschrift {text} {
    puts ""
    puts $text
    puts [string repeat "=" [string length $text]]
}

foreach teil [lsort [glob -directory $demo_dir teil_*.tcl]] {
    source $teil
}
