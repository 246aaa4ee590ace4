# A second station writing into the same archive, started by archiv.test.
#   tclsh8.6 kind.tcl quelle art ort viele  praefix anzahl
#       saves `anzahl` small sessions, clients praefix-1 …; prints the ids
#       and "wiederholt n", how often a transaction was begun again
#       (ARCHIV_WARTEZEIT in the environment: the busy timeout in ms)
#   tclsh8.6 kind.tcl quelle art ort langsam n_bilder
#       saves one session of n_bilder frames; prints "mitten" after the
#       fifth frame has gone into the open transaction, then waits there
#       (to be ended with SIGKILL)
lassign $argv quelle art ort modus a1 a2
source [file join $quelle demo archiv.tcl]
source [file join $quelle tests archiv beispiel.tcl]
fconfigure stdout -buffering line
# a shorter busy timeout, so that transactions find the archive busy
if {[info exists ::env(ARCHIV_WARTEZEIT)]} {
    set ::archiv::wartezeit $::env(ARCHIV_WARTEZEIT)
}
set a [::archiv::oeffnen [expr {$art eq "sqlite" ? "-datei" : "-postgres"}] $ort]
switch -- $modus {
    viele {
        for {set i 1} {$i <= $a2} {incr i} {
            puts [::archiv::speichern $a [beispiel $a1-$i 2 8 8 [pid]]]
        }
        puts "wiederholt $::archiv::wiederholungen"
    }
    langsam {
        proc bei_bild {n} {
            if {$n == 5} {
                puts mitten
                after 60000
            }
        }
        ::archiv::speichern $a [beispiel halb $a1 12 10] -fortschritt bei_bild
        puts fertig
    }
}
::archiv::schliessen $a
