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

# Whether the suite runs under Tcl 9 (else Tcl 8.6).
proc dbld_tcl9 {} {
    package vsatisfies [package provide Tcl] 9.0
}

# The module file of a package for the running Tcl in the build folder:
# lib<name>.so for Tcl 8.6, libtcl9<name>.so for Tcl 9.
proc dbld_modul {name} {
    return [file join $::dbldtest::build lib[expr {[dbld_tcl9] ? "tcl9" : ""}]$name.so]
}

# The options that make Tcl 9 encode and decode as Tcl 8.6 does, for a
# channel or for encoding convertfrom / convertto (Tcl 9's default refuses
# what the encoding cannot take); none under Tcl 8.6.
proc dbld_profil_tcl8 {} {
    expr {[dbld_tcl9] ? {-profile tcl8} : {}}
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
