// The commands of the Druckbildkennzahlen package and its entry:
//   ::druckbild::statistik druckbild anzahl_zeilen anzahl_spalten ?optionen?
//   ::druckbild::mittel bilder anzahl_zeilen anzahl_spalten ?-art mittel|spitze? ?-ganzzahlig?
//   ::druckbild::farbskala ?-divergierend? ?-kontrast c? anzahl
// (::druckbild::umrisse and ::druckbild::differenzbild in
// dbld_kennzahlen_bild_tcl.cpp).

#include "dbld_kennzahlen.h"
#include "dbld_kennzahlen_befehle.h"
#include "dbld_paket.h"
#include "dbld_tcl.h"

#include <climits>
#include <cstdio>

using dbld_tcl::fehler;
using dbld_tcl::FEHLER;

namespace dbld_kennzahlen {

int option_wert(Tcl_Interp* interp, Tcl_Obj* obj, const char* name, int unten, int oben,
                int* wert)
{
    if (dbld_tcl::int_lesen(interp, obj, wert) != TCL_OK)
        return TCL_ERROR;
    if (*wert < unten)
        return fehler(interp, FEHLER::wert, Tcl_ObjPrintf("%s < %d", name, unten));
    if (*wert > oben)
        return fehler(interp, FEHLER::wert, Tcl_ObjPrintf("%s > %d", name, oben));
    return TCL_OK;
}

Tcl_Obj* liste_versuchen(Tcl_Size n)
{
    // The elements (an object and a pointer each) are attempted first and
    // given back; Tcl's object allocator would end the process instead.
    const size_t je = sizeof(Tcl_Obj) + 2 * sizeof(Tcl_Obj*);
    if (n > 0) {
        if ((size_t)n > UINT_MAX / je)
            return nullptr;
        void* probe = Tcl_AttemptAlloc((unsigned)((size_t)n * je));
        if (!probe)
            return nullptr;
        Tcl_Free((char*)probe);
    }
    return Tcl_NewListObj(0, nullptr);
}

} // namespace dbld_kennzahlen

