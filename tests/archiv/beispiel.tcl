# Sessions for the archive's tests and benchmark: random frames with cells
# without measurement (-1), zones, snapshots and figures of every kind a
# figure may take (doubles that need all 17 digits, words).

proc beispiel {klient {n_bilder 5} {zeilen 12} {spalten 10} {saat 1}} {
    expr {srand($saat)}
    set bilder {}
    for {set b 0} {$b < $n_bilder} {incr b} {
        set werte {}
        for {set i 0} {$i < $zeilen * $spalten} {incr i} {
            set r [expr {rand()}]
            lappend werte [expr {$r < 0.05 ? -1 : $r < 0.3 ? 0 : int(rand() * 250)}]
        }
        lappend bilder $werte
    }
    set z1 [expr {$zeilen / 2}]
    set s1 [expr {$spalten / 2}]
    return [dict create klient $klient titel "vorher" zeitpunkt "2026-03-14 09:26:53" \
        station "Station 2" notizen "Sattel 143 mm,\nSitzhöhe 71,5 cm" \
        kalibrierung_name "matte_12x10.json" \
        kalibrierung {{"zeilen": 12, "spalten": 10, "raster_mm": [25.4, 25.4], "verstaerkung": 0.5}} \
        zeilen $zeilen spalten $spalten periode_ms 40 bilder $bilder \
        zonen [list \
            [dict create name "links hinten" zeile0 0 spalte0 0 zeile1 [expr {$z1 - 1}] \
                 spalte1 [expr {$s1 - 1}] kennzahlen [dict create anteil [expr {100.0 / 3}]]] \
            [dict create name "rechts vorn" zeile0 $z1 spalte0 $s1 zeile1 [expr {$zeilen - 1}] \
                 spalte1 [expr {$spalten - 1}] kennzahlen {}]] \
        schnappschuesse [list [dict create name "ruhig" von 0 bis [expr {$n_bilder - 1}] \
                                   kennzahlen [dict create spitze 212 mittel [expr {0.1 + 0.2}]]]] \
        kennzahlen [dict create spitze_roh 249 mittel_roh [expr {1 / 3.0}] \
                        klein 1e-300 sitzbeinabstand "nicht messbar"]]
}
