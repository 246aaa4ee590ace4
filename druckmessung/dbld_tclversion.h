// One source for Tcl 8.6 and Tcl 9: the length type Tcl hands over and the
// Tcl version a package entry requires, taken from the tcl.h the source is
// compiled against.
#ifndef DBLD_TCLVERSION_H
#define DBLD_TCLVERSION_H

#include <tcl.h>

#include <climits>

// Tcl 9 hands list and string lengths over as Tcl_Size (ptrdiff_t), Tcl 8.6
// as int; the 8.6 headers before 8.6.14 lack the name.
#ifndef TCL_SIZE_MAX
typedef int Tcl_Size;
#define TCL_SIZE_MAX INT_MAX
#endif

// The version a package entry asks of the loading interpreter, not exact:
// any 8.x from 8.6 on for a module built against Tcl 8.6, any 9.x for one
// built against Tcl 9.
#if TCL_MAJOR_VERSION >= 9
#define DBLD_TCL_VERSION "9.0"
#else
#define DBLD_TCL_VERSION "8.6"
#endif

#endif
