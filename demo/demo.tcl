# Demo of the pressure image libraries on the bundled seated recordings.
#   tclsh8.6 demo/demo.tcl ?build-folder?
# Loads the packages from the build folder (by default the folder build
# beside the demo's folder, where it holds pkgIndex.tcl; without one, as in
# the installed examples, the packages Tcl finds and dbldinfo on the PATH)
# and runs every demo part demo/teil_*.tcl in name order.  Files written go
# to demo/ausgabe/ beside a build folder, otherwise to druckmessung_demo/ in
# the current folder.
set demo_dir [file dirname [file normalize [info script]]]
set daten_dir [file join $demo_dir .. data seated]
if {[llength $argv]} {
    set build [file normalize [lindex $argv 0]]
} elseif {[file exists [file join $demo_dir .. build pkgIndex.tcl]]} {
    set build [file normalize [file join $demo_dir .. build]]
} else {
    set build ""
}
if {$build ne ""} {
    lappend auto_path $build
    set ausgabe_dir [file join $demo_dir ausgabe]
} else {
    set ausgabe_dir [file join [pwd] druckmessung_demo]
}
file mkdir $ausgabe_dir

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
