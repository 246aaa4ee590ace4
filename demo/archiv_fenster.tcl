# The archive in the fitter's view (key a): the sessions listed and searched
# by client and date, the recording shown stored as a session with its
# zones, snapshots and figures, a session opened in the view, renamed,
# deleted, exported or imported as a JSON file, and two sessions compared
# (vergleich.tcl in a process of its own).  The archive is that of
# archiv.tcl: -archiv datei, -postgres "host=... dbname=...", or the
# user's data folder.

namespace eval ::archivfenster {
    variable eingabe
    array set eingabe {klient "" von "" bis "" titel "" notizen ""}
    variable ort {}            ;# options of ::archiv::oeffnen
}

# Runs skript with the archive open in variable a; an error goes to the
# view's message line.
proc ::archivfenster::mit_archiv {skript} {
    variable ort
    if {[namespace which ::archiv::oeffnen] eq ""} {
        source [file join $::anpassung::hier archiv.tcl]
    }
    if {[catch {
        set a [::archiv::oeffnen {*}$ort]
        try {
            uplevel 1 [list set a $a]
            uplevel 1 $skript
        } finally {
            ::archiv::schliessen $a
        }
    } fehler]} {
        ::anpassung::melde $fehler fehler
        return 0
    }
    return 1
}

proc ::archivfenster::zeigen {} {
    variable eingabe
    set w .archiv
    if {[winfo exists $w]} {
        raise $w
        liste
        return
    }
    toplevel $w
    wm title $w "Archiv der Sitzungen"
    ttk::frame $w.suche -padding 6
    ttk::label $w.suche.l1 -text "Klient"
    ttk::entry $w.suche.klient -width 24 -textvariable ::archivfenster::eingabe(klient)
    ttk::label $w.suche.l2 -text "von (JJJJ-MM-TT)"
    ttk::entry $w.suche.von -width 11 -textvariable ::archivfenster::eingabe(von)
    ttk::label $w.suche.l3 -text "bis"
    ttk::entry $w.suche.bis -width 11 -textvariable ::archivfenster::eingabe(bis)
    ttk::button $w.suche.los -text "Suchen" -command ::archivfenster::liste
    pack {*}[winfo children $w.suche] -side left -padx 2
    tablelist::tablelist $w.liste -columns {0 Nr right 0 Klient left 0 Titel left 0 Zeitpunkt left
        0 Station left 0 Bilder right} -height 14 -width 100 -stretch all -selectmode extended \
        -background white
    ttk::frame $w.sitzung -padding 6
    ttk::label $w.sitzung.l1 -text "Titel"
    ttk::entry $w.sitzung.titel -width 30 -textvariable ::archivfenster::eingabe(titel)
    ttk::label $w.sitzung.l2 -text "Notizen"
    ttk::entry $w.sitzung.notizen -width 50 -textvariable ::archivfenster::eingabe(notizen)
    pack {*}[winfo children $w.sitzung] -side left -padx 2
    ttk::frame $w.knoepfe -padding 6
    foreach {name text befehl} {
        speichern "Gezeigte Aufnahme speichern" speichern
        oeffnen "\u00d6ffnen" oeffnen
        umbenennen "Titel \u00e4ndern" umbenennen
        loeschen "L\u00f6schen \u2026" loeschen
        export "Exportieren \u2026" exportieren
        import "Importieren \u2026" importieren
        vergleich "Zwei vergleichen" vergleichen
    } {
        ttk::button $w.knoepfe.$name -text $text -command ::archivfenster::$befehl
        pack $w.knoepfe.$name -side left -padx 2
    }
    pack $w.suche -fill x
    pack $w.liste -fill both -expand 1 -padx 6
    pack $w.sitzung $w.knoepfe -fill x
    tooltip::tooltip $w.knoepfe.speichern "Speichert die gezeigte Aufnahme mit Bildern, Zonen,\nSchnappsch\u00fcssen und Kennzahlen; Klient, Titel und Notizen aus den Feldern."
    tooltip::tooltip $w.knoepfe.vergleich "Zwei markierte Sitzungen: die \u00e4ltere als A (vorher), die neuere als B (nachher)."
    bind $w.suche.klient <Return> ::archivfenster::liste
    liste
}

