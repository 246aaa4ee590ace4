# False-colour JPEG images of the first frame of each recording: plain,
# with a solid grid and a border, and with the empty cells masked on a
# dotted grid.  The files go to demo/ausgabe/.  Runs in an interpreter of
# its own: the station package brings its own ::druckbild::analyse.
interp create bild
bild eval [list lappend auto_path $build]
bild eval {package require Kmqstationd 0.1}

set ausgabe_dir [file join $demo_dir ausgabe]
file mkdir $ausgabe_dir

# Width and height from the frame header of JPEG data.
proc jpeg_masse {daten} {
    set i [string first "\xff\xc0" $daten]
    binary scan $daten @[expr {$i + 5}]SuSu hoehe breite
    return "${breite}x$hoehe"
}

ueberschrift "Falschfarbenbilder (::druckbild::jpegdata, Kmqstationd [bild eval {package present Kmqstationd}])"
puts "Ausgabeordner: $ausgabe_dir"
puts [format "%-6s %-28s %-9s %7s  %s" Person Datei Pixel Bytes Optionen]
puts [string repeat "-" 84]
set varianten {
    bild          {}
    gitter_rahmen {-grid solid -frame 6}
    maske         {-grid dotted -mask MASKE}
    kontrast      {-resolution 12 -quality 95}
}
foreach {name bilder} [aufnahmen] {
    lassign [lindex $bilder 0] n_y n_x werte
    # cells without pressure masked
    set maske {}
    foreach v $werte {lappend maske [expr {$v <= 0}]}
    foreach {variante optionen} $varianten {
        set optionen [string map [list MASKE [list $maske]] $optionen]
        if {$variante eq "kontrast"} {
            bild eval {::druckbild::photo_configure colorcontrast 3}
        }
        set jpeg [bild eval [list ::druckbild::jpegdata {*}$optionen $werte $n_y $n_x]]
        bild eval {::druckbild::photo_configure colorcontrast 0}
        set datei [file join $ausgabe_dir ${name}_$variante.jpg]
        set f [open $datei wb]
        puts -nonewline $f $jpeg
        close $f
        set anzeige [expr {$variante eq "maske" ? "-grid dotted -mask {...}" : $optionen}]
        if {$variante eq "kontrast"} {append anzeige " (colorcontrast 3)"}
        puts [format "%-6s %-28s %-9s %7d  %s" $name [file tail $datei] [jpeg_masse $jpeg] \
                  [string length $jpeg] $anzeige]
    }
}
puts "Bilder: rot = h\u00f6chster Druck, violett = niedrigster, wei\u00df = kein Druck,\
hellgrau = maskiert."
interp delete bild
