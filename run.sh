#!/usr/bin/env bash
# Fresh-machine entry: installs what the build needs (Debian packages), then
# builds through the Makefile.
#   ./run.sh demo    the demo on the bundled recordings
#   ./run.sh test    all test suites (plain, ASan + UBSan, valgrind, fuzzer)
#   ./run.sh bench   the benchmarks
set -euo pipefail
cd "$(dirname "$0")"

pakete=(make cmake g++ clang libclang-rt-14-dev tcl8.6 tcl8.6-dev libjpeg-dev
        libjpeg-turbo-progs libgtest-dev libgmock-dev libbenchmark-dev valgrind
        util-linux procps python3-tk)

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
    test)  make test ;;
    bench) make bench ;;
    *)     echo "usage: ./run.sh demo|test|bench" >&2; exit 2 ;;
esac
