#!/usr/bin/env bash
# The same results on aarch64 and on every x86-64 (make test-arm64):
#   tests/plattform/plattform.sh nativer-bauordner arm64-ordner
# 1. the arm64 packages into arm64-ordner/sysroot (sysroot.sh), the cross
#    build of the libraries, dbldinfo and the unit tests into
#    arm64-ordner/bau with the project's CMake files and
#    cmake/toolchains/aarch64.cmake, warnings as errors;
# 2. no fused multiply-add instruction in the built libraries and dbldinfo,
#    aarch64 and x86-64;
# 3. the unit tests and every Tcl suite under qemu-aarch64 with Debian's
#    arm64 tclsh8.6;
# 4. the comparison: the cases of erzeuge_bilder.tcl through vergleich.tcl
#    with the native build, with the native build under qemu-x86_64 -cpu
#    qemu64 (no AVX2: the generic code everywhere) and with the arm64 build;
#    the three outputs must be byte-identical, else the first differing case
#    is printed.
# Exits non-zero when any part fails.
set -uo pipefail

quellen=$(cd "$(dirname "$0")/../.." && pwd)
nativ=$(realpath "$1")
arm=$(realpath -m "$2")
sysroot=$arm/sysroot
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}
fehler=0

meldung() { echo "test-arm64: $*"; }
falsch() { meldung "FAILED: $*"; fehler=1; }
jetzt() { date +%s%N; }
dauer() {  # seconds since a time of jetzt, one decimal
    local ms=$((($(jetzt) - $1) / 1000000))
    printf '%d.%d s' $((ms / 1000)) $((ms % 1000 / 100))
}

for werkzeug in aarch64-linux-gnu-g++ aarch64-linux-gnu-objdump objdump qemu-aarch64 \
                qemu-x86_64 cc; do
    if ! command -v "$werkzeug" > /dev/null; then
        meldung "$werkzeug is missing (./run.sh test installs it)"
        exit 1
    fi
done
start=$(jetzt)

# ---- 1. sysroot and cross build --------------------------------------------------
t=$(jetzt)
"$quellen/tests/plattform/sysroot.sh" "$sysroot" || { meldung "FAILED: arm64 packages"; exit 1; }
mkdir -p "$arm/bau"
if ! { cmake -S "$quellen" -B "$arm/bau" \
             -DCMAKE_TOOLCHAIN_FILE="$quellen/cmake/toolchains/aarch64.cmake" \
             -DDBLD_SYSROOT="$sysroot" -DCMAKE_COMPILE_WARNING_AS_ERROR=ON &&
       cmake --build "$arm/bau" -j "$jobs" --target all testprogramme; } > "$arm/bau.log" 2>&1; then
    tail -40 "$arm/bau.log"
    meldung "FAILED: cross build for aarch64 (log: $arm/bau.log)"
    exit 1
fi
meldung "sysroot and cross build for aarch64: ok ($(dauer "$t"))"

# ---- 2. no fused multiply-add ----------------------------------------------------
# -ffp-contract=off must hold: a contracted a * b + c rounds once, not twice.
fma_pruefen() {  # objdump pattern folder
    local objdump=$1 muster=$2 ordner=$3 datei n gesamt=0
    for datei in "$ordner"/lib*.so "$ordner"/dbldinfo; do
        n=$("$objdump" -d --no-show-raw-insn "$datei" | grep -cE "$muster")
        gesamt=$((gesamt + n))
        if [ "$n" -ne 0 ]; then
            falsch "$n fused multiply-add instructions in $datei:"
            "$objdump" -d --no-show-raw-insn "$datei" | grep -E "$muster" | head -3
        fi
    done
    return $((gesamt != 0))
}
fma_pruefen aarch64-linux-gnu-objdump $'\t(fmadd|fmsub|fnmadd|fnmsub|fmla|fmls)\t' "$arm/bau" &&
    meldung "no fused multiply-add (fmadd fmsub fnmadd fnmsub fmla fmls) in the aarch64 libraries and dbldinfo"
