// The Beckenrotation package: ::druckbild::beckenrotation log | logcop | result.
#ifndef DBLD_BECKENROTATION_TCL_H
#define DBLD_BECKENROTATION_TCL_H

#include "dbld.h"

#include <tcl.h>

extern "C" {
// Package entry: checks for Tcl 8.6, provides Beckenrotation 1.0 and
// registers ::druckbild::beckenrotation.
DBLD_EXPORT int Beckenrotation_Init(Tcl_Interp* interp);
// The same entry under the name a generic loader looks for.
DBLD_EXPORT int Tcl_Init(Tcl_Interp* interp);
}

#endif
