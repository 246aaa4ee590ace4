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

} // namespace

DBLD_PAKET_EINSTIEG(befehle)
