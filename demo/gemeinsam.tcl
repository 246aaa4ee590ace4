# Pieces shared by the station viewer (station.tcl) and the fitter's view
# (anpassung.tcl): loading the packages, the recordings on offer, the
# mapping of mat positions to canvas pixels, reading a result's values,
# the sit-bone ellipses as polygons, and writing a window to a picture
# file.  Plain Tcl and Tk; sources aufnahme.tcl (the recording reader).

namespace eval ::gemeinsam {
    variable hier [file dirname [file normalize [info script]]]
    namespace export zahlen wert
}

source [file join $::gemeinsam::hier aufnahme.tcl]

# The analysis packages in this interpreter, the station package with the
# image commands in the child interpreter "bild" (it brings its own
# ::druckbild::analyse), further packages named in zusaetzlich (name
# version ...), and Img's JPEG reader.  Errors say what is missing.
proc ::gemeinsam::pakete {build {zusaetzlich {}}} {
    set build [file normalize $build]
    lappend ::auto_path $build
    foreach p {Druckbildanalyse Beckenrotation Kalvora} {
        if {[catch {package require $p} fehler]} {
            error "Paket $p nicht geladen ($fehler); -build nennt den Build-Ordner mit pkgIndex.tcl"
        }
    }
    foreach {p version} $zusaetzlich {
        if {[catch {package require $p $version} fehler]} {
            error "Paket $p nicht geladen ($fehler); -build nennt den Build-Ordner mit pkgIndex.tcl"
        }
    }
    if {[catch {::aufnahme::stationsinterp bild $build} fehler]} {
        error "Paket Kmqstationd nicht geladen ($fehler)"
    }
    if {[catch {package require img::jpeg} fehler]} {
        error "Img-Paket fehlt ($fehler): zum Anzeigen von JPEG-Daten im Tk-Photo (Debian: libtk-img)"
    }
}

# The recordings on offer: the bundled ones, the files given, and the two
# generated seated sequences; a dict name -> {datei path} or {erzeugt n}.
proc ::gemeinsam::quellen {dateien} {
    set quellen [dict create]
    foreach {name datei} [::aufnahme::gebuendelt] {
        dict set quellen $name [list datei $datei]
    }
    foreach datei $dateien {
        dict set quellen [file tail $datei] [list datei $datei]
    }
    dict set quellen erzeugt32 {erzeugt 32}
    dict set quellen erzeugt64 {erzeugt 64}
    return $quellen
}

# The frames of a source of quellen (errors carry the reader's message).
proc ::gemeinsam::bilder_der_quelle {quelle} {
    lassign $quelle art wert
    if {$art eq "datei"} {
        return [::aufnahme::lesen $wert]
    }
    if {$art eq "bilder"} {
        # frames given (a session of the archive)
        return $wert
    }
    return [::aufnahme::erzeugt $wert 100]
}

# Resolution (pixels per cell) that fits an n_y x n_x frame with a border
# of rand pixels into an area of breite x hoehe, and the image's corner:
# a list {aufloesung x0 y0}.
proc ::gemeinsam::einpassen {breite hoehe n_y n_x rand} {
    set aufloesung [expr {max(2, min(($breite - 2 * $rand - 20) / $n_x,
                                     ($hoehe - 2 * $rand - 20) / $n_y))}]
    list $aufloesung [expr {($breite - $n_x * $aufloesung - 2 * $rand) / 2}] \
                     [expr {($hoehe - $n_y * $aufloesung - 2 * $rand) / 2}]
}

# Canvas position of a point in cells (x = column, y = row) on an image
# drawn by ::druckbild::jpegdata with its corner at (x0, y0).  The
# rasteriser draws row n_y - 1 at the top; within a cell's square, pixel
# column k samples x = column - 0.5 + k / res and pixel row l samples
# y = row + 0.4 - l / res.  So the point (x, y) lies (x + 0.5) * res to the
# right of the image's left edge and (n_y - 0.6 - y) * res below its top
# edge, inside the border.
proc ::gemeinsam::pixel {aufloesung rand x0 y0 n_y x y} {
    list [expr {$x0 + $rand + ($x + 0.5) * $aufloesung}] \
         [expr {$y0 + $rand + ($n_y - 0.6 - $y) * $aufloesung}]
}

# The points (in cells, x y x y ...) of a sit-bone ellipse of a std+
# result, through its vertices and co-vertices (n even).
proc ::gemeinsam::ellipse_punkte {e {n 48}} {
    lassign [punkt [dict get $e mitte]] mx my
    lassign [punkt [dict get $e s1]] ax ay
    lassign [punkt [dict get $e n1]] bx by
    set punkte {}
    for {set k 0} {$k < $n} {incr k} {
        set t [expr {$k * acos(-1) / ($n / 2)}]
        lappend punkte [expr {$mx + cos($t) * ($ax - $mx) + sin($t) * ($bx - $mx)}] \
                       [expr {$my + cos($t) * ($ay - $my) + sin($t) * ($by - $my)}]
    }
    return $punkte
}

proc ::gemeinsam::punkt {d} {
    list [dict get $d x] [dict get $d y]
}

# A value of a result, -1 where the result has none (an empty dict).
proc ::gemeinsam::wert {d schluessel} {
    expr {[dict exists $d $schluessel] ? [dict get $d $schluessel] : -1}
}

# Formats numbers; -1 (no value) shows as a dash.
proc ::gemeinsam::zahlen {format args} {
    foreach z $args {
        if {$z == -1} {
            return "\u2013"
        }
    }
    format $format {*}$args
}

# Writes a window (canvas or toplevel) to a picture file: PNG, or JPEG for
# a name ending in .jpg or .jpeg.
proc ::gemeinsam::foto_schreiben {datei fenster} {
    package require img::window
    set format [expr {[string match -nocase *.jp*g $datei] ? {jpeg -quality 65 -optimize} : "png"}]
    set p [image create photo -format window -data $fenster]
    try {
        $p write $datei -format $format
    } finally {
        image delete $p
    }
}
