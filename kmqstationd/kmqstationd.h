// The Kmqstationd package: the station's analysis command, the image
// commands and the station-bound string cipher ::kmqcrypt.
#ifndef KMQSTATIOND_H
#define KMQSTATIOND_H

#include "dbld.h"

#include <tcl.h>

extern "C" {
// ::kmqcrypt { encrypt | encrypt00 | decrypt | decrypt00 } <string>
DBLD_EXPORT int Kmqcrypt_Cmd(ClientData cdata, Tcl_Interp* interp, int objargc,
                             Tcl_Obj* const objargv[]);
}

#endif