namespace {

using namespace dbld_kennzahlen;

// ---- ::druckbild::statistik -------------------------------------------------

const char* const statistik_optionen[] = {"-schwelle", "-bereich", "-teilung", "-fenster",
                                          nullptr};
enum class STATISTIK_OPTION { schwelle, bereich, teilung, fenster };

const char* const statistik_namen[] = {
    "zellen",         "summe",         "spitze",         "spitze_zeile",
    "spitze_spalte",  "mittel",        "variationskoeffizient",
    "anteil_links",   "anteil_rechts", "anteil_unten",   "anteil_oben",
    "schwerpunkt_x",  "schwerpunkt_y", "ppi",            "ppi_zeile",
    "ppi_spalte",     nullptr};
dbld_tcl::SCHLUESSEL statistik_schluessel = {statistik_namen, nullptr};

// The region {zeile0 spalte0 zeile1 spalte1}.
int bereich_lesen(Tcl_Interp* interp, Tcl_Obj* liste, STATISTIK_WAHL* wahl)
{
    Tcl_Size n;
    Tcl_Obj** elemente;
    if (Tcl_ListObjGetElements(interp, liste, &n, &elemente) != TCL_OK)
        return TCL_ERROR;
    if (n != 4)
        return fehler(interp, FEHLER::laenge, "[llength bereich] != 4");
    int* ziel[4] = {&wahl->zeile0, &wahl->spalte0, &wahl->zeile1, &wahl->spalte1};
    for (int i = 0; i < 4; ++i)
        if (dbld_tcl::int_lesen(interp, elemente[i], ziel[i]) != TCL_OK)
            return TCL_ERROR;
    return TCL_OK;
}

int Statistik_Cmd(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    if (objc < 4 || (objc - 4) % 2 != 0) {
        Tcl_WrongNumArgs(interp, 1, objv,
                         "druckbild anzahl_zeilen anzahl_spalten ?-schwelle s? "
                         "?-bereich {zeile0 spalte0 zeile1 spalte1}? ?-teilung zeile? "
                         "?-fenster k?");
        return TCL_ERROR;
    }
    // The options first (their words and numbers), their ranges after the
    // image, when its size is known.
    STATISTIK_WAHL wahl = {0, 0, 0, 0, 0, 0, 3};
    bool bereich = false, teilung = false;
    for (int i = 4; i < objc; i += 2) {
        int option;
        if (Tcl_GetIndexFromObjStruct(interp, objv[i], statistik_optionen, sizeof(char*),
                                      "option", 0, &option) != TCL_OK)
            return TCL_ERROR;
        int status = TCL_OK;
        switch ((STATISTIK_OPTION)option) {
        case STATISTIK_OPTION::schwelle:
            status = dbld_tcl::int_lesen(interp, objv[i + 1], &wahl.schwelle);
            break;
        case STATISTIK_OPTION::bereich:
            status = bereich_lesen(interp, objv[i + 1], &wahl);
            bereich = true;
            break;
        case STATISTIK_OPTION::teilung:
            status = dbld_tcl::int_lesen(interp, objv[i + 1], &wahl.teilung);
            teilung = true;
            break;
        case STATISTIK_OPTION::fenster:
            status = dbld_tcl::int_lesen(interp, objv[i + 1], &wahl.fenster);
            break;
        }
        if (status != TCL_OK)
            return TCL_ERROR;
    }

    int n_y, n_x;
    dbld_tcl::INT_FELD werte;
    if (dbld_tcl::druckbild_lesen(interp, objv[1], objv[2], objv[3], false, &n_y, &n_x,
                                  &werte) != TCL_OK)
        return TCL_ERROR;
    const STATISTIK_WAHL standard = statistik_standard(n_y, n_x);
    if (!bereich) {
        wahl.zeile0 = standard.zeile0;
        wahl.spalte0 = standard.spalte0;
        wahl.zeile1 = standard.zeile1;
        wahl.spalte1 = standard.spalte1;
    }
    if (!teilung)
        wahl.teilung = standard.teilung;
    if (const char* grund = statistik_pruefen(wahl, n_y, n_x))
        return fehler(interp, FEHLER::wert, grund);

    STATISTIK e;
    if (!statistik(werte.get(), n_y, n_x, wahl, &e))
        return dbld_tcl::zu_wenig_speicher(interp);
    werte.reset();

    Tcl_Obj* const* k = dbld_tcl::schluessel(&statistik_schluessel);
    Tcl_Obj* d = Tcl_NewDictObj();
    dbld_tcl::dict_obj(d, k[0], Tcl_NewWideIntObj(e.zellen));
    dbld_tcl::dict_obj(d, k[1], Tcl_NewWideIntObj(e.summe));
    dbld_tcl::dict_obj(d, k[2], Tcl_NewIntObj(e.spitze));
    dbld_tcl::dict_obj(d, k[3], Tcl_NewIntObj(e.spitze_zeile));
    dbld_tcl::dict_obj(d, k[4], Tcl_NewIntObj(e.spitze_spalte));
    const double zahlen[] = {e.mittel,        e.variationskoeffizient, e.anteil_links,
                             e.anteil_rechts, e.anteil_unten,          e.anteil_oben,
                             e.schwerpunkt_x, e.schwerpunkt_y,         e.ppi};
    for (int i = 0; i < 9; ++i)
        dbld_tcl::dict_double(d, k[5 + i], zahlen[i]);
    dbld_tcl::dict_obj(d, k[14], Tcl_NewIntObj(e.ppi_zeile));
    dbld_tcl::dict_obj(d, k[15], Tcl_NewIntObj(e.ppi_spalte));
    Tcl_SetObjResult(interp, d);
    return TCL_OK;
}

// ---- ::druckbild::mittel ------------------------------------------------------

const char* const mittel_optionen[] = {"-art", "-ganzzahlig", nullptr};
enum class MITTEL_OPTION { art, ganzzahlig };
const char* const mittel_arten[] = {"mittel", "spitze", nullptr};
enum class MITTEL_ART { mittel, spitze };

int mittel_falsch(Tcl_Interp* interp, Tcl_Obj* const objv[])
{
    Tcl_WrongNumArgs(interp, 1, objv,
                     "bilder anzahl_zeilen anzahl_spalten ?-art mittel|spitze? ?-ganzzahlig?");
    return TCL_ERROR;
}

int Mittel_Cmd(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    if (objc < 4)
        return mittel_falsch(interp, objv);
    int art = (int)MITTEL_ART::mittel;
    bool ganzzahlig = false;
    for (int i = 4; i < objc; ++i) {
        int option;
        if (Tcl_GetIndexFromObjStruct(interp, objv[i], mittel_optionen, sizeof(char*),
                                      "option", 0, &option) != TCL_OK)
            return TCL_ERROR;
        if (option == (int)MITTEL_OPTION::ganzzahlig) {
            ganzzahlig = true;
            continue;
        }
        if (++i == objc)
            return mittel_falsch(interp, objv);
        if (Tcl_GetIndexFromObjStruct(interp, objv[i], mittel_arten, sizeof(char*), "-art", 0,
                                      &art) != TCL_OK)
            return TCL_ERROR;
    }

    int n_y, n_x;
    Tcl_Size n_bilder;
    Tcl_Obj** bilder;
    if (dbld_tcl::anzahl_lesen(interp, objv[2], objv[3], &n_y, &n_x) != TCL_OK ||
        Tcl_ListObjGetElements(interp, objv[1], &n_bilder, &bilder) != TCL_OK)
        return TCL_ERROR;
    if (n_bilder == 0)
        return fehler(interp, FEHLER::laenge, "[llength bilder] == 0");
    // The counts of a cell are ints (a list of more frames is possible
    // under Tcl 9 only).
    if (n_bilder > INT_MAX)
        return fehler(interp, FEHLER::laenge, "[llength bilder] > 2147483647");
    // Every frame's length before any value: a list of frames is kept
    // whole while its elements are read (the elements' own conversions do
    // not touch it).
    for (Tcl_Size b = 0; b < n_bilder; ++b) {
        Tcl_Size l;
        if (dbld_tcl::liste_laenge(interp, bilder[b], &l) != TCL_OK)
            return TCL_ERROR;
        if (!dbld_tcl::laenge_passt(n_y, n_x, l))
            return fehler(interp, FEHLER::laenge,
                          Tcl_ObjPrintf("[llength [lindex bilder %ld]] != n_y * n_x",
                                        (long)b));
    }
    if (dbld_tcl::anzahl_vorzeichen(interp, n_y, n_x) != TCL_OK)
        return TCL_ERROR;
    const int n = n_y * n_x;

    // One block: the frame's values, then the counts, then the sums (two
    // ints each) or the peaks.
    if (n > INT_MAX / 4)
        return dbld_tcl::zu_wenig_speicher(interp);
    dbld_tcl::INT_FELD block;
    if (dbld_tcl::feld_anlegen(interp, 4 * n, &block) != TCL_OK)
        return TCL_ERROR;
    int* bild = block.get();
    int* anzahlen = bild + n;
    long long* summen = (long long*)(bild + 2 * (size_t)n);
    int* spitzen = anzahlen;
    for (int i = 0; i < n && art == (int)MITTEL_ART::spitze; ++i)
        spitzen[i] = -1;
    // Each frame as ints, one after the other.  A frame may be an element
    // of another frame (a script can build that): converting it there
    // gives up its list, which is made again from its text, of the same
    // length, when its own turn comes.  The list of frames is no element
    // of a frame, so its element array stays.
    for (Tcl_Size b = 0; b < n_bilder; ++b) {
        if (dbld_tcl::liste_nach_int(interp, bilder[b], bild) != TCL_OK)
            return TCL_ERROR;
        if (art == (int)MITTEL_ART::spitze)
            spitze_aufnehmen(spitzen, bild, n);
        else
            mittel_aufnehmen(summen, anzahlen, bild, n);
    }

    Tcl_Obj* ergebnis = liste_versuchen(n);
    if (!ergebnis)
        return dbld_tcl::zu_wenig_speicher(interp);
    for (int i = 0; i < n; ++i) {
        Tcl_Obj* wert;
        if (art == (int)MITTEL_ART::spitze)
            wert = Tcl_NewIntObj(spitzen[i]);
        else if (ganzzahlig)
            wert = Tcl_NewIntObj(mittel_gerundet(summen[i], anzahlen[i]));
        else
            wert = Tcl_NewDoubleObj(mittel_wert(summen[i], anzahlen[i]));
        Tcl_ListObjAppendElement(nullptr, ergebnis, wert);
    }
    Tcl_SetObjResult(interp, ergebnis);
    return TCL_OK;
}

// ---- ::druckbild::farbskala ---------------------------------------------------

const char* const farbskala_optionen[] = {"-divergierend", "-kontrast", nullptr};
enum class FARBSKALA_OPTION { divergierend, kontrast };

// Most colours of one legend: the diverging scale has 511 levels, a legend
// of more entries repeats them.
const int legende_max = 65536;

int Farbskala_Cmd(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    bool divergierend = false;
    int kontrast = 0;
    int i = 1;
    for (; i < objc - 1; ++i) {
        int option;
        if (Tcl_GetIndexFromObjStruct(interp, objv[i], farbskala_optionen, sizeof(char*),
                                      "option", 0, &option) != TCL_OK)
            return TCL_ERROR;
        if (option == (int)FARBSKALA_OPTION::divergierend) {
            divergierend = true;
            continue;
        }
        // -kontrast takes a value, and anzahl must follow it.
        if (i + 2 > objc - 1) {
            i = objc;
            break;
        }
        if (option_wert(interp, objv[++i], "-kontrast", 0, 7, &kontrast) != TCL_OK)
            return TCL_ERROR;
    }
    if (i != objc - 1) {
        Tcl_WrongNumArgs(interp, 1, objv, "?-divergierend? ?-kontrast c? anzahl");
        return TCL_ERROR;
    }
    int anzahl;
    if (option_wert(interp, objv[i], "anzahl", 2, legende_max, &anzahl) != TCL_OK)
        return TCL_ERROR;

    Tcl_Obj* ergebnis = Tcl_NewListObj(0, nullptr);
    for (int k = 0; k < anzahl; ++k) {
        const int stufe = legendenstufe(k, anzahl, divergierend);
        unsigned char rgb[3];
        if (divergierend)
            differenzfarbe(stufe, kontrast, rgb);
        else
            druckfarbe(stufe, kontrast, rgb);
        char text[8];
        snprintf(text, sizeof text, "#%02x%02x%02x", rgb[0], rgb[1], rgb[2]);
        Tcl_ListObjAppendElement(nullptr, ergebnis, Tcl_NewStringObj(text, 7));
    }
    Tcl_SetObjResult(interp, ergebnis);
    return TCL_OK;
}

const dbld_tcl::BEFEHL befehle[] = {{"::druckbild::statistik", Statistik_Cmd},
                                    {"::druckbild::mittel", Mittel_Cmd},
                                    {"::druckbild::umrisse", Umrisse_Cmd},
                                    {"::druckbild::differenzbild", Differenzbild_Cmd},
                                    {"::druckbild::farbskala", Farbskala_Cmd},
                                    {nullptr, nullptr}};

} // namespace

DBLD_PAKET_EINSTIEG(befehle)
