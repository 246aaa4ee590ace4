// The Beckenrotation package: ::druckbild::beckenrotation log | logcop | result
// over the process-wide pelvic rotation log.
#include "dbld_paket.h"
#include "dbld_intern.h"
#include "dbld_tcl.h"

namespace {

enum names_subcmds { sub_log = 0, sub_logcop = 1, sub_result = 2 };

// Static, not on the stack: Tcl caches the table's address in the word's
// internal representation and trusts it on the next lookup.
const char* const subcmds[] = {"log", "logcop", "result", nullptr};

int usage(Tcl_Interp* interp, Tcl_Obj* const objargv[], const char* text)
{
    Tcl_WrongNumArgs(interp, 1, objargv, text);
    return TCL_ERROR;
}

// A coordinate of log must stay finite in single precision, where the fit
// sums it (Tcl itself refuses NaN).
int koordinate_pruefen(Tcl_Interp* interp, double wert, const char* name)
{
    if (dbld_intern::float_endlich(wert))
        return TCL_OK;
    return dbld_tcl::fehler(interp, dbld_tcl::FEHLER::wert,
                            Tcl_ObjPrintf("%s ist keine endliche Zahl", name));
}

int cmd_log(Tcl_Interp* interp, int objargc, Tcl_Obj* const objargv[])
{
    if (objargc != 4)
        return usage(interp, objargv, "log x y");
    // Both conversions first, with Tcl's messages; then the range.
    double x, y;
    if (Tcl_GetDoubleFromObj(interp, objargv[2], &x) != TCL_OK ||
        Tcl_GetDoubleFromObj(interp, objargv[3], &y) != TCL_OK ||
        koordinate_pruefen(interp, x, "x") != TCL_OK ||
        koordinate_pruefen(interp, y, "y") != TCL_OK)
        return TCL_ERROR;
    Tcl_SetObjResult(interp, Tcl_NewIntObj(BROT_log(x, y)));
    return TCL_OK;
}

int cmd_logcop(Tcl_Interp* interp, int objargc, Tcl_Obj* const objargv[])
{
    if (objargc != 5)
        return usage(interp, objargv, "logcop werte anzahl_zeilen anzahl_spalten");
    int n_y, n_x;
    dbld_tcl::INT_FELD druckbild, maske;
    if (dbld_tcl::druckbild_lesen(interp, objargv[2], objargv[3], objargv[4], false, &n_y,
                                  &n_x, &druckbild) != TCL_OK ||
        dbld_tcl::feld_anlegen(interp, n_y * n_x, &maske) != TCL_OK)
        return TCL_ERROR;
    DBLD dbld = {n_y, n_x, druckbild.get(), 0, 0, maske.get()};
    Tcl_SetObjResult(interp, Tcl_NewIntObj(BROT_logcop(&dbld)));
    return TCL_OK;
}

int cmd_result(Tcl_Interp* interp)
{
    Tcl_Obj* ergebnis = Tcl_NewDictObj();
    OVAL beckenrotation;
    if (BROT_result(&beckenrotation) == 0) {
        using dbld_tcl::dict_double;
        dict_double(ergebnis, "width", beckenrotation.width);
        dict_double(ergebnis, "height", beckenrotation.height);
        const struct {
            const char* key_x;
            const char* key_y;
            const MATTENPUNKT& p;
        } punkte[] = {
            {"center_x", "center_y", beckenrotation.center},
            {"left_x", "left_y", beckenrotation.left},
            {"front_x", "front_y", beckenrotation.front},
            {"right_x", "right_y", beckenrotation.right},
            {"rear_x", "rear_y", beckenrotation.rear},
            {"c1_x", "c1_y", beckenrotation.c1},
            {"c2_x", "c2_y", beckenrotation.c2},
            {"c3_x", "c3_y", beckenrotation.c3},
            {"c4_x", "c4_y", beckenrotation.c4},
        };
        for (const auto& p : punkte) {
            dict_double(ergebnis, p.key_x, p.p.x);
            dict_double(ergebnis, p.key_y, p.p.y);
        }
    }
    Tcl_SetObjResult(interp, ergebnis);
    return TCL_OK;
}

int Beckenrotation_Cmd(ClientData, Tcl_Interp* interp, int objargc, Tcl_Obj* const objargv[])
{
    if (objargc < 2)
        return usage(interp, objargv, "unterkommando ...");
    int subcmd;
    if (Tcl_GetIndexFromObjStruct(interp, objargv[1], subcmds, sizeof(char*), "methode", 0,
                                  &subcmd) != TCL_OK)
        return TCL_ERROR;
    switch (subcmd) {
    case sub_log:
        return cmd_log(interp, objargc, objargv);
    case sub_logcop:
        return cmd_logcop(interp, objargc, objargv);
    default:
        // Further words after result are ignored.
        return cmd_result(interp);
    }
}

const dbld_tcl::BEFEHL befehle[] = {{"::druckbild::beckenrotation", Beckenrotation_Cmd},
                                    {nullptr, nullptr}};

} // namespace

DBLD_PAKET_EINSTIEG(befehle)
