// The image commands of the station package: ::druckbild::jpegdata and
// ::druckbild::photo_configure.  The package entry registers them.
#ifndef DBLD_BILD_TCL_H
#define DBLD_BILD_TCL_H

#include "dbld.h"

#include <tcl.h>

extern "C" {
// ::druckbild::jpegdata ?options? werte anzahl_zeilen anzahl_spalten
DBLD_EXPORT int Druckbildjpegdata_Cmd(ClientData cdata, Tcl_Interp* interp, int objargc,
                                      Tcl_Obj* const objargv[]);
// ::druckbild::photo_configure option ?wert?
DBLD_EXPORT int Druckbildphoto_configure_Cmd(ClientData cdata, Tcl_Interp* interp,
                                             int objargc, Tcl_Obj* const objargv[]);
}

#endif
