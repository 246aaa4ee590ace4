#!/bin/sh
# Checks in a pristine minimal Debian root (debootstrap --variant=minbase, a
# chroot with /proc and /dev); needs root and the network, so it is not part
# of make test.
#   tests/paket/chroot.sh pakete <deb-folder> [suite]
#       apt-get install ./*.deb of the folder: all five packages load in
#       tclsh8.6 with no path set, the manual pages and the copyright file
#       are there, dbldinfo --help exits 0
#   tests/paket/chroot.sh demo <repository> [suite]
#       a clone of the repository's HEAD inside, ./run.sh demo timed, with
#       the packages it installed
#   tests/paket/chroot.sh test <repository> [suite]
#       a clone of the repository's HEAD inside, ./run.sh test run
#       DBLD_LAEUFE times (default 1) in a row, each timed; fails at the
#       first run that fails
#   tests/paket/chroot.sh paketbau <repository> [suite]
#       a clone inside, its build dependencies installed (apt-get build-dep),
#       dpkg-buildpackage -us -uc -b timed, lintian on the result (on
#       trixie the build dependencies bring Tcl 9, and the package holds the
#       modules for Tcl 9 too)
# suite: bookworm (default) or trixie.  The root is made anew in a temporary
# folder and removed afterwards; DBLD_WURZEL_VORLAGE=<folder> copies a
# pristine root made earlier with debootstrap instead.  DBLD_PROTOKOLLE=<folder>
# keeps the logs of apt, the demo and the package build there, and
# DBLD_PAKETE_NACH=<folder> the packages built.
set -eu
modus=$1
quelle=$(cd "$2" && pwd)
suite=${3:-bookworm}
wurzel=$(mktemp -d --tmpdir "druckmessung-$suite-XXXXXX")
meldung() { echo "chroot.sh: $*"; }
aufraeumen() {
    if [ -n "${DBLD_PROTOKOLLE:-}" ]; then
        mkdir -p "$DBLD_PROTOKOLLE"
        cp "$wurzel"/root/*.log "$DBLD_PROTOKOLLE"/ 2> /dev/null || true
    fi
    for m in dev/pts dev proc; do
        umount "$wurzel/$m" 2> /dev/null || true
    done
    rm -rf --one-file-system "$wurzel"
}
trap aufraeumen EXIT

start=$(date +%s)
if [ -n "${DBLD_WURZEL_VORLAGE:-}" ]; then
    cp -a "$DBLD_WURZEL_VORLAGE"/. "$wurzel"/
else
    debootstrap --variant=minbase "$suite" "$wurzel" http://deb.debian.org/debian > "$wurzel.log" 2>&1 \
        || { tail -5 "$wurzel.log"; exit 1; }
    rm -f "$wurzel.log"
fi
meldung "minimal $suite root in $(($(date +%s) - start)) s"
cp /etc/resolv.conf "$wurzel/etc/resolv.conf"
mount -t proc proc "$wurzel/proc"
mount --bind /dev "$wurzel/dev"
mount --bind /dev/pts "$wurzel/dev/pts"
drin() { chroot "$wurzel" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
             DEBIAN_FRONTEND=noninteractive sh -c "$1"; }

case $modus in
pakete)
    mkdir -p "$wurzel/root/pakete"
    cp "$quelle"/*.deb "$wurzel/root/pakete/"
    start=$(date +%s)
    drin 'apt-get update -q > /dev/null && cd /root/pakete && apt-get install -y -q ./*.deb' \
        > "$wurzel/root/apt.log" 2>&1 || { tail -20 "$wurzel/root/apt.log"; exit 1; }
    meldung "apt-get install ./*.deb: $(($(date +%s) - start)) s," \
            "$(grep -E 'newly installed' "$wurzel/root/apt.log")"
    fehler=0
    geladen=$(drin "echo 'foreach p {Druckbildanalyse Beckenrotation Kalvora Kmqstationd Druckbildkennzahlen} {
                          interp create i; lappend v \$p [i eval [list package require \$p]]
                          interp delete i }
                      puts \$v' | tclsh8.6" 2>&1) || true
    meldung "tclsh8.6, no path set: $geladen"
    [ "$geladen" = "Druckbildanalyse 0.2 Beckenrotation 1.0 Kalvora 1.0 Kmqstationd 0.1 Druckbildkennzahlen 1.0" ] || fehler=1
    # packages built with the modules for Tcl 9: those in tclsh9.0 as well
    if ls "$wurzel"/usr/lib/tcltk/*/druckmessung*/libtcl9kalvora.so > /dev/null 2>&1; then
        drin 'apt-get install -y -q tcl9.0' > "$wurzel/root/apt9.log" 2>&1 || fehler=1
        geladen=$(drin "echo 'foreach p {Druckbildanalyse Beckenrotation Kalvora Kmqstationd Druckbildkennzahlen} {
                              lappend v \$p [package require \$p] }
                          puts \$v' | tclsh9.0" 2>&1) || true
        meldung "tclsh9.0, no path set: $geladen"
        [ "$geladen" = "Druckbildanalyse 0.2 Beckenrotation 1.0 Kalvora 1.0 Kmqstationd 0.1 Druckbildkennzahlen 1.0" ] || fehler=1
    fi
    for datei in /usr/share/man/man1/dbldinfo.1.gz /usr/share/man/man3/druckbildanalyse.3tcl.gz \
                 /usr/share/man/man3/beckenrotation.3tcl.gz /usr/share/man/man3/kalvora.3tcl.gz \
                 /usr/share/man/man3/kmqstationd.3tcl.gz \
                 /usr/share/man/man3/druckbildkennzahlen.3tcl.gz /usr/share/doc/tcl-druckmessung/copyright \
                 /usr/share/doc/tcl-druckmessung-dev/copyright /usr/include/druckmessung/dbld.h; do
        if [ -f "$wurzel$datei" ]; then meldung "present: $datei"; else meldung "MISSING: $datei"; fehler=1; fi
    done
    if drin 'dbldinfo --help' > "$wurzel/root/hilfe.txt"; then
        meldung "dbldinfo --help: exit 0, $(head -1 "$wurzel/root/hilfe.txt")"
    else
        meldung "dbldinfo --help: exit status not 0"; fehler=1
    fi
    demo=$(drin 'cd /root && tclsh8.6 /usr/share/doc/tcl-druckmessung/examples/demo/demo.tcl 2>&1 | grep -c "^u82 "') || true
    meldung "installed demo: $demo lines of the recording u82"
    [ "${demo:-0}" -gt 0 ] || fehler=1
    [ $fehler -eq 0 ] && meldung "all checks passed" || meldung "FAILED"
    exit $fehler
    ;;
demo)
    git clone -q "$quelle" "$wurzel/root/druckmessung"
    start=$(date +%s)
    drin 'cd /root/druckmessung && ./run.sh demo' > "$wurzel/root/demo.log" 2>&1 \
        || { tail -20 "$wurzel/root/demo.log"; exit 1; }
    meldung "./run.sh demo: $(($(date +%s) - start)) s; $(grep -E '^run.sh: installing' "$wurzel/root/demo.log");" \
            "$(grep -E 'newly installed' "$wurzel/root/demo.log")"
    grep -E '^(Sitzbewertung|Station)' "$wurzel/root/demo.log"
    ;;
