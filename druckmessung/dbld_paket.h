// Package entry shared by the libraries: processor check, version check,
// package provision and command registration, in that order.
//
// On 32-bit x86 the libraries are compiled for SSE2; dbld_paket.cpp and
// dbld_fehler.cpp are not (general registers only), so that paket_anmelden
// can refuse a processor without SSE2 before any of that code runs.  An
// entry is therefore nothing but a call of paket_anmelden with the
// interpreter and a constant record: DBLD_PAKET_EINSTIEG below.
#ifndef DBLD_PAKET_H
#define DBLD_PAKET_H

#include "dbld.h"
#include "dbld_tclversion.h"

namespace dbld_tcl {

struct BEFEHL {
    const char* name;
    Tcl_ObjCmdProc* proc;
};

struct PAKET {
    const char* name;
    const char* version;
    const BEFEHL* befehle;  // up to an entry with name nullptr
};

// Tests the processor (32-bit x86: SSE2, "<Paket> braucht einen Prozessor
// mit SSE2" with the code DRUCKBILD PROZESSOR otherwise), requires the Tcl
// the module was built for (8.6 or a later 8.x, or 9.x), provides the
// package and creates its commands (no client data, no delete procedure).
// Fails only when one of the first three steps fails.
int paket_anmelden(Tcl_Interp* interp, const PAKET* paket);

} // namespace dbld_tcl

// DBLD_PAKET_EINSTIEG(befehle): the module's package entry <Paket>_Init,
// which registers the package with the commands befehle (BEFEHL up to an
// entry with name nullptr) through paket_anmelden, and Tcl_Init, the same
// entry under the name a generic loader looks for.  The package's name and
// version, and with them the entry's name, come from the build as
// DBLD_PAKET_NAME, DBLD_PAKET_VERSION and DBLD_PAKET_INIT (dbld_paket in
// cmake/dbld_paket.cmake).
#define DBLD_PAKET_EINSTIEG(befehle)                                                \
    extern "C" DBLD_EXPORT int DBLD_PAKET_INIT(Tcl_Interp* interp)                 \
    {                                                                              \
        static const dbld_tcl::PAKET paket = {DBLD_PAKET_NAME, DBLD_PAKET_VERSION, \
                                              befehle};                            \
        return dbld_tcl::paket_anmelden(interp, &paket);                           \
    }                                                                              \
    extern "C" DBLD_EXPORT int Tcl_Init(Tcl_Interp* interp)                        \
    {                                                                              \
        return DBLD_PAKET_INIT(interp);                                            \
    }

#endif
