// The Druckbildanalyse package: ::druckbild::analyse with std, std+ and cop.
#include "dbld_analyse.h"

namespace {

const char* const mtds_analyse[] = {"std", "std+", "cop", nullptr};

const ANALYSE_VARIANTE druckbildanalyse = {mtds_analyse, DBLD_auswertung_cop, true, true};

} // namespace

int Druckbildanalyse_Cmd(ClientData, Tcl_Interp* interp, int objargc,
                         Tcl_Obj* const objargv[])
{
    return analyse_cmd(&druckbildanalyse, interp, objargc, objargv);
}

int Druckbildanalyse_Init(Tcl_Interp* interp)
{
    if (!Tcl_PkgInitStubsCheck(interp, "8.6", 0))
        return TCL_ERROR;
    if (Tcl_PkgProvideEx(interp, "Druckbildanalyse", "0.2", nullptr) == TCL_ERROR)
        return TCL_ERROR;
    Tcl_CreateObjCommand(interp, "::druckbild::analyse", Druckbildanalyse_Cmd, nullptr,
                         nullptr);
    return TCL_OK;
}

int Tcl_Init(Tcl_Interp* interp)
{
    return Druckbildanalyse_Init(interp);
}
