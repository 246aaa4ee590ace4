#!/usr/bin/env bash
# Fresh-machine entry: installs what the build needs (Debian packages), then
# builds through the Makefile.
#   ./run.sh demo    the demo on the bundled recordings
#   ./run.sh test    all test suites (plain, ASan + UBSan, valgrind, fuzzer,
#                    aarch64 under qemu and the comparison of platforms)
#   ./run.sh bench   the benchmarks
#   ./run.sh viewer  the station view on the display (Tk, Img)
set -euo pipefail
cd "$(dirname "$0")"

# What the libraries, the package index and dbldinfo need (all the demo
# needs); each other job adds its own.
pakete=(make cmake g++ tcl8.6 tcl8.6-dev libjpeg-dev)
case "${1:-}" in
    # The test tools, the aarch64 cross build run under qemu, and the
    # Debian package build with lintian and the manual pages.
    test)   pakete+=(clang libclang-rt-14-dev libjpeg-turbo-progs libgtest-dev libgmock-dev
                     valgrind util-linux procps python3 python3-tk tk8.6 libtk-img xvfb xauth
                     g++-aarch64-linux-gnu qemu-user
                     git build-essential dpkg-dev debhelper fakeroot lintian pandoc man-db) ;;
    bench)  pakete+=(libbenchmark-dev) ;;
    viewer) pakete+=(tk8.6 libtk-img) ;;
esac

fehlende=()
for p in "${pakete[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        fehlende+=("$p")
    fi
done
if [ ${#fehlende[@]} -gt 0 ]; then
    echo "run.sh: installing ${fehlende[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -q
    $sudo apt-get install -y -q --no-install-recommends "${fehlende[@]}"
fi

case "${1:-}" in
    demo)  make demo ;;
    # Debian's arm64 Tcl and libjpeg for the cross build, unpacked under
    # build/ (the host's package set stays as it is).
    test)  tests/plattform/sysroot.sh build/arm64/sysroot && make test ;;
    bench) make bench ;;
    viewer) shift; make viewer VIEWER_ARGS="$*" ;;
    *)     echo "usage: ./run.sh demo|test|bench|viewer ?options of demo/station.tcl?" >&2; exit 2 ;;
esac
