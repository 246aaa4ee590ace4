# The checks of the Tk tests that run a view headless and read its files
# back (anpassung_export.tcl, vergleich_export.tcl): each check printed as
# "ok" or "FALSCH" with its text, the failures counted in ::fehler.
set fehler 0
proc pruefe {text bedingung} {
    set gut [uplevel 1 [list expr $bedingung]]
    puts "[expr {$gut ? "ok    " : "FALSCH"}] $text"
    if {!$gut} {incr ::fehler}
}

# A file's text (UTF-8).
proc lies {datei} {
    set f [open $datei r]
    fconfigure $f -encoding utf-8
    set text [read $f]
    close $f
    return $text
}
