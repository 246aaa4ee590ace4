# The archive of sessions (demo/archiv.tcl) in an SQLite file: saving and
# opening a session of 300 frames of 64 x 64 cells, against writing and
# reading the same frames as a text file (the floor: one line of values per
# frame; and the recording format through the viewer's reader), and the
# listing of 10,000 sessions.
if {[catch {package require tdbc::sqlite3} fehler]} {
    puts "archive: left out ($fehler; Debian: tcl8.6-tdbc-sqlite3)"
    return
}
source [file join $bench_dir .. demo archiv.tcl]
source [file join $bench_dir .. demo aufnahme.tcl]

proc bench_archiv {} {
    set ordner [exec mktemp -d]
    try {
        set basis [bench_bild 64]
        set bilder {}
        for {set i 0} {$i < 300} {incr i} {
            lappend bilder [lmap v $basis {expr {$v ? $v + $i % 7 : 0}}]
        }
        set sitzung [dict create klient "Bank 300" zeitpunkt "2026-05-04 10:00:00" \
                         zeilen 64 spalten 64 periode_ms 40 bilder $bilder]
        set a [::archiv::oeffnen -datei [file join $ordner archiv.sqlite3]]
        set ids {}
        set speichern [bench_mal 5 {lappend ids [::archiv::speichern $a $sitzung]}]
        set oeffnen [bench_mal 5 {::archiv::laden $a [lindex $ids 0]}]
        set text [file join $ordner bilder.txt]
        set schreiben [bench_mal 5 {
            set f [open $text w]
            foreach b $bilder {
                puts $f $b
            }
            close $f
        }]
        set lesen [bench_mal 5 {
            set f [open $text r]
            set gelesen {}
            while {[gets $f zeile] >= 0} {
                llength $zeile
                lappend gelesen $zeile
            }
            close $f
        }]
        set aufnahme [file join $ordner aufnahme.txt]
        set aufnahme_schreiben [bench_mal 3 {
            set f [open $aufnahme w]
            foreach b $bilder {
                for {set r 63} {$r >= 0} {incr r -1} {
                    puts $f "$r: [lrange $b [expr {$r * 64}] [expr {$r * 64 + 63}]]"
                }
            }
            close $f
        }]
        set aufnahme_lesen [bench_mal 3 {::aufnahme::lesen $aufnahme}]
        set groesse [file size [file join $ordner archiv.sqlite3]]
        puts [format "%-44s %9.1f ms  (%.2f x the text file's %.1f ms;\
                      recording format %.1f ms)" \
                  "archive: save 300 frames 64x64" $speichern [expr {$speichern / $schreiben}] \
                  $schreiben $aufnahme_schreiben]
        puts [format "%-44s %9.1f ms  (%.2f x the text file's %.1f ms;\
                      recording format %.1f ms)" \
                  "archive: open 300 frames 64x64" $oeffnen [expr {$oeffnen / $lesen}] \
                  $lesen $aufnahme_lesen]
        puts [format "%-44s %9.1f MB per session (text file %.1f MB)" "archive: size" \
                  [expr {$groesse / 5.0 / 1e6}] [expr {[file size $text] / 1e6}]]
        ::archiv::schliessen $a

        # 10,000 sessions of one small frame each, written in one transaction
        set a [::archiv::oeffnen -datei [file join $ordner liste.sqlite3]]
        set db ${a}_db
        ::archiv::transaktion $a {
            set st [$db prepare {INSERT INTO sitzung (klient, klient_suche, titel, zeitpunkt,
                station, notizen, kalibrierung_name, kalibrierung, zeilen, spalten, periode_ms,
                anzahl_bilder) VALUES (:k, :s, '', :z, 'Station 1', '', '', '', 1, 1, '', 1)}]
            for {set i 0} {$i < 10000} {incr i} {
                set zeit [clock format [expr {1767225600 + $i * 3607}] \
                              -format {%Y-%m-%d %H:%M:%S} -gmt 1]
                $st allrows [list k "Klient $i" s "klient $i" z $zeit]
            }
            $st close
        }
        set liste [bench_mal 5 {set eintraege [::archiv::liste $a]}]
        set suche [bench_mal 5 {::archiv::liste $a -klient "nt 12" -von 2026-01-01 -bis 2026-12-31}]
        puts [format "%-44s %9.1f ms  ([llength $eintraege] sessions; limit 100 ms)" \
                  "archive: list 10,000 sessions" $liste]
        puts [format "%-44s %9.1f ms" "archive: search client and dates" $suche]
        ::archiv::schliessen $a
    } finally {
        file delete -force $ordner
    }
}

# Milliseconds of a script, the best of n runs.
proc bench_mal {n script} {
    set best Inf
    for {set i 0} {$i < $n} {incr i} {
        set t [lindex [time {uplevel 1 $script} 1] 0]
        set best [expr {min($best, $t / 1000.0)}]
    }
    return $best
}

bench_archiv
