// The Druckbildkennzahlen package: ::druckbild::statistik, ::druckbild::mittel,
// ::druckbild::umrisse, ::druckbild::differenzbild and ::druckbild::farbskala.
#ifndef DBLD_KENNZAHLEN_TCL_H
#define DBLD_KENNZAHLEN_TCL_H

#include "dbld.h"

#include <tcl.h>

extern "C" {
// Package entry: checks for the Tcl the module was built for, provides
// Druckbildkennzahlen 1.0 and registers its five commands.
DBLD_EXPORT int Druckbildkennzahlen_Init(Tcl_Interp* interp);
// The same entry under the name a generic loader looks for.
DBLD_EXPORT int Tcl_Init(Tcl_Interp* interp);
}

#endif
