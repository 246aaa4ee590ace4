# The fitter's archive of sessions: a database reached through TDBC, an
# SQLite file in the user's data folder by default, or a PostgreSQL database
# that several stations of a studio share.
#
#   set a [::archiv::oeffnen ?-datei pfad? ?-postgres "host=... dbname=..."?]
#   set id [::archiv::speichern $a $sitzung ?-fortschritt befehl?]
#   ::archiv::laden $a $id            the session as stored, with its id
#   ::archiv::liste $a ?-klient text? ?-von JJJJ-MM-TT? ?-bis JJJJ-MM-TT? ?-grenze n?
#   ::archiv::umbenennen $a $id titel
#   ::archiv::loeschen $a $id
#   ::archiv::exportieren $a $id datei   one session as a JSON file
#   ::archiv::importieren $a datei       such a file as a new session
#   ::archiv::schliessen $a
#
# A session is a dict:
#   klient titel zeitpunkt ("JJJJ-MM-TT hh:mm:ss") station notizen
#   kalibrierung_name kalibrierung (the calibration file's JSON text, or "")
#   zeilen spalten periode_ms ("" when unknown)
#   bilder           list of frames, each a flat list of zeilen × spalten
#                    integers, row 0 first, -1 where a cell has no measurement
#   zonen            list of dicts {name zeile0 spalte0 zeile1 spalte1
#                    ?kennzahlen dict?}, bounds inclusive
#   schnappschuesse  list of dicts {name von bis ?kennzahlen dict?}, the frame
#                    window von … bis (0-based, inclusive)
#   kennzahlen       dict figure name → value (a number or a word), kept as text
#
# Every write is one transaction: a save that dies half-way leaves the
# archive as it was.  Every query binds its values.  The same checks guard a
# save and an import, so whatever is stored can be exported and imported
# again.  Errors are Tcl errors with the errorCode {ARCHIV reason}.

package require tdbc
package require json
package require json::write

namespace eval ::archiv {
    # The schema's version; each step in schema_schritte brings an archive
    # from the version before to its own.
    variable version 2
    variable format druckmessung-archiv
    variable json_format druckmessung-sitzung
    variable zaehler 0
    # Bounds of what a session may hold (a save beyond them, or an import,
    # is refused).
    variable grenzen {
        text 1000  notizen 1000000  kalibrierung 1000000
        seite 256  bilder 20000  werte 8388608
        zonen 100  schnappschuesse 1000  kennzahlen 1000  kennzahl_wert 1000
        datei 67108864
    }
    # How long a writer waits for another one's transaction (ms), and how
    # often a transaction that still found the archive busy is begun again.
    variable wartezeit 5000
    variable versuche 20
    variable wiederholungen 0      ;# transactions begun again so far
    # a number as JSON writes it
    variable zahl {^-?(?:0|[1-9][0-9]*)(?:\.[0-9]+)?(?:[eE][-+]?[0-9]+)?$}
}

proc ::archiv::fehler {grund text} {
    return -code error -errorcode [list ARCHIV $grund] $text
}

# ---------------------------------------------------------------------------
# Opening and the schema

# The default archive file: $XDG_DATA_HOME (or ~/.local/share)/druckmessung/archiv.sqlite3
proc ::archiv::standarddatei {} {
    if {[info exists ::env(XDG_DATA_HOME)] && [file pathtype $::env(XDG_DATA_HOME)] eq "absolute"} {
        set basis $::env(XDG_DATA_HOME)
    } else {
        set basis [file join [file normalize ~] .local share]
    }
    return [file join $basis druckmessung archiv.sqlite3]
}

proc ::archiv::oeffnen {args} {
    set datei ""
    set postgres ""
    foreach {option wert} $args {
        switch -- $option {
            -datei    {set datei $wert}
            -postgres {set postgres $wert}
            default {
                fehler AUFRUF "unbekannte Option \"$option\": -datei oder -postgres"
            }
        }
    }
    if {[llength $args] % 2} {
        fehler AUFRUF "Option \"[lindex $args end]\" ohne Wert"
    }
    variable zaehler
    set a ::archiv::a[incr zaehler]
    if {$postgres ne ""} {
        oeffnen_postgres $a $postgres
    } else {
        if {$datei eq ""} {
            set datei [standarddatei]
        }
        oeffnen_sqlite $a [file normalize $datei]
    }
    return $a
}

proc ::archiv::schliessen {a} {
    variable $a
    upvar 0 $a z
    catch {$z(db) close}
    unset z
}

# An SQLite archive.  A new file is made whole under a temporary name,
# readable by its owner only, and then linked to its name, so that an
# archive file is never seen without its schema.  An existing file is
# checked before anything is written to it: a file that is not an SQLite
# database, or holds another program's tables, or an archive newer than
# this program is refused and left as it is.
proc ::archiv::oeffnen_sqlite {a datei} {
    package require tdbc::sqlite3
    if {![file exists $datei]} {
        anlegen_sqlite $datei
    }
    if {![file isfile $datei]} {
        fehler DATEI "$datei ist keine Datei"
    }
    set f [open $datei rb]
    set kopf [read $f 100]
    close $f
    if {[string length $kopf] == 0} {
        fehler FREMD "$datei ist leer und kein Archiv; sie bleibt unverändert"
    }
    if {[string length $kopf] < 100 || [string range $kopf 0 15] ne "SQLite format 3\0"} {
        fehler FREMD "$datei ist kein Archiv (keine SQLite-Datenbank); sie bleibt unverändert"
    }
    variable wartezeit
    variable $a
    upvar 0 $a z
    set z(art) sqlite
    set z(ort) $datei
    set z(db) ${a}_db
    try {
        tdbc::sqlite3::connection create $z(db) $datei -timeout $wartezeit
        set tabellen [dict keys [$z(db) tables]]
        if {"archiv" ni $tabellen} {
            fehler FREMD "$datei ist die Datenbank eines anderen Programms\
                (keine Tabelle archiv); sie bleibt unverändert"
        }
        schema_pruefen $a
    } on error {meldung optionen} {
        catch {$z(db) close}
        unset z
        if {[lindex [dict get $optionen -errorcode] 0] ne "ARCHIV"} {
            fehler BESCHAEDIGT "$datei ist beschädigt oder kein Archiv ($meldung);\
                sie bleibt unverändert"
        }
        return -options $optionen $meldung
    }
}

