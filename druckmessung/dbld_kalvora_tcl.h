// The Kalvora package: ::druckbild::kalvora, the seat score of a masked image.
#ifndef DBLD_KALVORA_TCL_H
#define DBLD_KALVORA_TCL_H

#include "dbld.h"

#include <tcl.h>

extern "C" {
// Package entry: checks for Tcl 8.6, provides Kalvora 1.0 and registers
// ::druckbild::kalvora.
DBLD_EXPORT int Kalvora_Init(Tcl_Interp* interp);
// The same entry under the name a generic loader looks for.
DBLD_EXPORT int Tcl_Init(Tcl_Interp* interp);
}

#endif
