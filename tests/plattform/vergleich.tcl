# Every result of every command on the cases of erzeuge_bilder.tcl, as text
# that two platforms must give byte for byte alike:
#   tclsh8.6 vergleich.tcl bauordner faelle.txt bilder.dbld dbldinfo-befehl...
# bauordner holds the modules and pkgIndex.tcl; dbldinfo-befehl runs that
# folder's dbldinfo (under an emulator where needed).  Standard error is to
# go to the same file as standard output: the -debug diagnostics land between
# the results they belong to.  Doubles are printed with %.17g, JPEG data as
# length, CRC-32 and Adler-32; the last lines count the cases per command
# ("### anzahl ...") and the cases ("### faelle: n").
lassign $argv bau faelle_datei dbld_datei
set dbldinfo [lrange $argv 3 end]
lappend auto_path $bau
chan configure stdout -buffering none -translation lf -encoding utf-8

# Druckbildanalyse and Kmqstationd both register ::druckbild::analyse: one
# interpreter each.
interp create voll
voll eval [list lappend auto_path $bau]
voll eval {package require Druckbildanalyse 0.2}
source [file join [file dirname [file normalize [info script]]] .. .. demo aufnahme.tcl]
::aufnahme::stationsinterp station $bau
package require Beckenrotation 1.0
package require Kalvora 1.0
package require Druckbildkennzahlen 1.0
# The last frames of each size, for the mean and difference images.
set vorige [dict create]

# Every double of a result, also inside nested dicts and lists, with %.17g.
proc zahlen {wert} {
    if {[string is double -strict $wert]} {
        if {[string is entier -strict $wert]} {
            return $wert
        }
        return [format %.17g $wert]
    }
    if {[llength $wert] > 1} {
        return "{[join [lmap e $wert {zahlen $e}]]}"
    }
    return $wert
}

set zaehler [dict create]
# Runs one command (in interpreter interp) and prints "name: result" or
# "name: error: message"; returns the result, "" after an error.
proc aufruf {name interp befehl {darstellung zahlen}} {
    dict incr ::zaehler $name
    if {[catch {interp eval $interp $befehl} ergebnis]} {
        puts "$name: error: $ergebnis"
        return ""
    }
    puts "$name: [$darstellung $ergebnis]"
    return $ergebnis
}
proc jpeg {daten} {
    format "%d %08x %08x" [string length $daten] [zlib crc32 $daten] [zlib adler32 $daten]
}
proc wort {text} {
    return $text
}
# Bytes as they are (a program's output, ISO-8859-1 like the diagnostics).
proc roh {daten} {
    chan configure stdout -translation binary
    puts -nonewline $daten
    chan configure stdout -translation lf -encoding utf-8
}

set f [open $faelle_datei r]
set i 0
while {[gets $f fall] >= 0} {
    lassign $fall name n_y n_x werte maske optionen kontrast hintergrund
    puts "### fall [incr i] $name ${n_y}x$n_x"
    foreach methode {std std+ cop} {
        set ergebnis($methode) [aufruf "analyse $methode" voll \
            [list ::druckbild::analyse -debug $methode $werte $n_y $n_x]]
    }
    foreach methode {std std+} {
        aufruf "station analyse $methode" station [list ::druckbild::analyse $methode $werte $n_y $n_x]
    }
    aufruf "photo_configure colorcontrast" station \
        [list ::druckbild::photo_configure colorcontrast $kontrast]
    aufruf "photo_configure bgcolor" station \
        "[list ::druckbild::photo_configure bgcolor $hintergrund]; ::druckbild::photo_configure bgcolor"
    aufruf "jpegdata" station [list ::druckbild::jpegdata {*}$optionen $werte $n_y $n_x] jpeg
    aufruf "kalvora" {} [list ::druckbild::kalvora $werte $n_y $n_x $maske] wort
    aufruf "beckenrotation logcop" {} [list ::druckbild::beckenrotation logcop $werte $n_y $n_x]
    # The centroid of the standard evaluation as a point of the pelvic log
    # (doubles narrowed to float there); a fit after every tenth case.
    set s $ergebnis(std)
    if {[dict exists $s schwerpunkt_x] && [dict get $s schwerpunkt_x] >= 0} {
        aufruf "beckenrotation log" {} [list ::druckbild::beckenrotation log \
            [dict get $s schwerpunkt_x] [dict get $s schwerpunkt_y]]
    }
    if {$i % 10 == 0} {
        aufruf "beckenrotation result" {} {::druckbild::beckenrotation result}
    }
    # The fifth package: the figures of the whole image and of a part, the
    # mean and peak of this frame and up to three before it of its size,
    # the outlines, and the difference to the frame before (or to the frame
    # reversed, where it is the first of its size).
    aufruf "statistik" {} [list ::druckbild::statistik $werte $n_y $n_x]
    aufruf "statistik optionen" {} [list ::druckbild::statistik $werte $n_y $n_x \
        -schwelle [expr {$i % 40}] -fenster [expr {1 + 2 * ($i % 3)}] -teilung [expr {$n_y / 3}] \
        -bereich [list [expr {$n_y / 4}] [expr {$n_x / 4}] [expr {$n_y - 1}] [expr {$n_x / 2}]]]
    set groesse ${n_y}x$n_x
    set bilder [lrange [concat [expr {[dict exists $vorige $groesse] ?
                                       [dict get $vorige $groesse] : {}}] [list $werte]] end-3 end]
    aufruf "mittel" {} [list ::druckbild::mittel $bilder $n_y $n_x]
    aufruf "mittel -ganzzahlig" {} [list ::druckbild::mittel $bilder $n_y $n_x -ganzzahlig]
    aufruf "mittel -art spitze" {} [list ::druckbild::mittel $bilder $n_y $n_x -art spitze]
    aufruf "umrisse" {} [list ::druckbild::umrisse $werte $n_y $n_x -prozent [expr {40 + $i % 60}]]
    set vorher [expr {[llength $bilder] > 1 ? [lindex $bilder end-1] : [lreverse $werte]}]
    aufruf "differenzbild" {} [list ::druckbild::differenzbild $vorher $werte $n_y $n_x \
        {*}$optionen -kontrast [expr {$i % 8}]] jpeg
    dict set vorige $groesse $bilder
    set text "$name \u00e4\u00f6\u00fc\u00df [string range $s 0 [expr {$i % 60}]]"
    set geheim [aufruf "kmqcrypt encrypt00" station [list ::kmqcrypt encrypt00 $text] wort]
    aufruf "kmqcrypt decrypt00" station [list ::kmqcrypt decrypt00 $geheim] wort
}
close $f

