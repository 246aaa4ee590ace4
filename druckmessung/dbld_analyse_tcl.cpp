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

namespace {

const dbld_tcl::BEFEHL befehle[] = {{"::druckbild::analyse", Druckbildanalyse_Cmd},
                                    {nullptr, nullptr}};
const dbld_tcl::PAKET paket = {"Druckbildanalyse", "0.2", befehle};

} // namespace

int Druckbildanalyse_Init(Tcl_Interp* interp)
{
    return dbld_tcl::paket_anmelden(interp, &paket);
}

int Tcl_Init(Tcl_Interp* interp)
{
    return Druckbildanalyse_Init(interp);
}
