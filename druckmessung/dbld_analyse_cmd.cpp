// ::druckbild::analyse ?-debug? methode druckbild anzahl_zeilen anzahl_spalten
#include "dbld_analyse.h"
#include "dbld_intern.h"
#include "dbld_tcl.h"

#include <cstring>

using dbld_tcl::dict_double;
using dbld_tcl::dict_obj;

namespace {

// The debug level for the evaluation of a -debug call: raised for as long
// as any such call runs (on any thread), back to the level before once the
// last one is over.  A call without -debug leaves the level alone, so that
// it never writes back a level another thread has raised meanwhile.
class DebugStufe {
public:
    explicit DebugStufe(bool debug) : debug_(debug)
    {
        if (debug_)
            dbld_intern::debug_anheben();
    }
    ~DebugStufe()
    {
        if (debug_)
            dbld_intern::debug_senken();
    }
    DebugStufe(const DebugStufe&) = delete;
    DebugStufe& operator=(const DebugStufe&) = delete;

private:
    bool debug_;
};

// The result keys, as Tcl objects made once per thread.
const char* const punkt_namen[] = {"x", "y", nullptr};
const char* const ellipse_namen[] = {"mitte", "a",  "b",  "w",  "s1", "s2", "n1", "n2",
                                     "f1",    "f2", "r1", "r2", "r3", "r4", nullptr};
const char* const std_namen[] = {"schwerpunkt1_x", "schwerpunkt1_y", "schwerpunkt2_x",
                                 "schwerpunkt2_y", "schwerpunkt_x",  "schwerpunkt_y",
                                 "gewicht1",       "gewicht2",       "sitzknochenabstand",
                                 nullptr};
const char* const stdplus_namen[] = {
    "sitzknochenabstand", "sitzknochenwinkel_links", "sitzknochenwinkel_rechts",
    "sitzknochenwinkel",  "schwerpunkt1",            "schwerpunkt2",
    "schwerpunkt1_x",     "schwerpunkt1_y",          "schwerpunkt2_x",
    "schwerpunkt2_y",     "ellipse_links",           "ellipse_rechts",
    nullptr};
dbld_tcl::SCHLUESSEL punkt_schluessel = {punkt_namen, nullptr};
dbld_tcl::SCHLUESSEL ellipse_schluessel = {ellipse_namen, nullptr};
dbld_tcl::SCHLUESSEL std_schluessel = {std_namen, nullptr};
dbld_tcl::SCHLUESSEL stdplus_schluessel = {stdplus_namen, nullptr};

Tcl_Obj* tcl_mattenpunkt(Tcl_Obj* const* k, const MATTENPUNKT& p)
{
    Tcl_Obj* d = Tcl_NewDictObj();
    dict_double(d, k[0], p.x);
    dict_double(d, k[1], p.y);
    return d;
}

Tcl_Obj* tcl_ellipse(const ELLIPSE& e)
{
    Tcl_Obj* const* k = dbld_tcl::schluessel(&ellipse_schluessel);
    Tcl_Obj* const* kp = dbld_tcl::schluessel(&punkt_schluessel);
    Tcl_Obj* d = Tcl_NewDictObj();
    dict_obj(d, k[0], tcl_mattenpunkt(kp, e.mitte));
    dict_double(d, k[1], e.a);
    dict_double(d, k[2], e.b);
    dict_double(d, k[3], e.w);
    const MATTENPUNKT* punkte[] = {&e.s1, &e.s2, &e.n1, &e.n2, &e.f1,
                                   &e.f2, &e.r1, &e.r2, &e.r3, &e.r4};
    for (int i = 0; i < 10; ++i)
        dict_obj(d, k[4 + i], tcl_mattenpunkt(kp, *punkte[i]));
    return d;
}

void std_ergebnis(Tcl_Obj* d, const AUSWERTUNG_STD& e, bool vollstaendig)
{
    Tcl_Obj* const* k = dbld_tcl::schluessel(&std_schluessel);
    dict_double(d, k[0], e.schwerpunkt1.x);
    dict_double(d, k[1], e.schwerpunkt1.y);
    dict_double(d, k[2], e.schwerpunkt2.x);
    dict_double(d, k[3], e.schwerpunkt2.y);
    if (vollstaendig) {
        dict_double(d, k[4], e.schwerpunkt.x);
        dict_double(d, k[5], e.schwerpunkt.y);
        dict_double(d, k[6], e.gewicht1);
        dict_double(d, k[7], e.gewicht2);
    }
    dict_double(d, k[8], e.sitzknochenabstand);
}

void stdplus_ergebnis(Tcl_Obj* d, const AUSWERTUNG_STDPLUS& e)
{
    Tcl_Obj* const* k = dbld_tcl::schluessel(&stdplus_schluessel);
    Tcl_Obj* const* kp = dbld_tcl::schluessel(&punkt_schluessel);
    dict_double(d, k[0], e.sitzknochenabstand);
    dict_double(d, k[1], e.sitzknochenwinkel_links);
    dict_double(d, k[2], e.sitzknochenwinkel_rechts);
    dict_double(d, k[3], e.sitzknochenwinkel);
    dict_obj(d, k[4], tcl_mattenpunkt(kp, e.ellipse_links.mitte));
    dict_obj(d, k[5], tcl_mattenpunkt(kp, e.ellipse_rechts.mitte));
    dict_double(d, k[6], e.schwerpunkt1.x);
    dict_double(d, k[7], e.schwerpunkt1.y);
    dict_double(d, k[8], e.schwerpunkt2.x);
    dict_double(d, k[9], e.schwerpunkt2.y);
    dict_obj(d, k[10], tcl_ellipse(e.ellipse_links));
    dict_obj(d, k[11], tcl_ellipse(e.ellipse_rechts));
}

// Runs the chosen evaluation and puts its keys into tcl_ergebnis; cop
// without a centre leaves the dict empty.  false when std or std+ could
// not get its working memory (the only reason they give no result): its
// size grows with the image, so the host learns of it as of the command's
// own arrays.
bool auswerten(const ANALYSE_VARIANTE* variante, int methode, const DBLD* dbld,
               Tcl_Obj* tcl_ergebnis)
{
    AUSWERTUNGSERGEBNIS ergebnis;
    switch (methode) {
    case analyse::std:
        if (!DBLD_auswertung_std(&ergebnis, dbld))
            return false;
        std_ergebnis(tcl_ergebnis, ergebnis.std, variante->std_vollstaendig);
        break;
    case analyse::stdplus:
        if (!DBLD_auswertung_stdplus(&ergebnis, dbld))
            return false;
        stdplus_ergebnis(tcl_ergebnis, ergebnis.stdplus);
        break;
    case analyse::cop: {
        double x, y;
        if (variante->auswertung_cop(&x, &y, dbld)) {
            Tcl_Obj* const* k = dbld_tcl::schluessel(&punkt_schluessel);
            dict_double(tcl_ergebnis, k[0], x);
            dict_double(tcl_ergebnis, k[1], y);
        }
        break;
    }
    }
    return true;
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
    dbld_tcl::INT_FELD druckbild, maske;
    if (dbld_tcl::druckbild_lesen(interp, objargv[objargi0 + 1], objargv[objargi0 + 2],
                                  objargv[objargi0 + 3], false, &n_y, &n_x, &druckbild) != TCL_OK)
        return TCL_ERROR;
    if (variante->mit_maske && dbld_tcl::feld_anlegen(interp, n_y * n_x, &maske) != TCL_OK)
        return TCL_ERROR;

    Tcl_Obj* tcl_ergebnis = Tcl_NewDictObj();
    Tcl_IncrRefCount(tcl_ergebnis);
    bool gut;
    {
        DebugStufe stufe(debug);
        DBLD dbld = {n_y, n_x, druckbild.get(), 0, 0, maske.get()};
        gut = auswerten(variante, methode, &dbld, tcl_ergebnis);
    }
    if (gut)
        Tcl_SetObjResult(interp, tcl_ergebnis);
    Tcl_DecrRefCount(tcl_ergebnis);
    return gut ? TCL_OK : dbld_tcl::zu_wenig_speicher(interp);
}