foreach optionen {{3} {-kontrast 3 9} {-divergierend 7} {-divergierend -kontrast 5 256}} {
    aufruf "farbskala" {} [list ::druckbild::farbskala {*}$optionen] wort
}

# Tcl's own messages: each command with words that Tcl's conversions or
# lookups refuse, the message as the running Tcl words it.
puts "### meldungen"
foreach {interp befehl} {
    voll {::druckbild::analyse std {1 2} x 2}
    voll {::druckbild::analyse std {1 2} {1 2} 2}
    voll {::druckbild::analyse std+ {1 {2 3}} 1 2}
    voll {::druckbild::analyse cop "1 \{" 1 2}
    voll {::druckbild::analyse xyz {1 2} 1 2}
    voll {::druckbild::analyse std {1 2} 1}
    station {::druckbild::analyse c {1 2} 1 2}
    station {::druckbild::jpegdata -resolution {1 2} {1 2} 1 2}
    station {::druckbild::jpegdata -grid fancy {1 2} 1 2}
    station {::druckbild::jpegdata -m 1 {1 2} 1 2}
    station {::druckbild::jpegdata -mask {0 {1 1}} {1 2} 1 2}
    station {::druckbild::photo_configure colorcontrast {3 4}}
    station {::druckbild::photo_configure farbe}
    station {::kmqcrypt enc abc}
    {} {::druckbild::kalvora {1 2} 1 2 {0 {0 0}}}
    {} {::druckbild::kalvora {1 2} 1.0 2 {0 0}}
    {} {::druckbild::beckenrotation log {1 2} 1}
    {} {::druckbild::beckenrotation log 1 y}
    {} {::druckbild::beckenrotation logcop {1 2} 1 {2 2}}
    {} {::druckbild::beckenrotation l 1 2}
} {
    aufruf "meldung [lindex $befehl 0]" $interp $befehl wort
}

# The hull evaluation and the cleaning through dbldinfo, on every frame and
# with other tuning on the first ones; its standard error after its output.
set fehler_datei [file join [file dirname $dbld_datei] dbldinfo_[pid].err]
foreach optionen {{-b -u} {-u -p 50 -r 5 -n 40}} {
    puts "### dbldinfo $optionen"
    set p [open |[list {*}$dbldinfo {*}$optionen $dbld_datei 2> $fehler_datei] rb]
    set aus [read $p]
    roh $aus
    # Counted: the images it reported on.
    dict set zaehler "dbldinfo $optionen" [regexp -all -line {, Bild [0-9]+: } $aus]
    if {[catch {close $p} meldung ende]} {
        # The exit status, not the process number.
        set code [dict get $ende -errorcode]
        puts "exit: [lindex $code 0] [lindex $code end]"
    }
    puts "### dbldinfo $optionen: standard error"
    set f [open $fehler_datei rb]
    roh [read $f]
    close $f
    file delete $fehler_datei
}

dict for {name n} $zaehler {
    puts "### anzahl $name: $n"
}
puts "### faelle: $i"
