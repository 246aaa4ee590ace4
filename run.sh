#!/usr/bin/env bash
# Fresh-machine entry: installs what the build needs (Debian packages), then
# builds through the Makefile.
#   ./run.sh demo    the demo on the bundled recordings
#   ./run.sh test    all test suites (plain, ASan + UBSan, valgrind, fuzzer,
#                    and the platforms: aarch64 and armhf under qemu, i386,
#                    Debian 13's C library and Tcl, the comparison of all,
#                    riscv64 and s390x under qemu;
#                    install, manual pages and the Debian package)
#   ./run.sh bench   the benchmarks
#   ./run.sh viewer  the station view on the display (Tk, Img)
#   ./run.sh anpassung  the fitter's view on the display (Tk, Img, tklib,
#                    tcllib)
set -euo pipefail
cd "$(dirname "$0")"

# What the libraries, the package index and dbldinfo need (all the demo
# needs); each other job adds its own.
pakete=(make cmake g++ tcl8.6 tcl8.6-dev libjpeg-dev)
case "${1:-}" in
    # The test tools (clang's runtime below), the cross builds for aarch64,
    # armhf, i386, riscv64 and s390x run under qemu (i386 natively), and the
    # Debian package build with lintian and the manual pages.
    test)   pakete+=(clang libjpeg-turbo-progs libgtest-dev libgmock-dev
                     valgrind util-linux procps python3 python3-tk tk8.6 libtk-img tklib tcllib xvfb xauth
                     g++-aarch64-linux-gnu g++-arm-linux-gnueabihf g++-i686-linux-gnu qemu-user
                     g++-riscv64-linux-gnu g++-s390x-linux-gnu
                     git build-essential dpkg-dev debhelper fakeroot lintian pandoc man-db
                     libbenchmark-dev
                     # the archive of sessions: TDBC with SQLite and PostgreSQL (the
                     # suite starts a cluster of its own), tcllib's JSON (fast with its
                     # compiled part), tDOM's JSON parser for the types of an imported
                     # session, the report's PDF from PostScript and its text
                     tcllib-critcl tdom tcl8.6-tdbc tcl8.6-tdbc-sqlite3 tcl8.6-tdbc-postgres
                     postgresql ghostscript poppler-utils) ;;
    bench)  pakete+=(libbenchmark-dev tcllib tcl8.6-tdbc tcl8.6-tdbc-sqlite3) ;;
    # the station view; the fitter's view also needs tklib and tcllib (and
    # for its archive and report TDBC with SQLite, tDOM, ghostscript)
    viewer|anpassung) pakete+=(tk8.6 libtk-img tklib tcllib tcllib-critcl tdom tcl8.6-tdbc
                               tcl8.6-tdbc-sqlite3 ghostscript) ;;
esac
# The tests of several threads at once: Tcl's Thread package.
if [ "${1:-}" = test ]; then pakete+=(tcl-thread); fi

installiert() {  # package pattern
    dpkg-query -W -f='${Status}\n' "$1" 2>/dev/null | grep -q "install ok installed"
}
fehlende=()
for p in "${pakete[@]}"; do
    installiert "$p" || fehlende+=("$p")
done
# clang's runtime (sanitizers, libFuzzer) has a name of its own in each
# release: libclang-rt-dev where apt offers it (Debian 13, Debian 12 since a
# point release), else the package of clang's version (libclang-rt-14-dev on
# Debian 12); either one installed will do. Only the tests need it.
clang_rt=""
[ "${1:-}" != test ] || installiert 'libclang-rt-*dev' || clang_rt=fehlt
if [ ${#fehlende[@]} -gt 0 ] || [ -n "$clang_rt" ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    # A list that does not come (a mirror in the middle of a sync) leaves the
    # others; a package that is then missing makes the install fail.
    $sudo apt-get update -q || echo "run.sh: apt-get update reported errors, going on"
    if [ -n "$clang_rt" ]; then
        if apt-cache show libclang-rt-dev > /dev/null 2>&1; then
            fehlende+=(libclang-rt-dev)
        else
            version=$(apt-cache depends clang | sed -n 's/^ *Depends: clang-\([0-9]*\)$/\1/p' | head -1)
            fehlende+=("libclang-rt-${version:-14}-dev")
        fi
    fi
    echo "run.sh: installing ${fehlende[*]}"
    $sudo apt-get install -y -q --no-install-recommends "${fehlende[@]}"
fi

case "${1:-}" in
    demo)  make demo ;;
    # The platforms' Debian packages are unpacked under build/plattform by
    # the test itself (the host's package set stays as it is).
    test)  make test ;;
    bench) make bench ;;
    viewer) shift; make viewer VIEWER_ARGS="$*" ;;
    anpassung) shift; make anpassung ANPASSUNG_ARGS="$*" ;;
    *)     echo "usage: ./run.sh demo|test|bench|viewer|anpassung ?options of demo/station.tcl or demo/anpassung.tcl?" >&2; exit 2 ;;
esac
