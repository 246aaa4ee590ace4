#!/usr/bin/env bash
# Checks of a 32-bit x86 build by its disassembly (objdump), for every
# library and program named:
#   tests/plattform/i386_pruefen.sh x87 datei...
#       No x87 arithmetic: the build does its float and double arithmetic in
#       SSE2.  The i386 calling convention still returns float and double
#       results in the x87 register st(0) (the exported DBLD_dbldvalsq,
#       libm's roundf, ...), and SSE2 has no conversion of a 64-bit integer
#       on 32-bit x86, so the x87 unit may move values, nothing else.  The
#       only x87 instructions allowed are loads from memory, fld[sl] (float,
#       double) and fild[sl]/fildll (integers of 16 to 64 bits; all exact in
#       the 64-bit significand), the exact constants fldz and fld1 (0 and 1;
#       GCC 14 returns a float 0 with fldz), stores to memory, fst[p][sl]
#       (float, double), and fstp %st(0) (a result dropped).  A value in
#       st(0) is thus exactly what was loaded and is rounded once, by the
#       store, to the type the code converts to: the same single rounding
#       that cvtsi2ss, cvtsi2sd or cvtsd2ss gives on x86-64.  Every other
#       x87 instruction (arithmetic, comparisons, integer stores with their
#       rounding mode, 80-bit loads and stores, the rounded constants such
#       as fldpi) fails the check.
#   tests/plattform/i386_pruefen.sh einstieg datei...
#       Nothing that runs on loading up to the processor check uses the SSE,
#       MMX or x87 unit: the package entries (*_Init, Tcl_Init), the
#       library's constructors (.init_array, _init) and every function of
#       the library they call, directly or further down (calls into other
#       libraries, through the PLT, are Tcl's and the C library's, built for
#       any i686); no IFUNC relocation (its resolver would run on loading).
# Prints what it found; exits non-zero when a check fails.
set -uo pipefail

art=$1
shift
OBJDUMP=${OBJDUMP:-objdump}
status=0

x87() {  # datei
    local fremd
    fremd=$("$OBJDUMP" -d --no-show-raw-insn "$1" |
        awk -F'\t' 'NF >= 2 && $1 ~ /:$/ && $2 ~ /^f/ {
                        split($2, t, " "); m = t[1]; op = t[2]
                        if (m ~ /^(fld[sl]|fild[sl]?|fildll|fstp?[sl])$/ && op ~ /\(/) next
                        if (m == "fstp" && op == "%st(0)") next
                        if (m == "fldz" || m == "fld1") next
                        print "  " $0 }')
    if [ -n "$fremd" ]; then
        echo "$fremd" | head -10
        echo "$1: $(echo "$fremd" | wc -l) x87 instructions that are not loads or stores of float, double or integer"
        return 1
    fi
    echo "$1: no x87 arithmetic ($("$OBJDUMP" -d --no-show-raw-insn "$1" |
        awk -F'\t' 'NF >= 2 && $1 ~ /:$/ && $2 ~ /^f/ { split($2, t, " "); n[t[1]]++ }
                    END { for (m in n) printf "%s%s %d", (s++ ? ", " : ""), m, n[m] }') x87 moves)"
}

einstieg() {  # datei
    local lib=$1 dis start
    dis=$(mktemp)
    "$OBJDUMP" -d --no-show-raw-insn "$lib" > "$dis"
    # Entry points: the exported *_Init and Tcl_Init, _init, and the
    # functions whose addresses .init_array holds (4-byte words,
    # little-endian).
    start=$(nm -D --defined-only "$lib" | awk '$3 ~ /_Init$/ {print $3}')
    start="$start _init"
    for adr in $("$OBJDUMP" -s -j .init_array "$lib" 2>/dev/null |
                 awk '/^ [0-9a-f]+ / { for (i = 2; i <= 5 && length($i) == 8 && $i ~ /^[0-9a-f]+$/; i++) print $i }'); do
        adr=$(echo "$adr" | sed 's/\(..\)\(..\)\(..\)\(..\)/\4\3\2\1/')
        start="$start $(awk -v a="$adr" '$1 == a && $2 ~ /^</ { sub(/^</, "", $2); sub(/>:$/, "", $2); print $2 }' "$dis")"
    done
    awk -v start="$start" '
        /^[0-9a-f]+ <.*>:$/ { f = $2; sub(/^</, "", f); sub(/>:$/, "", f); next }
        f != "" && NF >= 2 { code[f] = code[f] "\n" $0 }
        END {
            n = split(start, liste, " ")
            for (i = 1; i <= n; i++) { offen[++k] = liste[i]; gesehen[liste[i]] = 1 }
            fehler = 0; anzahl = 0
            for (i = 1; i <= k; i++) {
                f = offen[i]
                if (!(f in code)) { print "  " f ": not found"; fehler = 1; continue }
                anzahl++
                m = split(code[f], zeilen, "\n")
                for (j = 1; j <= m; j++) {
                    z = zeilen[j]
                    split(z, feld, "\t")
                    if (feld[2] ~ /^f/ || z ~ /%(x|y|z)?mm|%st/) {
                        print "  " f ":" z; fehler = 1
                    }
                    if (feld[2] ~ /^(call|jmp|j[a-z]+) / && z ~ /<[^>@]+>$/ && z !~ /@plt>$/) {
                        ziel = z; sub(/.*</, "", ziel); sub(/>$/, "", ziel); sub(/\+0x[0-9a-f]+$/, "", ziel)
                        if (!(ziel in gesehen)) { gesehen[ziel] = 1; offen[++k] = ziel }
                    }
                }
            }
            namen = ""
            for (i = 1; i <= k; i++) namen = namen " " offen[i]
            print anzahl " functions:" namen
            exit fehler
        }' "$dis" > "$dis.aus"
    local s=$?
    if readelf -r "$lib" | grep -q IRELATIVE; then
        echo "  IFUNC relocations:"; readelf -r "$lib" | grep IRELATIVE | head -3
        s=1
    fi
    if [ $s -eq 0 ]; then
        echo "$lib: no SSE, MMX or x87 instruction before the processor check, $(tail -1 "$dis.aus")"
    else
        cat "$dis.aus"
        echo "$lib: SSE, MMX or x87 instructions on the way to the processor check"
    fi
    rm -f "$dis" "$dis.aus"
    return $s
}

for datei in "$@"; do
    "$art" "$datei" || status=1
done
exit $status
