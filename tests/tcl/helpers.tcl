# Helpers shared by the Tcl suites.

# An image of n_y rows and n_x columns, all 0, as a flat list.
proc dbld_leer {n_y n_x} {
    return [lrepeat [expr {$n_y * $n_x}] 0]
}

# Sets cells of a flat image: dbld_setze bild n_x {row col value ...}
proc dbld_setze {bild n_x zellen} {
    foreach {r c v} $zellen {
        lset bild [expr {$r * $n_x + $c}] $v
    }
    return $bild
}

# Runs a script in a child tclsh that finds the built packages, and returns
# {stdout stderr}: stderr as raw bytes, as the diagnostic log writes them.
# The script's last words go to stdout with puts where they matter.
proc dbld_kind {script} {
    set voll "lappend auto_path [list $::dbldtest::build]\n$script"
    set datei [::tcltest::makeFile $voll dbld_kind.tcl]
    set fehler [::tcltest::makeFile {} dbld_kind.err]
    catch {exec [info nameofexecutable] $datei 2> $fehler} aus
    set f [open $fehler rb]
    set err [read $f]
    close $f
    ::tcltest::removeFile dbld_kind.tcl
    ::tcltest::removeFile dbld_kind.err
    return [list $aus $err]
}
