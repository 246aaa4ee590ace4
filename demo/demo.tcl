# Demo of the pressure image libraries on the bundled seated recordings.
#   tclsh8.6 demo/demo.tcl ?build-folder?
# Loads the packages from the build folder (default: build) and runs every
# demo part demo/teil_*.tcl in name order.
set build [expr {[llength $argv] ? [lindex $argv 0] : "build"}]
set build [file normalize $build]
lappend auto_path $build
set demo_dir [file dirname [file normalize [info script]]]
set daten_dir [file join $demo_dir .. data seated]

source [file join $demo_dir aufnahme.tcl]

# The bundled recordings: {name frames}, each frame {n_y n_x werte maske}.
proc aufnahmen {} {
    set ergebnis {}
    foreach {name datei} [::aufnahme::gebuendelt] {
        lappend ergebnis $name [::aufnahme::lesen $datei]
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
