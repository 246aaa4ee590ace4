// The package entry's registration (dbld_paket.h).  On 32-bit x86 this file
// is compiled with general registers only (no SSE, no x87), as is
// dbld_fehler.cpp, through which it reports: it runs before anything of the
// library that is compiled for SSE2, and on a processor without SSE2 it
// returns a Tcl error (DRUCKBILD PROZESSOR) instead of letting the host die
// of an illegal instruction in the first evaluation.
#include "dbld_paket.h"
#include "dbld_fehler.h"

#if defined(__i386__)
#include <cpuid.h>
#endif

namespace dbld_tcl {

namespace {

// Whether the processor runs what the rest of the library is compiled for.
// 32-bit x86: SSE2 (CPUID leaf 1, EDX bit 26; __get_cpuid first checks that
// there is a CPUID instruction and a leaf 1).  Every other target: always.
bool prozessor_passt()
{
#if defined(__i386__)
    unsigned int a, b, c, d;
    return __get_cpuid(1, &a, &b, &c, &d) && (d & bit_SSE2) != 0;
#else
    return true;
#endif
}

} // namespace

int paket_anmelden(Tcl_Interp* interp, const PAKET* paket)
{
    const bool passt = prozessor_passt();
#ifdef USE_TCL_STUBS
    // Stubs build: the stubs library's Tcl_InitStubs fills this library's
    // table of Tcl functions and makes the same version check.
    if (!Tcl_InitStubs(interp, DBLD_TCL_VERSION, 0))
#else
    if (!Tcl_PkgInitStubsCheck(interp, DBLD_TCL_VERSION, 0))
#endif
        return TCL_ERROR;
    if (!passt)
        return fehler(interp, FEHLER::prozessor,
                      Tcl_ObjPrintf("%s braucht einen Prozessor mit SSE2", paket->name));
    if (Tcl_PkgProvideEx(interp, paket->name, paket->version, nullptr) == TCL_ERROR)
        return TCL_ERROR;
    for (const BEFEHL* b = paket->befehle; b->name; ++b)
        Tcl_CreateObjCommand(interp, b->name, b->proc, nullptr, nullptr);
    return TCL_OK;
}

} // namespace dbld_tcl