proc ::archivfenster::liste {} {
    variable eingabe
    set optionen {}
    foreach feld {klient von bis} {
        if {[string trim $eingabe($feld)] ne ""} {
            lappend optionen -$feld [string trim $eingabe($feld)]
        }
    }
    mit_archiv {
        set eintraege [::archiv::liste $a {*}$optionen]
    }
    if {![info exists eintraege]} return
    .archiv.liste delete 0 end
    foreach e $eintraege {
        .archiv.liste insert end [list [dict get $e id] [dict get $e klient] [dict get $e titel] \
            [dict get $e zeitpunkt] [dict get $e station] [dict get $e anzahl_bilder]]
    }
    ::anpassung::melde "[llength $eintraege] Sitzungen"
}

# The ids of the sessions marked in the list.
proc ::archivfenster::markiert {} {
    lmap zeile [.archiv.liste curselection] {lindex [.archiv.liste get $zeile] 0}
}

proc ::archivfenster::eine {} {
    set ids [markiert]
    if {[llength $ids] != 1} {
        ::anpassung::melde "Bitte eine Sitzung markieren" fehler
        return ""
    }
    return [lindex $ids 0]
}

# The recording shown as a session: its frames, the zones with their
# figures in the window, the snapshots with the figures of their windows,
# the window's figures.
proc ::archivfenster::aus_ansicht {} {
    variable eingabe
    set k $::anpassung::k
    set kal [dict get $k kal]
    set kal_text ""
    if {[dict size $kal]} {
        set f [open $::anpassung::opt(-kalibrierung) r]
        fconfigure $f -encoding utf-8
        set kal_text [read $f]
        close $f
    }
    set ohne {gruende plus}
    set zonen {}
    foreach z [::kennzahlen::zonen $k [dict get $::anpassung::fenster mittel_rechen] $::anpassung::zonen] {
        lassign [dict get $z bereich] z0 s0 z1 s1
        lappend zonen [dict create name [dict get $z name] zeile0 $z0 spalte0 $s0 zeile1 $z1 \
                           spalte1 $s1 kennzahlen [dict filter $z key anteil spitze mittel]]
    }
    set schnapp {}
    foreach s $::anpassung::schnappschuesse {
        lassign $s name von bis
        set f [::anpassung::fenster_berechnen $von $bis]
        lappend schnapp [dict create name $name von $von bis $bis \
            kennzahlen [dict remove [dict get $f kennzahlen] {*}$ohne]]
    }
    dict create klient [string trim $eingabe(klient)] titel $eingabe(titel) \
        zeitpunkt [clock format [clock seconds] -format {%Y-%m-%d %H:%M:%S}] \
        station [info hostname] notizen $eingabe(notizen) \
        kalibrierung_name [expr {[dict size $kal] ? [dict get $kal name] : ""}] \
        kalibrierung $kal_text zeilen [dict get $k n_y] spalten [dict get $k n_x] \
        periode_ms [dict get $k periode] \
        bilder [lmap bild $::anpassung::bilder {
            lassign $bild - - werte maske
            lmap w $werte m $maske {expr {$m ? -1 : $w}}}] \
        zonen $zonen schnappschuesse $schnapp \
        kennzahlen [dict remove [dict get $::anpassung::fenster kennzahlen] {*}$ohne]
}

proc ::archivfenster::speichern {} {
    if {[catch {aus_ansicht} sitzung]} {
        ::anpassung::melde $sitzung fehler
        return
    }
    if {[mit_archiv {set id [::archiv::speichern $a $sitzung]}]} {
        liste
        ::anpassung::melde "Sitzung $id gespeichert"
    }
}

