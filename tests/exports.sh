#!/bin/sh
# Checks a module's dynamic symbol table: exactly the expected plain names
# are exported (none missing, none more), nothing C++-mangled is, libtcl is
# not among the needed libraries (the host process provides Tcl), and no
# sine, cosine or tangent is taken from the maths library (the evaluations
# hold those values as constants).
#   exports.sh library name...
lib=$1
shift
status=0
erwartet=$(printf '%s\n' "$@" | sort -u)
# AddressSanitizer gives each exported variable X an indicator __odr_asan.X;
# those of listed variables belong to them.
symbole=$(nm -D --defined-only "$lib" | awk '{print $3}' | sort -u |
          grep -vxF "$(echo "$erwartet" | sed 's/^/__odr_asan./')")
fehlen=$(echo "$erwartet" | grep -vxF "$symbole")
[ -z "$fehlen" ] || { echo "$lib: not exported:" $fehlen; status=1; }
mehr=$(echo "$symbole" | grep -vxF "$erwartet")
[ -z "$mehr" ] || { echo "$lib: exported, but not in the list:" $mehr; status=1; }
gemangelt=$(echo "$symbole" | grep '^_Z')
[ -z "$gemangelt" ] || { echo "$lib: C++ symbols exported:"; echo "$gemangelt"; status=1; }
mathe=$(nm -D --undefined-only "$lib" | awk '{print $2}' | grep -E '^(sinf|cosf|sincosf|tanf)(@|$)')
[ -z "$mathe" ] || { echo "$lib: takes from the maths library:" $mathe; status=1; }
if readelf -d "$lib" | grep NEEDED | grep -qi 'libtcl'; then
    echo "$lib: links libtcl"
    status=1
fi
[ $status -eq 0 ] && echo "$lib: exactly the $(echo "$erwartet" | wc -l) listed names exported, no C++ symbols, no libtcl, no sinf/cosf/sincosf/tanf"
exit $status
