// Package entry shared by the four libraries: version check, package
// provision and command registration, in that order.
#ifndef DBLD_PAKET_H
#define DBLD_PAKET_H

#include "dbld_tclversion.h"

#include <initializer_list>

namespace dbld_tcl {

struct BEFEHL {
    const char* name;
    Tcl_ObjCmdProc* proc;
};

// Requires the Tcl the module was built for (8.6 or a later 8.x, or 9.x),
// provides the package and creates its commands (no client data, no delete
// procedure).  Fails only when one of the first two steps fails.
inline int paket_anmelden(Tcl_Interp* interp, const char* paket, const char* version,
                          std::initializer_list<BEFEHL> befehle)
{
#ifdef USE_TCL_STUBS
    // Stubs build: the stubs library's Tcl_InitStubs fills this library's
    // table of Tcl functions and makes the same version check.
    if (!Tcl_InitStubs(interp, DBLD_TCL_VERSION, 0))
#else
    if (!Tcl_PkgInitStubsCheck(interp, DBLD_TCL_VERSION, 0))
#endif
        return TCL_ERROR;
    if (Tcl_PkgProvideEx(interp, paket, version, nullptr) == TCL_ERROR)
        return TCL_ERROR;
    for (const BEFEHL& b : befehle)
        Tcl_CreateObjCommand(interp, b.name, b.proc, nullptr, nullptr);
    return TCL_OK;
}

} // namespace dbld_tcl

#endif
