// Stubs build (CMake option DBLD_TCL_STUBS): included ahead of every source
// that talks to Tcl, with USE_TCL_STUBS defined.  Every Tcl call then goes
// through the stubs table that the package entry sets up with
// Tcl_InitStubs, so the libraries find Tcl in a host that opened libtcl
// privately (Python's tkinter, for one).
//
// tclDecls.h turns the name Tcl_Init into a macro for the table's entry.
// The libraries define a Tcl_Init of their own (the forwarder to the
// package entry), so the name goes back to being a plain function here,
// before any header declares it.
#ifndef DBLD_TCLSTUBS_H
#define DBLD_TCLSTUBS_H

#include <tcl.h>

#undef Tcl_Init

#endif
