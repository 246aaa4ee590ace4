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

# Procs for a child of dbld_kind that lowers its own address-space limit,
# with util-linux's prlimit on its own process: speicher_grenze mb sets the
# soft limit to the child's present size plus mb megabytes, speicher_frei
# lifts it again.
set ::dbld_speicher_procs {
    proc speicher_groesse {} {
        set f [open /proc/self/status]
        set text [read $f]
        close $f
        regexp {VmSize:\s+(\d+) kB} $text -> kb
        return [expr {$kb * 1024}]
    }
    proc speicher_grenze {mb} {
        exec prlimit --pid [pid] --as=[expr {[speicher_groesse] + int($mb * 1048576)}]:
    }
    proc speicher_frei {} {
        exec prlimit --pid [pid] --as=unlimited:
    }
}

# dbld_kind with those procs.  In the child every block above 128 kB comes
# from mmap of its own and goes back when freed (no heap kept for reuse),
# so that its size is what it holds and a limit binds alike on every run.
proc dbld_kind_knapp {script} {
    set vorher [array get ::env MALLOC_MMAP_THRESHOLD_]
    set ::env(MALLOC_MMAP_THRESHOLD_) 131072
    try {
        return [dbld_kind "$::dbld_speicher_procs\n$script"]
    } finally {
        unset ::env(MALLOC_MMAP_THRESHOLD_)
        array set ::env $vorher
    }
}

# Whether such a limit binds a child: Tcl's own attempt at 100 MB then
# fails.  Not so under the sanitizer, whose allocator ends the process
# instead of failing, nor without prlimit.  Nor under qemu-user (the
# platform check sets DBLD_EMULIERT there): the limit binds the emulator,
# whose own memory then decides where the program fails, or the emulator
# itself aborts; such cases run natively only.
proc dbld_adressraum_begrenzbar {} {
    if {[info exists ::env(DBLD_EMULIERT)]} {
        return 0
    }
    lassign [dbld_kind_knapp {
        speicher_grenze 16
        puts [catch {string repeat x 100000000}]
    }] aus
    return [expr {$aus eq "1"}]
}

# A case that checks that a command returns at once: "bald" when dauer
# (ms) stays below grenze, else dauer.  The limit is ten times as long
# under qemu-user (DBLD_EMULIERT) and under valgrind (its preloaded
# libraries in LD_PRELOAD), which run the same code many times slower: the
# faults these cases catch took seconds natively, far beyond either.
proc dbld_bald {dauer grenze} {
    if {[info exists ::env(DBLD_EMULIERT)] ||
        ([info exists ::env(LD_PRELOAD)] && [string match *vgpreload* $::env(LD_PRELOAD)])} {
        set grenze [expr {$grenze * 10}]
    }
    expr {$dauer < $grenze ? "bald" : $dauer}
}

# Whether a child can see a /sys/class/net of its own: a private mount
# namespace with a tmpfs over it (needs root and unshare).
proc dbld_station_moeglich {} {
    expr {![catch {exec unshare --mount sh -c {mount -t tmpfs tmpfs /sys/class/net} 2>@1}]}
}

# Runs script in a child tclsh that has loaded Kmqstationd and sees
# /sys/class/net as built by the shell commands einrichten (run inside the
# empty tmpfs); returns the child's standard output.
proc dbld_station {einrichten script} {
    set voll "lappend auto_path [list $::dbldtest::build]\npackage require Kmqstationd\n$script"
    set datei [::tcltest::makeFile $voll station.tcl]
    set aus [exec unshare --mount sh -c \
                 "mount -t tmpfs tmpfs /sys/class/net && cd /sys/class/net && $einrichten\
                  && exec [info nameofexecutable] $datei"]
    ::tcltest::removeFile station.tcl
    return $aus
}

# The leaf values of a result dict (std+ nests point and ellipse dicts).
proc dbld_blaetter {ergebnis} {
    set blaetter {}
    dict for {schluessel wert} $ergebnis {
        if {[llength $wert] > 1} {
            lappend blaetter {*}[dbld_blaetter $wert]
        } else {
            lappend blaetter $wert
        }
    }
    return $blaetter
}

# How many of the leaf values of a result dict are not finite numbers.
proc dbld_nicht_endlich {ergebnis} {
    set n 0
    foreach wert [dbld_blaetter $ergebnis] {
        if {![string is double -strict $wert] || [string match -nocase *n* $wert]} {
            incr n
        }
    }
    return $n
}

# ---- JPEG data: size, decoding with djpeg, pixels (bild.test, kennzahlen.test)

# Width and height from the frame header (SOF0) of JPEG data.
proc jpeg_groesse {daten} {
    set i [string first "\xff\xc0" $daten]
    if {$i < 0} {return {}}
    binary scan $daten @[expr {$i + 5}]SuSu hoehe breite
    return [list $breite $hoehe]
}

proc ist_jpeg {daten} {
    expr {[string range $daten 0 1] eq "\xff\xd8" && [string range $daten end-1 end] eq "\xff\xd9"}
}

# Decodes JPEG data with djpeg: {breite hoehe rgb-bytes}.
::tcltest::testConstraint djpeg [expr {[auto_execok djpeg] ne ""}]
proc djpeg {daten} {
    set datei [::tcltest::makeFile {} bild_test.jpg]
    set f [open $datei wb]
    puts -nonewline $f $daten
    close $f
    set f [open |[list djpeg -pnm $datei] rb]
    set ppm [read $f]
    close $f
    ::tcltest::removeFile bild_test.jpg
    if {![regexp {^P6\n(\d+) (\d+)\n255\n} $ppm kopf breite hoehe]} {
        error "no binary PPM from djpeg"
    }
    return [list $breite $hoehe [string range $ppm [string length $kopf] end]]
}

# Colour of pixel (x, y) of a decoded image.
proc pixel {bild x y} {
    lassign $bild breite hoehe rgb
    binary scan $rgb @[expr {3 * ($y * $breite + $x)}]cu3 p
    return $p
}

# Whether two colours differ by at most tol in every component.
proc nah {a b {tol 6}} {
    foreach x $a y $b {
        if {abs($x - $y) > $tol} {return 0}
    }
    return 1
}