proc ::archiv::anlegen_sqlite {datei} {
    set ordner [file dirname $datei]
    if {![file isdirectory $ordner]} {
        file mkdir $ordner
        file attributes $ordner -permissions 0700
    }
    set neu [file join $ordner .[file tail $datei].[pid].[clock microseconds]]
    close [open $neu {WRONLY CREAT EXCL} 0600]
    file attributes $neu -permissions 0600
    variable wartezeit
    set db ::archiv::neu[pid]
    try {
        tdbc::sqlite3::connection create $db $neu -timeout $wartezeit
        $db allrows {PRAGMA journal_mode = WAL}
        set z(art) sqlite
        set z(db) $db
        transaktion_db z {
            schema_anlegen z 0
        }
        $db close
        # A hard link fails where another station made the file meanwhile;
        # then that one is opened.
        catch {file link -hard $datei $neu}
    } finally {
        catch {$db close}
        file delete $neu
    }
}

# A PostgreSQL archive: the tables in the database's current schema, made
# or migrated under an advisory lock, so that stations starting together
# do it once.
proc ::archiv::oeffnen_postgres {a verbindung} {
    package require tdbc::postgres
    set optionen {}
    foreach paar [split $verbindung " "] {
        if {$paar eq ""} continue
        if {![regexp {^(host|port|dbname|user|password)=(.*)$} $paar -> schluessel wert]} {
            fehler AUFRUF "Verbindungsangabe \"$paar\" unbekannt:\
                host=, port=, dbname=, user=, password="
        }
        lappend optionen [dict get {host -host port -port dbname -database
            user -user password -password} $schluessel] $wert
    }
    variable $a
    upvar 0 $a z
    set z(art) postgres
    # for messages: the connection without its password
    set z(ort) "PostgreSQL [regsub -all {password=\S*} $verbindung {password=…}]"
    set z(db) ${a}_db
    if {[catch {tdbc::postgres::connection create $z(db) {*}$optionen} meldung]} {
        unset z
        fehler VERBINDUNG "keine Verbindung zum Archiv ($meldung)"
    }
    try {
        $z(db) allrows {SET client_min_messages = warning}
        transaktion $a {
            $z(db) allrows {SELECT pg_advisory_xact_lock(764537101)}
            set tabellen [$z(db) allrows -as lists {
                SELECT table_name FROM information_schema.tables
                WHERE table_schema = current_schema()}]
            if {"archiv" ni $tabellen} {
                foreach t {sitzung bild zone schnappschuss kennzahl} {
                    if {$t in $tabellen} {
                        fehler FREMD "die Datenbank hat eine fremde Tabelle $t\
                            und keine Tabelle archiv; sie bleibt unverändert"
                    }
                }
                schema_anlegen z 0
            }
        }
        schema_pruefen $a
    } on error {meldung optionen} {
        catch {$z(db) close}
        unset z
        return -options $optionen $meldung
    }
}

