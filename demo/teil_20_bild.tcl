# False-colour JPEG images of the first frame of each recording: plain,
# with a solid grid and a border, and with the empty cells masked on a
# dotted grid.  The files go to the demo's output folder.  Runs in an
# interpreter of its own: the station package brings its own
# ::druckbild::analyse.
::aufnahme::stationsinterp bild $build

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
foreach {name bilder} [aufnahmen] {
    lassign [lindex $bilder 0] n_y n_x werte
    foreach {variante optionen kontrast} [::aufnahme::varianten] {
        set jpeg [::aufnahme::variante_jpeg bild $optionen $kontrast $werte $n_y $n_x]
        set datei [file join $ausgabe_dir ${name}_$variante.jpg]
        set f [open $datei wb]
        puts -nonewline $f $jpeg
        close $f
        set anzeige [string map {MASKE \{...\}} $optionen]
        if {$kontrast} {append anzeige " (colorcontrast $kontrast)"}
        puts [format "%-6s %-28s %-9s %7d  %s" $name [file tail $datei] [jpeg_masse $jpeg] \
                  [string length $jpeg] $anzeige]
    }
}
puts "Bilder: rot = h\u00f6chster Druck, violett = niedrigster, wei\u00df = kein Druck,\
hellgrau = maskiert."
interp delete bild
