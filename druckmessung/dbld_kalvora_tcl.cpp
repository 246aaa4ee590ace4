// ::druckbild::kalvora druckbild anzahl_zeilen anzahl_spalten maske
#include "dbld_paket.h"
#include "dbld_tcl.h"

#include <cstdio>

namespace {

using dbld_tcl::fehler;
using dbld_tcl::FEHLER;

// Converts the value and mask lists into arrays of their own, scores the
// image and returns the score with one decimal as the result.
int Kalvora_Cmd(ClientData, Tcl_Interp* interp, int objargc, Tcl_Obj* const objargv[])
{
    if (objargc != 5) {
        Tcl_WrongNumArgs(interp, 1, objargv, "druckbild anzahl_zeilen anzahl_spalten maske");
        return TCL_ERROR;
    }
    Tcl_Obj* druckbild = objargv[1];
    Tcl_Obj* maske = objargv[4];

    // Only the product of the counts is checked against the lists (in 64
    // bits); their signs are not.
    Tcl_Size lw, lm;
    int n_y, n_x;
    if (dbld_tcl::liste_laenge(interp, druckbild, &lw) != TCL_OK ||
        dbld_tcl::anzahl_lesen(interp, objargv[2], objargv[3], &n_y, &n_x) != TCL_OK ||
        dbld_tcl::liste_laenge(interp, maske, &lm) != TCL_OK)
        return TCL_ERROR;
    if (!dbld_tcl::laenge_passt(n_y, n_x, lw))
        return fehler(interp, FEHLER::laenge, "[llength druckbild] != n_y * n_x");
    if (lw != lm)
        return fehler(interp, FEHLER::laenge, "[llength druckbild] != [llength maske]");
    const int l = (int)lw;

    dbld_tcl::INT_FELD werte, maskenwerte;
    if (dbld_tcl::feld_anlegen(interp, l, &werte) != TCL_OK ||
        dbld_tcl::feld_anlegen(interp, l, &maskenwerte) != TCL_OK ||
        dbld_tcl::liste_nach_int(interp, druckbild, werte.get()) != TCL_OK ||
        dbld_tcl::liste_nach_int(interp, maske, maskenwerte.get()) != TCL_OK)
        return TCL_ERROR;

    DBLD dbld = {n_y, n_x, werte.get(), 0, 0, maskenwerte.get()};
    DBLD_min_max(&dbld);
    double score = DBLD_kalvora(&dbld);
    if (score < 0.0)
        return dbld_tcl::zu_wenig_speicher(interp);

    // Every score in [0, 100] fits: "100.0" takes five characters.
    char text[6];
    int laenge = snprintf(text, sizeof text, "%.1lf", score);
    if (laenge < 0 || laenge >= (int)sizeof text)
        return fehler(interp, FEHLER::wert, "score ausserhalb 0 .. 100");
    Tcl_SetObjResult(interp, Tcl_NewStringObj(text, laenge));
    return TCL_OK;
}

const dbld_tcl::BEFEHL befehle[] = {{"::druckbild::kalvora", Kalvora_Cmd}, {nullptr, nullptr}};

} // namespace

DBLD_PAKET_EINSTIEG(befehle)