# The schema, one step per version.  Step 1: sessions and their frames,
# zones, snapshots and figures.  Step 2: the client's name case-folded for
# the search, and indexes for the search by client and date.
proc ::archiv::schema_schritte {art} {
    if {$art eq "sqlite"} {
        set id "INTEGER PRIMARY KEY AUTOINCREMENT"
        set ref INTEGER
        set c ""
    } else {
        set id "BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY"
        set ref BIGINT
        set c { COLLATE "C"}
    }
    return [list 1 [list \
        "CREATE TABLE archiv (schluessel TEXT PRIMARY KEY, wert TEXT NOT NULL)" \
        "CREATE TABLE sitzung (id $id, klient TEXT NOT NULL, titel TEXT NOT NULL,
            zeitpunkt TEXT$c NOT NULL, station TEXT NOT NULL, notizen TEXT NOT NULL,
            kalibrierung_name TEXT NOT NULL, kalibrierung TEXT NOT NULL,
            zeilen INTEGER NOT NULL, spalten INTEGER NOT NULL, periode_ms TEXT NOT NULL,
            anzahl_bilder INTEGER NOT NULL)" \
        "CREATE TABLE bild (sitzung $ref NOT NULL, nr INTEGER NOT NULL,
            werte TEXT NOT NULL, PRIMARY KEY (sitzung, nr))" \
        "CREATE TABLE zone (sitzung $ref NOT NULL, nr INTEGER NOT NULL, name TEXT NOT NULL,
            zeile0 INTEGER NOT NULL, spalte0 INTEGER NOT NULL,
            zeile1 INTEGER NOT NULL, spalte1 INTEGER NOT NULL, PRIMARY KEY (sitzung, nr))" \
        "CREATE TABLE schnappschuss (sitzung $ref NOT NULL, nr INTEGER NOT NULL,
            name TEXT NOT NULL, von INTEGER NOT NULL, bis INTEGER NOT NULL,
            PRIMARY KEY (sitzung, nr))" \
        "CREATE TABLE kennzahl (sitzung $ref NOT NULL, bezug TEXT NOT NULL,
            teil INTEGER NOT NULL, nr INTEGER NOT NULL, name TEXT NOT NULL,
            wert TEXT NOT NULL, PRIMARY KEY (sitzung, bezug, teil, nr))" \
        "INSERT INTO archiv (schluessel, wert) VALUES ('format', 'druckmessung-archiv')" \
        "INSERT INTO archiv (schluessel, wert) VALUES ('version', '1')" \
    ] 2 [list \
        "ALTER TABLE sitzung ADD COLUMN klient_suche TEXT$c NOT NULL DEFAULT ''" \
        ::archiv::klient_suche_fuellen \
        "CREATE INDEX sitzung_klient ON sitzung (klient_suche)" \
        "CREATE INDEX sitzung_zeitpunkt ON sitzung (zeitpunkt)" \
    ]]
}

# Runs the steps after version ab (in the caller's transaction) and
# records the new version.  z is the name of the archive's state array.
proc ::archiv::schema_anlegen {zname ab {bis ""}} {
    upvar 1 $zname z
    variable version
    if {$bis eq ""} {
        set bis $version
    }
    foreach {schritt befehle} [schema_schritte $z(art)] {
        if {$schritt <= $ab || $schritt > $bis} continue
        foreach befehl $befehle {
            if {[string match ::archiv::* $befehl]} {
                $befehl $z(db)
            } else {
                $z(db) allrows $befehl
            }
        }
    }
    $z(db) allrows {UPDATE archiv SET wert = :v WHERE schluessel = 'version'} [list v $bis]
}

proc ::archiv::klient_suche_fuellen {db} {
    set aendern [$db prepare {UPDATE sitzung SET klient_suche = :s WHERE id = :id}]
    try {
        foreach {id klient} [concat {*}[$db allrows -as lists {SELECT id, klient FROM sitzung}]] {
            $aendern allrows [list s [string tolower $klient] id $id]
        }
    } finally {
        $aendern close
    }
}

# The archive's version: refused when it is not this program's format or
# newer than this program, migrated when older.
proc ::archiv::schema_pruefen {a} {
    variable $a
    upvar 0 $a z
    variable format
    variable version
    set info [archiv_info $z(db)]
    if {![dict exists $info format] || [dict get $info format] ne $format
            || ![string is digit -strict [dict get $info version]]} {
        fehler FREMD "$z(ort) ist kein Archiv dieses Programms; es bleibt unverändert"
    }
    set v [dict get $info version]
    if {$v > $version} {
        fehler VERSION "$z(ort): das Archiv hat die Version $v, dieses Programm kennt nur\
            bis $version; es bleibt unverändert"
    }
    if {$v < $version} {
        transaktion $a {
            if {$z(art) eq "postgres"} {
                $z(db) allrows {SELECT pg_advisory_xact_lock(764537101)}
            }
            # another station may have migrated it meanwhile
            set v [dict get [archiv_info $z(db)] version]
            if {$v < $version} {
                schema_anlegen z $v
            }
        }
    }
}

proc ::archiv::archiv_info {db} {
    set info {version ""}
    foreach zeile [$db allrows -as lists {SELECT schluessel, wert FROM archiv}] {
        dict set info {*}$zeile
    }
    return $info
}

proc ::archiv::version {a} {
    variable $a
    upvar 0 $a z
    return [dict get [archiv_info $z(db)] version]
}

# ---------------------------------------------------------------------------
# Transactions

# Runs skript in the caller's frame as one transaction of archive a.  SQLite
# takes the write lock at the start (BEGIN IMMEDIATE), waiting up to the
# busy timeout for another writer; where the archive stays busy, or
# PostgreSQL reports a serialization failure or deadlock, the whole
# transaction is begun again, up to `versuche` times.
# With art "lesen" the transaction only reads, from one snapshot of the
# archive: SQLite without the write lock (BEGIN), PostgreSQL as REPEATABLE
# READ, so that a session deleted meanwhile is read whole or not at all.
proc ::archiv::transaktion {a skript {art schreiben}} {
    variable $a
    upvar 0 $a z
    tailcall ::archiv::transaktion_db $a $skript $art
}

proc ::archiv::transaktion_db {zname skript {art schreiben}} {
    upvar 1 $zname z
    variable versuche
    for {set versuch 1} {1} {incr versuch} {
        set code [catch {
            if {$z(art) eq "sqlite"} {
                $z(db) allrows [expr {$art eq "lesen" ? "BEGIN" : "BEGIN IMMEDIATE"}]
            } else {
                $z(db) begintransaction
                if {$art eq "lesen"} {
                    $z(db) allrows {SET TRANSACTION ISOLATION LEVEL REPEATABLE READ}
                }
            }
        } ergebnis optionen]
        if {$code == 0} {
            set code [catch {uplevel 1 $skript} ergebnis optionen]
            if {$code == 0} {
                set code [catch {
                    if {$z(art) eq "sqlite"} {
                        $z(db) allrows {COMMIT}
                    } else {
                        $z(db) commit
                    }
                    set ergebnis
                } ergebnis optionen]
            }
            if {$code != 0} {
                catch {
                    if {$z(art) eq "sqlite"} {
                        $z(db) allrows {ROLLBACK}
                    } else {
                        $z(db) rollback
                    }
                }
            }
        }
        if {$code == 0 || ![besetzt $z(art) $ergebnis $optionen] || $versuch >= $versuche} {
            break
        }
        incr ::archiv::wiederholungen
        after [expr {10 + int(rand() * 40 * $versuch)}]
    }
    if {$code == 1 && [besetzt $z(art) $ergebnis $optionen]} {
        fehler BESETZT "das Archiv ist besetzt (nach $versuch Versuchen): $ergebnis"
    }
    return -options [dict remove $optionen -level] -level 0 $ergebnis
}

proc ::archiv::besetzt {art meldung optionen} {
    if {$art eq "sqlite"} {
        return [regexp {database is locked|database table is locked|busy} $meldung]
    }
    set code [dict get $optionen -errorcode]
    return [expr {[lindex $code 0] eq "TDBC" && [lindex $code 2] in {40001 40P01}}]
}

# ---------------------------------------------------------------------------
# Checking a session

# Checks every field of a session against its type and bounds and returns
# it in the form it is stored in (integers canonical, frames as texts of
# single-space separated values).  Anything wrong refuses the whole session
# with a message naming the field.
proc ::archiv::pruefen {sitzung} {
    variable grenzen
    if {[catch {dict size $sitzung}]} {
        fehler FELD "die Sitzung ist kein Verzeichnis von Feldern"
    }
    variable zahl
    set pflicht {klient zeitpunkt zeilen spalten bilder}
    set erlaubt {klient titel zeitpunkt station notizen kalibrierung_name kalibrierung
        zeilen spalten periode_ms bilder zonen schnappschuesse kennzahlen id}
    foreach feld [dict keys $sitzung] {
        if {$feld ni $erlaubt} {
            fehler FELD "unbekanntes Feld \"[kurz $feld]\""
        }
    }
    foreach feld $pflicht {
        if {![dict exists $sitzung $feld]} {
            fehler FELD "das Feld $feld fehlt"
        }
    }
    set s {}
    foreach feld {klient titel station kalibrierung_name notizen kalibrierung} {
        set grenze [dict get $grenzen [expr {$feld in {notizen kalibrierung} ? $feld : "text"}]]
        set wert [dict_oder_leer $sitzung $feld]
        dict set s $feld [text_pruefen $feld $wert $grenze]
    }
    if {[string trim [dict get $s klient]] eq ""} {
        fehler FELD "klient ist leer"
    }
    if {[dict get $s kalibrierung] ne ""
            && [catch {json::json2dict [dict get $s kalibrierung]} kal]} {
        fehler FELD "kalibrierung ist kein JSON-Text"
    }
    set zeit [dict get $sitzung zeitpunkt]
    if {![regexp {^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d$} $zeit]
            || [catch {clock format [clock scan $zeit -format {%Y-%m-%d %H:%M:%S} -gmt 1] \
                           -format {%Y-%m-%d %H:%M:%S} -gmt 1} zurueck]
            || $zurueck ne $zeit} {
        fehler FELD "zeitpunkt \"[kurz $zeit]\" ist kein Zeitpunkt JJJJ-MM-TT hh:mm:ss"
    }
    dict set s zeitpunkt $zeit
    set seite [dict get $grenzen seite]
    foreach feld {zeilen spalten} {
        dict set s $feld [ganzzahl_pruefen $feld [dict get $sitzung $feld] 1 $seite]
    }
    set periode [dict_oder_leer $sitzung periode_ms]
    if {$periode ne "" && !([regexp $zahl $periode] && $periode > 0 && $periode <= 3600000)} {
        fehler FELD "periode_ms \"[kurz $periode]\" ist keine Zeit über 0 bis 3600000 ms"
    }
    dict set s periode_ms [als_text $periode]
    set n_zellen [expr {[dict get $s zeilen] * [dict get $s spalten]}]
    dict set s bilder [bilder_pruefen [dict get $sitzung bilder] $n_zellen]
    set n_bilder [llength [dict get $s bilder]]
    dict set s zonen {}
    set zonen [dict_oder_leer $sitzung zonen]
    set nr 0
    foreach zone [liste_pruefen zonen $zonen [dict get $grenzen zonen]] {
        incr nr
        set zone [teil_pruefen "zone $nr" $zone {name zeile0 spalte0 zeile1 spalte1}]
        set z [dict create name [text_pruefen "name der zone $nr" [dict get $zone name] \
                                     [dict get $grenzen text]]]
        foreach {feld grenze} [list zeile0 [dict get $s zeilen] spalte0 [dict get $s spalten] \
                                   zeile1 [dict get $s zeilen] spalte1 [dict get $s spalten]] {
            dict set z $feld [ganzzahl_pruefen "$feld der zone $nr" [dict get $zone $feld] \
                                  0 [expr {$grenze - 1}]]
        }
        if {[dict get $z zeile1] < [dict get $z zeile0] || [dict get $z spalte1] < [dict get $z spalte0]} {
            fehler FELD "zone $nr ist verkehrt herum (zeile1 < zeile0 oder spalte1 < spalte0)"
        }
        dict set z kennzahlen [kennzahlen_pruefen "zone $nr" $zone]
        dict lappend s zonen $z
    }
    dict set s schnappschuesse {}
    set schnapp [dict_oder_leer $sitzung schnappschuesse]
    set nr 0
    foreach sch [liste_pruefen schnappschuesse $schnapp [dict get $grenzen schnappschuesse]] {
        incr nr
        set sch [teil_pruefen "schnappschuss $nr" $sch {name von bis}]
        set neu [dict create name [text_pruefen "name des schnappschusses $nr" \
                                       [dict get $sch name] [dict get $grenzen text]]]
        foreach feld {von bis} {
            dict set neu $feld [ganzzahl_pruefen "$feld des schnappschusses $nr" \
                                    [dict get $sch $feld] 0 [expr {$n_bilder - 1}]]
        }
        if {[dict get $neu bis] < [dict get $neu von]} {
            fehler FELD "schnappschuss $nr endet vor seinem Anfang"
        }
        dict set neu kennzahlen [kennzahlen_pruefen "schnappschuss $nr" $sch]
        dict lappend s schnappschuesse $neu
    }
    dict set s kennzahlen [kennzahlen_pruefen sitzung $sitzung]
    # in the order in which laden gives the fields
    set geordnet {}
    foreach feld {klient titel zeitpunkt station notizen kalibrierung_name kalibrierung
                  zeilen spalten periode_ms bilder zonen schnappschuesse kennzahlen} {
        dict set geordnet $feld [dict get $s $feld]
    }
    return $geordnet
}

# A text of at most grenze characters.  Characters that are no text (NUL,
# a half of a surrogate pair standing alone) are refused, because
# PostgreSQL cannot store them and SQLite would hand them back differently.
proc ::archiv::text_pruefen {feld wert grenze} {
    if {[string length $wert] > $grenze} {
        fehler GRENZE "$feld ist länger als $grenze Zeichen"
    }
    if {[regexp {\u0000|[\ud800-\udbff](?![\udc00-\udfff])|(?:^|[^\ud800-\udbff])[\udc00-\udfff]} $wert]} {
        fehler FELD "$feld enthält ein Zeichen, das kein Text ist (NUL oder ein halbes Ersatzzeichen)"
    }
    return [als_text $wert]
}

# A value of its own as text: SQLite would store a number object with 15
# digits and a byte array as a blob.
proc ::archiv::als_text {wert} {
    return [encoding convertfrom utf-8 [encoding convertto utf-8 $wert]]
}

proc ::archiv::ganzzahl_pruefen {feld wert min max} {
    if {![regexp {^-?(?:0|[1-9][0-9]{0,9})$} $wert] || $wert < $min || $wert > $max} {
        fehler FELD "$feld \"[kurz $wert]\" ist keine ganze Zahl von $min bis $max"
    }
    return [expr {$wert}]
}

proc ::archiv::liste_pruefen {feld wert grenze} {
    if {[catch {llength $wert} n]} {
        fehler FELD "$feld ist keine Liste"
    }
    if {$n > $grenze} {
        fehler GRENZE "$feld: $n Einträge, höchstens $grenze"
    }
    return $wert
}

# A zone's or snapshot's dict: the fields named, and kennzahlen, nothing else.
proc ::archiv::teil_pruefen {name wert felder} {
    if {[catch {dict size $wert}]} {
        fehler FELD "$name ist kein Verzeichnis von Feldern"
    }
    foreach feld [dict keys $wert] {
        if {$feld ni $felder && $feld ne "kennzahlen"} {
            fehler FELD "$name: unbekanntes Feld \"[kurz $feld]\""
        }
    }
    foreach feld $felder {
        if {![dict exists $wert $feld]} {
            fehler FELD "$name: das Feld $feld fehlt"
        }
    }
    return $wert
}

proc ::archiv::kennzahlen_pruefen {name teil} {
    variable grenzen
    if {![dict exists $teil kennzahlen]} {
        return {}
    }
    set k [dict get $teil kennzahlen]
    if {[catch {dict size $k} n]} {
        fehler FELD "die kennzahlen von $name sind kein Verzeichnis"
    }
    if {$n > [dict get $grenzen kennzahlen]} {
        fehler GRENZE "$name hat $n Kennzahlen, höchstens [dict get $grenzen kennzahlen]"
    }
    set ergebnis {}
    dict for {schluessel wert} $k {
        set schluessel [text_pruefen "der Name einer Kennzahl von $name" $schluessel \
                            [dict get $grenzen text]]
        if {$schluessel eq ""} {
            fehler FELD "eine Kennzahl von $name hat keinen Namen"
        }
        dict set ergebnis $schluessel [text_pruefen "die Kennzahl $schluessel von $name" \
                                           $wert [dict get $grenzen kennzahl_wert]]
    }
    return $ergebnis
}

# The frames: at least one, each of n_zellen integers from -1 to 2^31 - 1,
# written without leading zeros or signs other than that of -1.  Returns
# each as its text of single-space separated values.
proc ::archiv::bilder_pruefen {bilder n_zellen} {
    variable grenzen
    set n [llength [liste_pruefen bilder $bilder [dict get $grenzen bilder]]]
    if {$n == 0} {
        fehler FELD "bilder: die Sitzung hat keine Bilder"
    }
    if {wide($n) * $n_zellen > [dict get $grenzen werte]} {
        fehler GRENZE "bilder: $n Bilder zu $n_zellen Zellen sind mehr als\
            [dict get $grenzen werte] Werte"
    }
    set wertliste {^(?:(?:-1|0|[1-9][0-9]{0,9}) )*(?:-1|0|[1-9][0-9]{0,9})$}
    set kurzliste {^(?:(?:-1|0|[1-9][0-9]{0,8}) )*(?:-1|0|[1-9][0-9]{0,8})$}
    set ergebnis {}
    set nr 0
    foreach bild $bilder {
        incr nr
        if {[catch {llength $bild} laenge]} {
            fehler FELD "bild $nr ist keine Liste von Werten"
        }
        if {$laenge != $n_zellen} {
            fehler FELD "bild $nr hat $laenge Werte statt $n_zellen"
        }
        # The common case, checked fast: the list's own text (append takes
        # it without making the caller's list a string) holds values of at
        # most nine digits, single-space separated; then it has as many
        # values as the list has elements.  Else the joined values with the
        # count checked again (join takes a nested list apart) and, where a
        # value has ten digits, the comparison with 2^31 - 1.
        set text ""
        append text $bild
        if {![regexp $kurzliste $text]} {
            set text [join $bild " "]
            if {![regexp $wertliste $text]
                    || [string length $text] - [string length [string map {" " ""} $text]]
                       != $n_zellen - 1
                    || [tcl::mathfunc::max {*}$text] > 0x7fffffff} {
                fehler FELD "bild $nr: ein Wert ist keine ganze Zahl von -1 bis 2147483647"
            }
        }
        lappend ergebnis $text
    }
    return $ergebnis
}

# Tcl 8.6 holds a character beyond U+FFFF as a pair of surrogates, which
# the PostgreSQL driver passes on as such and the server refuses as
# invalid UTF-8: such texts are refused with a clear message instead.
proc ::archiv::nur_bmp {a text} {
    variable $a
    upvar 0 $a z
    if {$z(art) eq "postgres" && [regexp {[\ud800-\udfff]} $text]} {
        fehler FELD "ein Text enthält ein Zeichen jenseits von U+FFFF (etwa ein Emoji),\
            das die PostgreSQL-Anbindung nicht übertragen kann"
    }
}

# The first 40 characters of a text for a message, unprintable ones as "?".
proc ::archiv::kurz {text} {
    regsub -all {[^[:print:]]} [string range $text 0 39] ? text
    return $text
}

# ---------------------------------------------------------------------------
# Storing and reading

# Stores a session as a new one and returns its id.  befehl (optional) is
# called with the number of frames stored so far, as a save proceeds.
proc ::archiv::speichern {a sitzung args} {
    variable $a
    upvar 0 $a z
    set fortschritt ""
    foreach {option wert} $args {
        if {$option ne "-fortschritt"} {
            fehler AUFRUF "unbekannte Option \"$option\": -fortschritt"
        }
        set fortschritt $wert
    }
    set s [pruefen $sitzung]
    nur_bmp $a [dict remove $s bilder]
    set db $z(db)
    return [transaktion $a {
        set id [lindex [$db allrows -as lists {
            INSERT INTO sitzung (klient, klient_suche, titel, zeitpunkt, station, notizen,
                kalibrierung_name, kalibrierung, zeilen, spalten, periode_ms, anzahl_bilder)
            VALUES (:klient, :suche, :titel, :zeitpunkt, :station, :notizen,
                :kalibrierung_name, :kalibrierung, :zeilen, :spalten, :periode_ms, :anzahl)
            RETURNING id} [dict merge $s [list suche [string tolower [dict get $s klient]] \
                                           anzahl [llength [dict get $s bilder]]]]] 0 0]
        teile_schreiben $db $id $s $fortschritt
        set id
    }]
}

proc ::archiv::teile_schreiben {db id s fortschritt} {
    set st [$db prepare {INSERT INTO bild (sitzung, nr, werte) VALUES (:id, :nr, :werte)}]
    try {
        set nr 0
        foreach werte [dict get $s bilder] {
            $st allrows [list id $id nr $nr werte $werte]
            incr nr
            if {$fortschritt ne ""} {
                uplevel #0 [list {*}$fortschritt $nr]
            }
        }
    } finally {
        $st close
    }
    set nr 0
    foreach zone [dict get $s zonen] {
        $db allrows {INSERT INTO zone (sitzung, nr, name, zeile0, spalte0, zeile1, spalte1)
                     VALUES (:id, :nr, :name, :zeile0, :spalte0, :zeile1, :spalte1)} \
            [dict merge $zone [list id $id nr $nr]]
        kennzahlen_schreiben $db $id zone $nr [dict get $zone kennzahlen]
        incr nr
    }
    set nr 0
    foreach sch [dict get $s schnappschuesse] {
        $db allrows {INSERT INTO schnappschuss (sitzung, nr, name, von, bis)
                     VALUES (:id, :nr, :name, :von, :bis)} [dict merge $sch [list id $id nr $nr]]
        kennzahlen_schreiben $db $id schnappschuss $nr [dict get $sch kennzahlen]
        incr nr
    }
    kennzahlen_schreiben $db $id sitzung 0 [dict get $s kennzahlen]
}

proc ::archiv::kennzahlen_schreiben {db id bezug teil kennzahlen} {
    set nr 0
    dict for {name wert} $kennzahlen {
        $db allrows {INSERT INTO kennzahl (sitzung, bezug, teil, nr, name, wert)
                     VALUES (:id, :bezug, :teil, :nr, :name, :wert)} \
            [list id $id bezug $bezug teil $teil nr $nr name $name wert $wert]
        incr nr
    }
}

# The session with the given id, as it was stored (with its id).  An id
# that is not in the archive is an error ARCHIV UNBEKANNT.
proc ::archiv::laden {a id} {
    variable $a
    upvar 0 $a z
    set id [id_pruefen $id]
    set db $z(db)
    # one reading transaction: a session deleted meanwhile is not read half
    return [transaktion $a {
        set zeilen [$db allrows -as dicts {
            SELECT klient, titel, zeitpunkt, station, notizen, kalibrierung_name, kalibrierung,
                   zeilen, spalten, periode_ms, anzahl_bilder
            FROM sitzung WHERE id = :id} [list id $id]]
        if {[llength $zeilen] == 0} {
            fehler UNBEKANNT "keine Sitzung $id im Archiv"
        }
        set s [dict create id $id {*}[lindex $zeilen 0]]
        set anzahl [dict get $s anzahl_bilder]
        dict unset s anzahl_bilder
        set bilder {}
        foreach zeile [$db allrows -as lists {
            SELECT werte FROM bild WHERE sitzung = :id ORDER BY nr} [list id $id]] {
            lappend bilder [lindex $zeile 0]
        }
        set n_zellen [expr {[dict get $s zeilen] * [dict get $s spalten]}]
        if {[llength $bilder] != $anzahl
                || [llength [lsearch -all -not -exact [lmap b $bilder {llength $b}] $n_zellen]]} {
            fehler BESCHAEDIGT "Sitzung $id ist beschädigt: ihre Bilder sind unvollständig"
        }
        dict set s bilder $bilder
        set k [kennzahlen_lesen $db $id]
        set zonen {}
        foreach zone [$db allrows -as dicts {
            SELECT nr, name, zeile0, spalte0, zeile1, spalte1 FROM zone
            WHERE sitzung = :id ORDER BY nr} [list id $id]] {
            set nr [dict get $zone nr]
            lappend zonen [dict create {*}[dict remove $zone nr] \
                               kennzahlen [dict_oder_leer $k zone $nr]]
        }
        dict set s zonen $zonen
        set schnapp {}
        foreach sch [$db allrows -as dicts {
            SELECT nr, name, von, bis FROM schnappschuss
            WHERE sitzung = :id ORDER BY nr} [list id $id]] {
            set nr [dict get $sch nr]
            lappend schnapp [dict create {*}[dict remove $sch nr] \
                                 kennzahlen [dict_oder_leer $k schnappschuss $nr]]
        }
        dict set s schnappschuesse $schnapp
        dict set s kennzahlen [dict_oder_leer $k sitzung 0]
        set s
    } lesen]
}

proc ::archiv::dict_oder_leer {d args} {
    if {[dict exists $d {*}$args]} {
        return [dict get $d {*}$args]
    }
    return {}
}

# The figures of a session: dict bezug → teil → name → value.
proc ::archiv::kennzahlen_lesen {db id} {
    set k {}
    foreach zeile [$db allrows -as lists {
        SELECT bezug, teil, name, wert FROM kennzahl WHERE sitzung = :id
        ORDER BY bezug, teil, nr} [list id $id]] {
        lassign $zeile bezug teil name wert
        dict set k $bezug $teil $name $wert
    }
    return $k
}

proc ::archiv::id_pruefen {id} {
    if {![regexp {^[1-9][0-9]{0,17}$} $id]} {
        fehler AUFRUF "\"[kurz $id]\" ist keine Sitzungsnummer"
    }
    return $id
}

# The sessions, newest first, as dicts {id klient titel zeitpunkt station
# anzahl_bilder}.  -klient: a part of the client's name, in any case;
# -von / -bis: the first and last day (JJJJ-MM-TT); -grenze: at most so many.
proc ::archiv::liste {a args} {
    variable $a
    upvar 0 $a z
    set bedingungen {}
    set werte {}
    set grenze ""
    foreach {option wert} $args {
        switch -- $option {
            -klient {
                set muster [string map {! !! % !% _ !_} [string tolower $wert]]
                lappend bedingungen {klient_suche LIKE :muster ESCAPE '!'}
                dict set werte muster %$muster%
            }
            -von {
                lappend bedingungen {zeitpunkt >= :von}
                dict set werte von [tag_pruefen -von $wert]
            }
            -bis {
                lappend bedingungen {zeitpunkt < :bis}
                set tag [clock scan [tag_pruefen -bis $wert] -format %Y-%m-%d -gmt 1]
                dict set werte bis [clock format [clock add $tag 1 day -gmt 1] \
                                        -format %Y-%m-%d -gmt 1]
            }
            -grenze {
                set grenze " LIMIT [ganzzahl_pruefen -grenze $wert 1 1000000000]"
            }
            default {
                fehler AUFRUF "unbekannte Option \"$option\": -klient, -von, -bis oder -grenze"
            }
        }
    }
    if {[llength $args] % 2} {
        fehler AUFRUF "Option \"[lindex $args end]\" ohne Wert"
    }
    set sql "SELECT id, klient, titel, zeitpunkt, station, anzahl_bilder FROM sitzung"
    if {[llength $bedingungen]} {
        append sql " WHERE [join $bedingungen { AND }]"
    }
    append sql " ORDER BY zeitpunkt DESC, id DESC$grenze"
    if {$z(art) ne "sqlite"} {
        # every column is NOT NULL: each row's dict has every key
        return [$z(db) allrows -as dicts $sql $werte]
    }
    # SQLite: TDBC's result set spends some microseconds of Tcl per row;
    # the list of a large archive is read through the connection's own
    # sqlite3 handle instead, its values bound from the variables named
    # in the query (:muster, :von, :bis) all the same.
    dict with werte {}
    set ergebnis {}
    foreach {id klient titel zeitpunkt station anzahl} [[$z(db) getDBhandle] eval $sql] {
        lappend ergebnis [dict create id $id klient $klient titel $titel zeitpunkt $zeitpunkt \
                              station $station anzahl_bilder $anzahl]
    }
    return $ergebnis
}

proc ::archiv::tag_pruefen {option tag} {
    if {![regexp {^\d{4}-\d\d-\d\d$} $tag]
            || [catch {clock format [clock scan $tag -format %Y-%m-%d -gmt 1] \
                           -format %Y-%m-%d -gmt 1} zurueck] || $zurueck ne $tag} {
        fehler AUFRUF "$option \"[kurz $tag]\" ist kein Tag JJJJ-MM-TT"
    }
    return $tag
}

proc ::archiv::umbenennen {a id titel} {
    variable $a
    upvar 0 $a z
    variable grenzen
    set id [id_pruefen $id]
    set titel [text_pruefen titel $titel [dict get $grenzen text]]
    nur_bmp $a $titel
    set db $z(db)
    transaktion $a {
        if {[llength [$db allrows {SELECT id FROM sitzung WHERE id = :id} [list id $id]]] == 0} {
            fehler UNBEKANNT "keine Sitzung $id im Archiv"
        }
        $db allrows {UPDATE sitzung SET titel = :titel WHERE id = :id} [list id $id titel $titel]
    }
    return
}

proc ::archiv::loeschen {a id} {
    variable $a
    upvar 0 $a z
    set id [id_pruefen $id]
    set db $z(db)
    transaktion $a {
        if {[llength [$db allrows {SELECT id FROM sitzung WHERE id = :id} [list id $id]]] == 0} {
            fehler UNBEKANNT "keine Sitzung $id im Archiv"
        }
        foreach tabelle {kennzahl schnappschuss zone bild} {
            $db allrows "DELETE FROM $tabelle WHERE sitzung = :id" [list id $id]
        }
        $db allrows {DELETE FROM sitzung WHERE id = :id} [list id $id]
    }
    return
}

# ---------------------------------------------------------------------------
# One session as a JSON file

# The JSON text of a session (checked as for a save).
proc ::archiv::json {sitzung} {
    variable json_format
    set s [pruefen $sitzung]
    set alt [json::write indented]
    json::write indented 0
    try {
        set felder [list format [json::write string $json_format] version 1]
        foreach feld {klient titel zeitpunkt station notizen kalibrierung_name kalibrierung} {
            lappend felder $feld [json::write string [dict get $s $feld]]
        }
        lappend felder zeilen [dict get $s zeilen] spalten [dict get $s spalten]
        set periode [dict get $s periode_ms]
        if {$periode eq ""} {
            set periode null
        }
        lappend felder periode_ms $periode
        lappend felder bilder [json::write array {*}[lmap b [dict get $s bilder] {
            json::write array {*}$b}]]
        lappend felder zonen [json::write array {*}[lmap zone [dict get $s zonen] {
            json::write object name [json::write string [dict get $zone name]] \
                {*}[dict filter $zone key zeile0 spalte0 zeile1 spalte1] \
                kennzahlen [kennzahlen_json [dict get $zone kennzahlen]]}]]
        lappend felder schnappschuesse [json::write array {*}[lmap sch [dict get $s schnappschuesse] {
            json::write object name [json::write string [dict get $sch name]] \
                von [dict get $sch von] bis [dict get $sch bis] \
                kennzahlen [kennzahlen_json [dict get $sch kennzahlen]]}]]
        lappend felder kennzahlen [kennzahlen_json [dict get $s kennzahlen]]
        return [json::write object {*}$felder]
    } finally {
        json::write indented $alt
    }
}

# Figures that are JSON numbers go as numbers, all others as strings; read
# back, both give the same text.
proc ::archiv::kennzahlen_json {k} {
    set felder {}
    dict for {name wert} $k {
        if {![regexp $::archiv::zahl $wert]} {
            set wert [json::write string $wert]
        }
        lappend felder $name $wert
    }
    return [json::write object {*}$felder]
}

proc ::archiv::exportieren {a id datei} {
    set text [json [laden $a $id]]
    set neu $datei.[pid].neu
    set f [open $neu {WRONLY CREAT TRUNC} 0600]
    try {
        fconfigure $f -encoding utf-8 -translation lf
        puts $f $text
    } finally {
        close $f
    }
    file rename -force $neu $datei
    return $datei
}

# A session from the text of a JSON file: every field checked, the file
# refused whole with a message when anything is wrong.
proc ::archiv::aus_json {text} {
    variable json_format
    if {[catch {json::json2dict $text} d]} {
        fehler IMPORT "keine JSON-Datei: [kurz $d]"
    }
    json_arten_pruefen $text
    if {[catch {dict size $d}] || ![dict exists $d format]
            || [dict get $d format] ne $json_format} {
        fehler IMPORT "keine Sitzungsdatei (format ist nicht \"$json_format\")"
    }
    if {![dict exists $d version] || [dict get $d version] ne "1"} {
        fehler IMPORT "Sitzungsdatei einer unbekannten Version"
    }
    set s [dict remove $d format version]
    if {[dict exists $s id]} {
        fehler IMPORT "unbekanntes Feld \"id\""
    }
    if {[dict exists $s periode_ms] && [dict get $s periode_ms] eq "null"} {
        dict set s periode_ms ""
    }
    return [pruefen $s]
}

# The JSON types of a session file, which tcllib's reader does not keep (a
# list where a text belongs would arrive as its words): read once more with
# tDOM's JSON parser, each field of the session, its zones and snapshots
# checked against its kind, no field twice.  The frames' values are checked
# as text (a list of integers), not node by node, which would take seconds
# for a long session.
namespace eval ::archiv {
    variable json_arten {
        format string version number klient string titel string zeitpunkt string
        station string notizen string kalibrierung_name string kalibrierung string
        zeilen number spalten number periode_ms {number null} bilder bilder
        zonen {liste zone} schnappschuesse {liste schnappschuss} kennzahlen kennzahlen
    }
    variable json_teile {
        zone {name string zeile0 number spalte0 number zeile1 number spalte1 number
              kennzahlen kennzahlen}
        schnappschuss {name string von number bis number kennzahlen kennzahlen}
    }
}

proc ::archiv::json_arten_pruefen {text} {
    package require tdom
    if {[catch {dom parse -json $text} dok]} {
        fehler IMPORT "keine JSON-Datei: [kurz $dok]"
    }
    try {
        if {[$dok jsonType] ne "OBJECT"} {
            fehler IMPORT "keine Sitzungsdatei (kein JSON-Objekt)"
        }
        json_objekt_pruefen sitzung $dok $::archiv::json_arten
    } finally {
        $dok delete
    }
}

# The kind of a JSON node: string, number, null, true, false, array or
# object (a member holding a single value carries it in its one child).
proc ::archiv::json_art {knoten} {
    if {[$knoten nodeType] eq "TEXT_NODE"} {
        return [string tolower [$knoten jsonType]]
    }
    set art [$knoten jsonType]
    if {$art eq "NONE" && [llength [$knoten childNodes]] == 1} {
        set art [[$knoten firstChild] jsonType]
    }
    return [string tolower $art]
}

# The members of an object against their kinds (arten: name kind ...);
# members not named there are left to the field check, which refuses them.
proc ::archiv::json_objekt_pruefen {wo objekt arten} {
    set gesehen {}
    foreach glied [$objekt childNodes] {
        set name [$glied nodeName]
        if {[dict exists $gesehen $name]} {
            fehler FELD "$wo: Feld \"[kurz $name]\" doppelt"
        }
        dict set gesehen $name 1
        if {[dict exists $arten $name]} {
            json_glied_pruefen "$wo: $name" $glied [dict get $arten $name]
        }
    }
}

proc ::archiv::json_glied_pruefen {wo knoten soll} {
    set art [json_art $knoten]
    switch -- [lindex $soll 0] {
        bilder {
            if {$art ne "array"} {
                fehler FELD "$wo ist keine Liste von Bildern (JSON $art)"
            }
            set nr 0
            foreach bild [$knoten childNodes] {
                incr nr
                if {[json_art $bild] ne "array"
                        || ![regexp {^\[(?:-?\d+(?:,-?\d+)*)?\]$} [$bild asJSON]]} {
                    fehler FELD "$wo: Bild $nr ist keine Liste ganzer Zahlen"
                }
            }
        }
        liste {
            if {$art ne "array"} {
                fehler FELD "$wo ist keine Liste (JSON $art)"
            }
            set nr 0
            foreach teil [$knoten childNodes] {
                incr nr
                if {[json_art $teil] ne "object"} {
                    fehler FELD "$wo: Eintrag $nr ist kein Objekt"
                }
                json_objekt_pruefen "$wo $nr" $teil \
                    [dict get $::archiv::json_teile [lindex $soll 1]]
            }
        }
        kennzahlen {
            if {$art ne "object"} {
                fehler FELD "$wo ist kein Objekt (JSON $art)"
            }
            foreach glied [$knoten childNodes] {
                if {[json_art $glied] ni {number string}} {
                    fehler FELD "$wo: [kurz [$glied nodeName]] ist weder Zahl noch Text"
                }
            }
        }
        default {
            if {$art ni $soll} {
                set text [dict get {string Text number Zahl} [lindex $soll 0]]
                fehler FELD "$wo ist kein $text (JSON $art)"
            }
        }
    }
}

# Imports a session file as a new session and returns its id.  The file is
# read whole (at most the size bound) and checked before anything is
# written; nothing of a refused file reaches the archive.
proc ::archiv::importieren {a datei} {
    variable grenzen
    set grenze [dict get $grenzen datei]
    if {[catch {open $datei rb} f]} {
        fehler IMPORT "$datei: [kurz $f]"
    }
    try {
        set bytes [read $f [expr {$grenze + 1}]]
    } finally {
        close $f
    }
    if {[string length $bytes] > $grenze} {
        fehler GRENZE "$datei ist größer als $grenze Bytes"
    }
    # (Tcl 9 refuses invalid bytes itself, Tcl 8.6 takes each as a
    # character: then the text does not give the bytes back)
    if {[catch {encoding convertfrom utf-8 $bytes} text]
            || [encoding convertto utf-8 $text] ne $bytes} {
        fehler IMPORT "$datei ist kein UTF-8-Text"
    }
    try {
        set s [aus_json $text]
    } trap ARCHIV {meldung optionen} {
        return -code error -errorcode [dict get $optionen -errorcode] "$datei: $meldung"
    }
    return [speichern $a $s]
}