fma_pruefen objdump $'\tvfn?m(add|sub)' "$nativ" &&
    meldung "no fused multiply-add (vfmadd... vfnmsub...) in the x86-64 libraries and dbldinfo"

# ---- 3. unit tests and Tcl suites under qemu-aarch64 ----------------------------
# The Tcl suites see a folder with the modules and pkgIndex.tcl, tclsh8.6 and
# dbldinfo as scripts that start them under qemu (there is no binfmt
# registration: a child tclsh or dbldinfo must be started that way); tclsh
# reports the script as its executable (-0), so a suite's child tclsh is one
# under qemu as well.
lauf=$arm/lauf
rm -rf "$lauf" "$arm/suiten"
mkdir -p "$lauf" "$arm/suiten"
ln -s "$arm/bau"/lib*.so "$arm/bau/pkgIndex.tcl" "$lauf/"
printf '#!/bin/sh\nexec qemu-aarch64 -L "%s" -0 "$0" "%s/usr/bin/tclsh8.6" "$@"\n' \
    "$sysroot" "$sysroot" > "$lauf/tclsh8.6"
printf '#!/bin/sh\nexec qemu-aarch64 -L "%s" "%s" "$@"\n' "$sysroot" "$arm/bau/dbldinfo" > "$lauf/dbldinfo"
chmod +x "$lauf/tclsh8.6" "$lauf/dbldinfo"
export DBLD_SOURCE_DIR=$quellen DBLD_BUILD_DIR=$lauf