test)
    git clone -q "$quelle" "$wurzel/root/druckmessung"
    lauf=1
    while [ "$lauf" -le "${DBLD_LAEUFE:-1}" ]; do
        start=$(date +%s)
        drin 'cd /root/druckmessung && ./run.sh test' > "$wurzel/root/test$lauf.log" 2>&1 \
            || { tail -30 "$wurzel/root/test$lauf.log"; meldung "./run.sh test, run $lauf: FAILED"; exit 1; }
        meldung "./run.sh test, run $lauf: passed in $(($(date +%s) - start)) s"
        lauf=$((lauf + 1))
    done
    ;;
paketbau)
    git clone -q "$quelle" "$wurzel/root/druckmessung"
    start=$(date +%s)
    drin "apt-get update -q && apt-get install -y -q --no-install-recommends build-essential lintian &&
          cd /root/druckmessung && apt-get build-dep -y -q ./" > "$wurzel/root/apt.log" 2>&1 \
        || { tail -20 "$wurzel/root/apt.log"; exit 1; }
    meldung "build dependencies: $(($(date +%s) - start)) s"
    start=$(date +%s)
    drin "cd /root/druckmessung && dpkg-buildpackage -us -uc -b" > "$wurzel/root/bau.log" 2>&1 \
        || { tail -30 "$wurzel/root/bau.log"; exit 1; }
    meldung "dpkg-buildpackage: $(($(date +%s) - start)) s, $(grep -E '^[0-9]+% tests passed' "$wurzel/root/bau.log")"
    meldung "compile lines without -ffp-contract=off:" \
            "$(grep -E 'c\+\+ .* -c /' "$wurzel/root/bau.log" | grep -vc -- '-ffp-contract=off' || true)" \
            "of $(grep -cE 'c\+\+ .* -c /' "$wurzel/root/bau.log");" \
            "compiler warnings: $(grep -cE '^[^ ]+:[0-9]+:[0-9]+: warning:' "$wurzel/root/bau.log" || true)"
    ls "$wurzel/root"/*.deb
    [ -z "${DBLD_PAKETE_NACH:-}" ] || cp "$wurzel/root"/*.deb "$DBLD_PAKETE_NACH"/
    drin 'lintian --fail-on error /root/*.changes'; status=$?
    meldung "lintian exit status $status"
    exit $status
    ;;
*)
    echo "usage: tests/paket/chroot.sh pakete|demo|test|paketbau <folder> [bookworm|trixie]" >&2
    exit 2
    ;;
esac
