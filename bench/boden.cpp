// Bench-only Tcl module (build/libboden.so, not a package): the floor of
// the image commands.  ::bench::boden druckbild anzahl_zeilen anzahl_spalten
// does only what every image command does before its evaluation: it checks
// the counts and the list length and converts the list to an int array,
// with the same shared helper as ::druckbild::analyse.  The benchmarks
// compare the commands against it.
#include "dbld.h"
#include "dbld_tcl.h"

namespace {

int Boden_Cmd(ClientData, Tcl_Interp* interp, int objargc, Tcl_Obj* const objargv[])
{
    if (objargc != 4) {
        Tcl_WrongNumArgs(interp, 1, objargv, "druckbild anzahl_zeilen anzahl_spalten");
        return TCL_ERROR;
    }
    int n_y, n_x;
    dbld_tcl::INT_FELD druckbild;
    return dbld_tcl::druckbild_lesen(interp, objargv[1], objargv[2], objargv[3], false, &n_y,
                                        &n_x, &druckbild);
}

} // namespace

extern "C" DBLD_EXPORT int Boden_Init(Tcl_Interp* interp)
{
    Tcl_CreateObjCommand(interp, "::bench::boden", Boden_Cmd, nullptr, nullptr);
    return TCL_OK;
}
