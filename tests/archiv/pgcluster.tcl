# A throwaway PostgreSQL cluster for the archive's tests: initdb and pg_ctl
# (Debian: package postgresql) in a temporary folder, reached only on a Unix
# socket in that folder, never a system service.  PostgreSQL refuses to run
# as root; a test run as root runs the cluster as the user nobody (setpriv).
#
#   pg_starten      starts it; returns the folder
#   pg_datenbank d  a new empty database; returns the connection words for
#                   ::archiv::oeffnen -postgres
#   pg_stoppen      stops it and removes the folder

namespace eval ::pgcluster {
    variable ordner ""
    variable als {}
}

proc ::pgcluster::programm {name} {
    set kandidaten [lsort -dictionary [glob -nocomplain /usr/lib/postgresql/*/bin/$name]]
    if {[llength $kandidaten] == 0} {
        set pfad [auto_execok $name]
        if {$pfad eq ""} {
            error "$name nicht gefunden (Debian-Paket postgresql)"
        }
        return $pfad
    }
    return [lindex $kandidaten end]
}

proc ::pgcluster::pg_starten {} {
    variable ordner
    variable als
    set initdb [programm initdb]
    set pg_ctl [programm pg_ctl]
    set ordner [exec mktemp -d]
    if {[exec id -u] == 0} {
        exec chown nobody $ordner
        set als [list setpriv --reuid=nobody --regid=[exec id -g nobody] --clear-groups]
    }
    exec {*}$als $initdb -D $ordner/daten -U archiv -A trust -E UTF8 --locale=C \
        --no-sync >& $ordner/initdb.log
    exec {*}$als $pg_ctl -D $ordner/daten -l $ordner/server.log -w -t 30 \
        -o "-k $ordner -c listen_addresses='' -c fsync=off -c max_connections=30" \
        start >& $ordner/pg_ctl.log
    return $ordner
}

proc ::pgcluster::pg_datenbank {name} {
    variable ordner
    package require tdbc::postgres
    tdbc::postgres::connection create ::pgcluster::db -host $ordner -user archiv \
        -database postgres
    try {
        ::pgcluster::db allrows "CREATE DATABASE $name"
    } finally {
        ::pgcluster::db close
    }
    return "host=$ordner user=archiv dbname=$name"
}

proc ::pgcluster::pg_stoppen {} {
    variable ordner
    variable als
    if {$ordner eq ""} {
        return
    }
    catch {exec {*}$als [programm pg_ctl] -D $ordner/daten -m immediate -w stop >& /dev/null}
    file delete -force $ordner
    set ordner ""
}
