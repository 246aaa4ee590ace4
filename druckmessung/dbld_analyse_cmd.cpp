// ::druckbild::analyse ?-debug? methode druckbild anzahl_zeilen anzahl_spalten
#include "dbld_analyse.h"
#include "dbld_tcl.h"

#include <cstring>

using dbld_tcl::dict_double;
using dbld_tcl::dict_obj;

namespace {

// Restores the diagnostic log level when the evaluation is over.
struct LoglevelSicherung {
    DBLD_LOGLEVEL old_dbld_loglevel = dbld_loglevel;
    ~LoglevelSicherung() { dbld_loglevel = old_dbld_loglevel; }
};

Tcl_Obj* tcl_mattenpunkt(const MATTENPUNKT& p)
{
    Tcl_Obj* d = Tcl_NewDictObj();
    dict_double(d, "x", p.x);
    dict_double(d, "y", p.y);
    return d;
}

Tcl_Obj* tcl_ellipse(const ELLIPSE& e)
{
    Tcl_Obj* d = Tcl_NewDictObj();
    dict_obj(d, "mitte", tcl_mattenpunkt(e.mitte));
    dict_double(d, "a", e.a);
    dict_double(d, "b", e.b);
    dict_double(d, "w", e.w);
    const struct {
        const char* key;
        const MATTENPUNKT& p;
    } punkte[] = {{"s1", e.s1}, {"s2", e.s2}, {"n1", e.n1}, {"n2", e.n2}, {"f1", e.f1},
                  {"f2", e.f2}, {"r1", e.r1}, {"r2", e.r2}, {"r3", e.r3}, {"r4", e.r4}};
    for (const auto& p : punkte)
        dict_obj(d, p.key, tcl_mattenpunkt(p.p));
    return d;
}

void std_ergebnis(Tcl_Obj* d, const AUSWERTUNG_STD& e, bool vollstaendig)
{
    dict_double(d, "schwerpunkt1_x", e.schwerpunkt1.x);
    dict_double(d, "schwerpunkt1_y", e.schwerpunkt1.y);
    dict_double(d, "schwerpunkt2_x", e.schwerpunkt2.x);
    dict_double(d, "schwerpunkt2_y", e.schwerpunkt2.y);
    if (vollstaendig) {
        dict_double(d, "schwerpunkt_x", e.schwerpunkt.x);
        dict_double(d, "schwerpunkt_y", e.schwerpunkt.y);
        dict_double(d, "gewicht1", e.gewicht1);
        dict_double(d, "gewicht2", e.gewicht2);
    }
    dict_double(d, "sitzknochenabstand", e.sitzknochenabstand);
}

void stdplus_ergebnis(Tcl_Obj* d, const AUSWERTUNG_STDPLUS& e)
{
    dict_double(d, "sitzknochenabstand", e.sitzknochenabstand);
    dict_double(d, "sitzknochenwinkel_links", e.sitzknochenwinkel_links);
    dict_double(d, "sitzknochenwinkel_rechts", e.sitzknochenwinkel_rechts);
    dict_double(d, "sitzknochenwinkel", e.sitzknochenwinkel);
    dict_obj(d, "schwerpunkt1", tcl_mattenpunkt(e.ellipse_links.mitte));
    dict_obj(d, "schwerpunkt2", tcl_mattenpunkt(e.ellipse_rechts.mitte));
    dict_double(d, "schwerpunkt1_x", e.schwerpunkt1.x);
    dict_double(d, "schwerpunkt1_y", e.schwerpunkt1.y);
    dict_double(d, "schwerpunkt2_x", e.schwerpunkt2.x);
    dict_double(d, "schwerpunkt2_y", e.schwerpunkt2.y);
    dict_obj(d, "ellipse_links", tcl_ellipse(e.ellipse_links));
    dict_obj(d, "ellipse_rechts", tcl_ellipse(e.ellipse_rechts));
}

// Runs the chosen evaluation and puts its keys into tcl_ergebnis; an
// evaluation without result leaves the dict empty.
void auswerten(const ANALYSE_VARIANTE* variante, int methode, const DBLD* dbld,
               Tcl_Obj* tcl_ergebnis)
{
    AUSWERTUNGSERGEBNIS ergebnis;
    switch (methode) {
    case analyse::std:
        if (DBLD_auswertung_std(&ergebnis, dbld))
            std_ergebnis(tcl_ergebnis, ergebnis.std, variante->std_vollstaendig);
        break;
    case analyse::stdplus:
        if (DBLD_auswertung_stdplus(&ergebnis, dbld))
            stdplus_ergebnis(tcl_ergebnis, ergebnis.stdplus);
        break;
    case analyse::cop: {
        double x, y;
        if (variante->auswertung_cop(&x, &y, dbld)) {
            dict_double(tcl_ergebnis, "x", x);
            dict_double(tcl_ergebnis, "y", y);
        }
        break;
    }
    }
}

} // namespace

int analyse_cmd(const ANALYSE_VARIANTE* variante, Tcl_Interp* interp, int objargc,
                Tcl_Obj* const objargv[])
{
    bool debug = objargc > 1 && strcmp(Tcl_GetString(objargv[1]), "-debug") == 0;
    if (objargc != (debug ? 6 : 5)) {
        Tcl_WrongNumArgs(interp, 1, objargv,
                         "?-debug? methode druckbild anzahl_zeilen anzahl_spalten");
        return TCL_ERROR;
    }
    int objargi0 = debug ? 2 : 1;

    int methode;
    if (Tcl_GetIndexFromObjStruct(interp, objargv[objargi0], variante->mtds_analyse,
                                  sizeof(char*), "methode", 0, &methode) != TCL_OK)
        return TCL_ERROR;

    int n_y, n_x;
    dbld_tcl::IntFeld druckbild, maske;
    if (dbld_tcl::druckbild_lesen(interp, objargv[objargi0 + 1], objargv[objargi0 + 2],
                                  objargv[objargi0 + 3], false, &n_y, &n_x,
                                  &druckbild) != TCL_OK)
        return TCL_ERROR;
    if (variante->mit_maske && dbld_tcl::feld_anlegen(interp, n_y * n_x, &maske) != TCL_OK)
        return TCL_ERROR;

    Tcl_Obj* tcl_ergebnis = Tcl_NewDictObj();
    {
        LoglevelSicherung sicherung;
        if (debug)
            dbld_loglevel = DBLD_LOGLEVEL_DBG;
        DBLD dbld = {n_y, n_x, druckbild.get(), 0, 0, maske.get()};
        auswerten(variante, methode, &dbld, tcl_ergebnis);
    }
    Tcl_SetObjResult(interp, tcl_ergebnis);
    return TCL_OK;
}