# qemu-user does not apply RLIMIT_AS to the program it runs (the limit would
# bind the emulator itself), so the one case that caps the address space to
# see the score's allocation fail cannot fail that allocation there.
ohne=KalvoraDeathTest.WorkMemoryFailureIsReported
unit_tests() {
    qemu-aarch64 -L "$sysroot" "$arm/bau/tests/unit_tests" --gtest_filter="-$ohne" \
        > "$arm/suiten/unit_tests.log" 2>&1
}
tcl_suiten() {
    local suite name status=0
    for suite in "$quellen"/tests/tcl/*.test; do
        name=$(basename "$suite" .test)
        (cd "$arm/suiten" && "$lauf/tclsh8.6" "$quellen/tests/tcl/run.tcl" "$suite") \
            > "$arm/suiten/$name.log" 2>&1 || { echo "$name" >> "$arm/suiten/fehlgeschlagen"; status=1; }
    done
    return $status
}
t=$(jetzt)
unit_tests & unit_pid=$!
tcl_suiten; tcl_status=$?
wait $unit_pid; unit_status=$?
if [ $unit_status -eq 0 ]; then
    meldung "unit tests under qemu-aarch64: $(grep -E '^\[  PASSED  \]' "$arm/suiten/unit_tests.log")"
    meldung "  skipped: $ohne (qemu-user ignores the address-space limit it sets)"
else
    tail -30 "$arm/suiten/unit_tests.log"
    falsch "unit tests under qemu-aarch64 (log: $arm/suiten/unit_tests.log)"
fi
for suite in "$quellen"/tests/tcl/*.test; do
    name=$(basename "$suite" .test)
    zeile=$(grep -E "^$name.test:\sTotal" "$arm/suiten/$name.log" | tr -s '\t ' ' ')
    meldung "Tcl suite $name under qemu-aarch64: ${zeile#*: }"
    awk '/skipped for each constraint/ { liste = 1; next }
         liste && /^\t[0-9]+\t/ { print "test-arm64:   skipped: " $1 " cases, constraint " $2 }
         liste && !/^\t/ { liste = 0 }' "$arm/suiten/$name.log"
done
if [ $tcl_status -ne 0 ]; then
    for name in $(cat "$arm/suiten/fehlgeschlagen"); do
        tail -30 "$arm/suiten/$name.log"
    done
    falsch "Tcl suites under qemu-aarch64: $(cat "$arm/suiten/fehlgeschlagen" | tr '\n' ' ')"
fi
meldung "unit tests and Tcl suites under qemu-aarch64: $(dauer "$t")"

# ---- 4. comparison ---------------------------------------------------------------
v=$arm/vergleich
rm -rf "$v"
mkdir -p "$v"
# The runs under -cpu qemu64 must see a processor without AVX2.
printf 'int main(void) { __builtin_cpu_init(); return !__builtin_cpu_supports("avx2"); }\n' > "$v/avx2.c"
cc -O1 -o "$v/avx2" "$v/avx2.c" || falsch "cannot build the AVX2 probe"
if qemu-x86_64 -cpu qemu64 "$v/avx2"; then
    falsch "qemu-x86_64 -cpu qemu64 reports AVX2: the generic code would go untested"
fi
"$v/avx2" && avx2="with AVX2" || avx2="without AVX2"

t=$(jetzt)
tclsh8.6 "$quellen/tests/plattform/erzeuge_bilder.tcl" "$v/faelle.txt" "$v/bilder.dbld"
faelle=$(wc -l < "$v/faelle.txt")
vergleich=("$quellen/tests/plattform/vergleich.tcl")
lauf_nativ() {
    tclsh8.6 "${vergleich[@]}" "$nativ" "$v/faelle.txt" "$v/bilder.dbld" "$nativ/dbldinfo" \
        > "$v/nativ.txt" 2>&1
}
lauf_qemu64() {
    qemu-x86_64 -cpu qemu64 "$(command -v tclsh8.6)" "${vergleich[@]}" "$nativ" \
        "$v/faelle.txt" "$v/bilder.dbld" qemu-x86_64 -cpu qemu64 "$nativ/dbldinfo" \
        > "$v/qemu64.txt" 2>&1
}
lauf_arm64() {
    qemu-aarch64 -L "$sysroot" "$sysroot/usr/bin/tclsh8.6" "${vergleich[@]}" "$arm/bau" \
        "$v/faelle.txt" "$v/bilder.dbld" qemu-aarch64 -L "$sysroot" "$arm/bau/dbldinfo" \
        > "$v/arm64.txt" 2>&1
}
zeit() {  # name function: runs it, writes its status and time to $v/name.zeit
    local t0
    t0=$(jetzt)
    "$2"
    echo "$? $(dauer "$t0")" > "$v/$1.zeit"
}
zeit nativ lauf_nativ
zeit qemu64 lauf_qemu64 &
zeit arm64 lauf_arm64 &
wait

# The first line where two outputs part, with the case it belongs to.
erster_unterschied() {  # reference other name
    local n
    n=$(cmp "$1" "$2" 2>&1 | sed -n 's/.*line \([0-9]*\).*/\1/p')
    [ -n "$n" ] || n=1
    meldung "first difference in line $n, in: $(head -n "$n" "$1" | grep '^### ' | tail -1)"
    meldung "  native: $(sed -n "${n}p" "$1" | cut -c1-400)"
    meldung "  $3: $(sed -n "${n}p" "$2" | cut -c1-400)"
}
read -r status_nativ zeit_nativ < "$v/nativ.zeit"
if [ "$status_nativ" -ne 0 ] || ! grep -qx "### faelle: $faelle" "$v/nativ.txt"; then
    tail -5 "$v/nativ.txt"
    falsch "the native run did not go through all $faelle cases"
else
    meldung "cases compared per command ($faelle frames):"
    sed -n 's/^### anzahl /test-arm64:   /p' "$v/nativ.txt"
    meldung "native ($avx2): $zeit_nativ, $(wc -c < "$v/nativ.txt") bytes"
    for name in qemu64 arm64; do
        read -r status zeit_lauf < "$v/$name.zeit"
        if cmp -s "$v/nativ.txt" "$v/$name.txt"; then
            meldung "$name: $zeit_lauf, byte-identical to native"
        else
            erster_unterschied "$v/nativ.txt" "$v/$name.txt" "$name"
            falsch "$name output differs from native (exit status $status; $v/$name.txt)"
        fi
    done
fi
meldung "comparison: $(dauer "$t")"

if [ $fehler -ne 0 ]; then
    meldung "FAILED ($(dauer "$start"))"
    exit 1
fi
meldung "passed ($(dauer "$start"))"
