// The Druckbildanalyse package: ::druckbild::analyse with std, std+ and cop.
#include "dbld_paket.h"
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
    return dbld_tcl::paket_anmelden(interp, "Druckbildanalyse", "0.2",
                                    {{"::druckbild::analyse", Druckbildanalyse_Cmd}});
}

int Tcl_Init(Tcl_Interp* interp)
{
    return Druckbildanalyse_Init(interp);
}
