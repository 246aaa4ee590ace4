// The two commands of the Druckbildkennzahlen package that draw or outline:
//   ::druckbild::umrisse druckbild anzahl_zeilen anzahl_spalten ?-prozent p?
//   ::druckbild::differenzbild a b anzahl_zeilen anzahl_spalten ?optionen?
#include "dbld_kennzahlen_befehle.h"

#include "dbld_bild_intern.h"
#include "dbld_huellen_intern.h"
#include "dbld_intern.h"
#include "dbld_kennzahlen.h"
#include "dbld_tcl.h"

#include <climits>

using dbld_tcl::fehler;
using dbld_tcl::FEHLER;

namespace dbld_kennzahlen {

namespace {

// ---- ::druckbild::umrisse -------------------------------------------------------

const char* const umrisse_namen[] = {"links", "rechts", nullptr};
dbld_tcl::SCHLUESSEL umrisse_schluessel = {umrisse_namen, nullptr};

struct HUELLEN_FREI {
    AUSWERTUNG_HUELLEN* huellen;
    ~HUELLEN_FREI() { DBLD_huellen_freigeben(huellen); }
};

// A side's outline as a flat list x0 y0 x1 y1 ... in cell units.
Tcl_Obj* umriss(const HUELLE& h)
{
    Tcl_Obj* liste = Tcl_NewListObj(0, nullptr);
    for (int i = 0; i < h.n_punkte; ++i) {
        Tcl_ListObjAppendElement(nullptr, liste, Tcl_NewDoubleObj(h.punkte[i].x));
        Tcl_ListObjAppendElement(nullptr, liste, Tcl_NewDoubleObj(h.punkte[i].y));
    }
    return liste;
}

} // namespace

int Umrisse_Cmd(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    static const char* const optionen[] = {"-prozent", nullptr};
    if (objc != 4 && objc != 6) {
        Tcl_WrongNumArgs(interp, 1, objv, "druckbild anzahl_zeilen anzahl_spalten ?-prozent p?");
        return TCL_ERROR;
    }
    int prozent = 75;
    if (objc == 6) {
        int option;
        if (Tcl_GetIndexFromObjStruct(interp, objv[4], optionen, sizeof(char*), "option", 0,
                                      &option) != TCL_OK ||
            option_wert(interp, objv[5], "-prozent", 0, 100, &prozent) != TCL_OK)
            return TCL_ERROR;
    }
    int n_y, n_x;
    dbld_tcl::INT_FELD werte;
    if (dbld_tcl::druckbild_lesen(interp, objv[1], objv[2], objv[3], false, &n_y, &n_x,
                                  &werte) != TCL_OK)
        return TCL_ERROR;
    // The raster the evaluation would refuse, refused here with a message
    // of the command (the evaluation's own goes to the log, which is
    // silent here).
    const int n = n_rasterpunkte;
    if (n < 1 || n > INT_MAX / 100)
        return fehler(interp, FEHLER::wert, "n_rasterpunkte ausserhalb 1 .. 21474836");
    const long long zellen = (long long)n_y * n_x;
    if ((long long)n_y * n > INT_MAX || (long long)n_x * n > INT_MAX ||
        (zellen > 0 && (long long)n * n > DBLD_RASTERPUNKTE_MAX / zellen))
        return fehler(interp, FEHLER::wert, "Rasterpunkte > 16777216");

    // The evaluation takes the value range as the false-colour images do,
    // so that the outline fits the picture.
    DBLD dbld = {n_y, n_x, werte.get(), 0, 0, nullptr};
    DBLD_min_max(&dbld);
    AUSWERTUNG_HUELLEN huellen;
    int gut;
    {
        // Silent, at the command's own percentage: neither the log level nor
        // huelle_bei_prozent is touched, so that threads may call it at once.
        dbld_intern::LOG_STUMM stumm;
        gut = dbld_huellen_intern::huellen_auswerten(&huellen, &dbld, nullptr, prozent);
    }
    HUELLEN_FREI frei = {&huellen};
    // Memory is the one reason left for a side without its hull list.
    if (gut != 3)
        return dbld_tcl::zu_wenig_speicher(interp);
    Tcl_Obj* const* k = dbld_tcl::schluessel(&umrisse_schluessel);
    Tcl_Obj* d = Tcl_NewDictObj();
    dbld_tcl::dict_obj(d, k[0], umriss(huellen.huelle_links));
    dbld_tcl::dict_obj(d, k[1], umriss(huellen.huelle_rechts));
    Tcl_SetObjResult(interp, d);
    return TCL_OK;
}

// ---- ::druckbild::differenzbild ---------------------------------------------------

namespace {

const char* const bild_optionen[] = {"-mask",    "-resolution", "-grid",     "-frame",
                                     "-maximum", "-quality",    "-kontrast", nullptr};
enum class OPTION { mask, resolution, grid, frame, maximum, quality, kontrast };
const char* const gitterarten[] = {"no", "solid", "dotted", nullptr};

int differenzbild_falsch(Tcl_Interp* interp, Tcl_Obj* const objv[])
{
    Tcl_WrongNumArgs(interp, 1, objv, "a b anzahl_zeilen anzahl_spalten ?optionen?");
    return TCL_ERROR;
}

// A list of n integers into ziel, its length first ("[llength <name>] !=
// anzahl_zeilen * anzahl_spalten" otherwise, or laenge_meldung).
int liste_lesen(Tcl_Interp* interp, Tcl_Obj* liste, Tcl_Size n, const char* laenge_meldung,
                int* ziel)
{
    Tcl_Size l;
    if (dbld_tcl::liste_laenge(interp, liste, &l) != TCL_OK)
        return TCL_ERROR;
    if (l != n)
        return fehler(interp, FEHLER::laenge, laenge_meldung);
    return dbld_tcl::liste_nach_int(interp, liste, ziel);
}

} // namespace

int Differenzbild_Cmd(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    if (objc < 5 || (objc - 5) % 2 != 0)
        return differenzbild_falsch(interp, objv);
    BILDPARAMETER par = {20, 0, 0, 0, 80};
    int maximum = 0, kontrast = 0;
    bool mit_maximum = false;
    Tcl_Obj* maske = nullptr;
    for (int i = 5; i < objc; i += 2) {
        int option;
        if (Tcl_GetIndexFromObjStruct(interp, objv[i], bild_optionen, sizeof(char*), "option",
                                      0, &option) != TCL_OK)
            return TCL_ERROR;
        Tcl_Obj* wert = objv[i + 1];
        int status = TCL_OK;
        switch ((OPTION)option) {
        case OPTION::mask:
            maske = wert;
            par.mask = 1;
            break;
        case OPTION::resolution:
            status = dbld_tcl::int_lesen(interp, wert, &par.resolution);
            break;
        case OPTION::grid:
            status = Tcl_GetIndexFromObjStruct(interp, wert, gitterarten, sizeof(char*), "-grid",
                                               0, &par.grid);
            break;
        case OPTION::frame:
            status = dbld_tcl::int_lesen(interp, wert, &par.frame);
            break;
        case OPTION::maximum:
            status = dbld_tcl::int_lesen(interp, wert, &maximum);
            mit_maximum = true;
            break;
        case OPTION::quality:
            status = dbld_tcl::int_lesen(interp, wert, &par.quality);
            break;
        case OPTION::kontrast:
            status = option_wert(interp, wert, "-kontrast", 0, 7, &kontrast);
            break;
        }
        if (status != TCL_OK)
            return TCL_ERROR;
    }

    int n_y, n_x;
    Tcl_Size l;
    if (dbld_tcl::anzahl_lesen(interp, objv[3], objv[4], &n_y, &n_x) != TCL_OK ||
        dbld_tcl::liste_laenge(interp, objv[1], &l) != TCL_OK)
        return TCL_ERROR;
    if (!dbld_tcl::laenge_passt(n_y, n_x, l))
        return fehler(interp, FEHLER::laenge, "[llength a] != anzahl_zeilen * anzahl_spalten");
    const int n = (int)l;
    // a, b and the mask flags as ints, the differences as floats, in one
    // block.  The lists are read one after the other, each element array
    // taken afresh, so that a list that is an element of another (a script
    // can build that) is read from its own text when its turn comes.
    if (n > INT_MAX / 4)
        return dbld_tcl::zu_wenig_speicher(interp);
    dbld_tcl::INT_FELD block;
    if (dbld_tcl::feld_anlegen(interp, 4 * n, &block) != TCL_OK)
        return TCL_ERROR;
    int* a = block.get();
    int* b = a + n;
    int* flags = b + n;
    float* d = (float*)(flags + n);
    if (dbld_tcl::liste_nach_int(interp, objv[1], a) != TCL_OK ||
        liste_lesen(interp, objv[2], n, "[llength b] != anzahl_zeilen * anzahl_spalten", b) !=
            TCL_OK ||
        (maske && liste_lesen(interp, maske, n, "[llength mask] != [llength a]", flags) !=
                      TCL_OK))
        return TCL_ERROR;
    for (int i = 0; i < n && maske; ++i)
        flags[i] = flags[i] != 0;

    if (par.resolution < 1)
        return fehler(interp, FEHLER::wert, "-resolution < 1");
    if (par.frame < 0)
        return fehler(interp, FEHLER::wert, "-frame < 0");
    if (mit_maximum && maximum < 1)
        return fehler(interp, FEHLER::wert, "-maximum < 1");
    if (n_y < 1)
        return fehler(interp, FEHLER::wert, "anzahl_zeilen < 1");
    if (n_x < 1)
        return fehler(interp, FEHLER::wert, "anzahl_spalten < 1");

    const DBLD masse = {n_y, n_x, nullptr, 0, 0, nullptr};
    int breite, hoehe;
    size_t rastergroesse;
    if (const char* grund = dbld_bild::jpeg_masse(&masse, &par, &breite, &hoehe, &rastergroesse))
        return fehler(interp, FEHLER::wert, grund);

    const long long groesste = differenzen(a, b, n, d);
    unsigned char* puffer = nullptr;
    unsigned long laenge = 0;
    char meldung[dbld_bild::MELDUNG_MAX];
    bool speichermangel = false;
    if (!differenzbild_jpeg(&puffer, &laenge, d, flags, n_y, n_x, &par,
                            mit_maximum ? maximum : groesste, kontrast, meldung,
                            &speichermangel)) {
        return speichermangel ? dbld_tcl::zu_wenig_speicher(interp)
                              : fehler(interp, FEHLER::jpeg, meldung);
    }
    block.reset();
    return dbld_tcl::jpeg_ergebnis(interp, puffer, laenge);
}

} // namespace dbld_kennzahlen