# Opens a session in the view: its frames as a recording of their own,
# its zones and snapshots (shown as the window's mean image).
proc ::archivfenster::oeffnen {} {
    set id [eine]
    if {$id eq "" || ![mit_archiv {set s [::archiv::laden $a $id]}]} return
    set n_y [dict get $s zeilen]
    set n_x [dict get $s spalten]
    set bilder [lmap werte [dict get $s bilder] {::aufnahme::bild_aus_zeilen $n_y $n_x [list $werte]}]
    set name "Archiv $id: [dict get $s klient]"
    dict set ::anpassung::quellen $name [list bilder $bilder]
    .steuer.aufnahme configure -values [dict keys $::anpassung::quellen]
    set ::ansicht::anzeige(name) $name
    ::ansicht::aufnahme_waehlen $name
    if {$::anpassung::name ne $name} return
    set ::anpassung::zonen [lmap z [dict get $s zonen] {
        list [dict get $z name] [list [dict get $z zeile0] [dict get $z spalte0] \
                                     [dict get $z zeile1] [dict get $z spalte1]]}]
    set ::anpassung::schnappschuesse [lmap sch [dict get $s schnappschuesse] {
        list [dict get $sch name] [dict get $sch von] [dict get $sch bis] mittel [dict get $sch von]}]
    ::ansicht::schnappschuesse_anbieten
    set ::archivfenster::eingabe(titel) [dict get $s titel]
    set ::archivfenster::eingabe(notizen) [dict get $s notizen]
    ::ansicht::alles
    ::anpassung::melde "Sitzung $id: [dict get $s klient], [dict get $s zeitpunkt]"
}

proc ::archivfenster::umbenennen {} {
    variable eingabe
    set id [eine]
    if {$id ne "" && [mit_archiv {::archiv::umbenennen $a $id $eingabe(titel)}]} {
        liste
    }
}

proc ::archivfenster::loeschen {} {
    set ids [markiert]
    if {![llength $ids]} return
    if {[tk_messageBox -parent .archiv -type yesno -icon warning -title "L\u00f6schen" \
             -message "[llength $ids] Sitzung(en) mit allen Bildern endg\u00fcltig l\u00f6schen?"] ne "yes"} {
        return
    }
    mit_archiv {
        foreach id $ids {
            ::archiv::loeschen $a $id
        }
    }
    liste
}

proc ::archivfenster::exportieren {} {
    set id [eine]
    if {$id eq ""} return
    set datei [tk_getSaveFile -parent .archiv -title "Sitzung exportieren" -defaultextension .json \
                   -initialfile sitzung_$id.json -filetypes {{JSON {.json}}}]
    if {$datei ne "" && [mit_archiv {::archiv::exportieren $a $id $datei}]} {
        ::anpassung::melde "Sitzung $id exportiert: [file tail $datei]"
    }
}

proc ::archivfenster::importieren {} {
    set datei [tk_getOpenFile -parent .archiv -title "Sitzung importieren" \
                   -filetypes {{JSON {.json}} {Alle *}}]
    if {$datei ne "" && [mit_archiv {set id [::archiv::importieren $a $datei]}]} {
        liste
        ::anpassung::melde "[file tail $datei] als Sitzung $id importiert"
    }
}

# Two marked sessions compared in a window of their own: the older as A.
proc ::archivfenster::vergleichen {} {
    variable ort
    set ids [lsort -integer [markiert]]
    if {[llength $ids] != 2} {
        ::anpassung::melde "Bitte zwei Sitzungen markieren" fehler
        return
    }
    set optionen {}
    foreach {option wert} $ort {
        lappend optionen [expr {$option eq "-datei" ? "-archiv" : $option}] $wert
    }
    if {$::anpassung::opt(-kalibrierung) ne ""} {
        lappend optionen -kalibrierung $::anpassung::opt(-kalibrierung)
    }
    exec [info nameofexecutable] [file join $::anpassung::hier anpassung.tcl] \
        -build $::anpassung::opt(-build) {*}$optionen \
        -notizen $::archivfenster::eingabe(notizen) \
        -vergleich archiv:[lindex $ids 0] archiv:[lindex $ids 1] &
}
