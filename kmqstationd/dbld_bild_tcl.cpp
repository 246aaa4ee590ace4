// ::druckbild::jpegdata ?options? werte anzahl_zeilen anzahl_spalten
// ::druckbild::photo_configure option ?wert?
#include "dbld_bild_tcl.h"

#include "dbld_bild_intern.h"
#include "dbld_speicher.h"
#include "dbld_tcl.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

using dbld_tcl::fehler;
using dbld_tcl::FEHLER;

namespace {

// ---- ::druckbild::jpegdata ------------------------------------------------

const char* const optionen[] = {"-mask",    "-resolution", "-grid", "-frame",
                                "-maximum", "-quality",    nullptr};
enum class OPTION { mask, resolution, grid, frame, maximum, quality };

const char* const gitterarten[] = {"no", "solid", "dotted", nullptr};

struct JPEGOPTIONEN {
    BILDPARAMETER par;
    int maximum;
    Tcl_Obj* maske; // the mask list as given, or null
};

int falsche_anzahl(Tcl_Interp* interp, Tcl_Obj* const objargv[])
{
    Tcl_WrongNumArgs(interp, 1, objargv, "?options? werte anzahl_zeilen anzahl_spalten");
    return TCL_ERROR;
}

// The first character of a word's string.  A list without a string yet (an
// image list built by the script) keeps it so: its string would begin with
// its first element as the list writes it, which is all that is built here.
// Building the whole text of a large image first would ask Tcl's allocator
// for it, which ends the host when memory is short.
char erstes_zeichen(Tcl_Obj* wort)
{
    static const Tcl_ObjType* const liste = Tcl_GetObjType("list");
    if (wort->bytes || !liste || wort->typePtr != liste)
        return Tcl_GetString(wort)[0];
    Tcl_Size n;
    Tcl_Obj** elemente;
    if (Tcl_ListObjGetElements(nullptr, wort, &n, &elemente) != TCL_OK)
        return Tcl_GetString(wort)[0];
    if (n == 0)
        return '\0';
    Tcl_Size laenge;
    const char* text = Tcl_GetStringFromObj(elemente[0], &laenge);
    int flags = 0;
    const Tcl_Size noetig = Tcl_ScanCountedElement(text, laenge, &flags);
    // An element that needs a long quoting is no image value: the list's
    // own text decides.
    char puffer[64];
    if (noetig >= (Tcl_Size)sizeof puffer)
        return Tcl_GetString(wort)[0];
    Tcl_ConvertCountedElement(text, laenge, puffer, flags);
    return puffer[0];
}

// Reads the options from objargv[*i] on, while a word starts with "-" and
// at least three words remain from it.  *i is then the first word after
// them.  A later option overrides an earlier one.
int optionen_lesen(Tcl_Interp* interp, int objargc, Tcl_Obj* const objargv[], int* i,
                   JPEGOPTIONEN* opt)
{
    while (objargc - *i >= 3 && erstes_zeichen(objargv[*i]) == '-') {
        int index;
        if (Tcl_GetIndexFromObjStruct(interp, objargv[*i], optionen, sizeof(char*), "option", 0,
                                      &index) != TCL_OK)
            return TCL_ERROR;
        const OPTION option = (OPTION)index;
        Tcl_Obj* wert = objargv[*i + 1];
        int status = TCL_OK;
        switch (option) {
        case OPTION::mask:
            opt->maske = wert;
            opt->par.mask = 1;
            break;
        case OPTION::resolution:
            status = dbld_tcl::int_lesen(interp, wert, &opt->par.resolution);
            break;
        case OPTION::grid:
            status = Tcl_GetIndexFromObjStruct(interp, wert, gitterarten, sizeof(char*), "-grid",
                                               0, &opt->par.grid);
            break;
        case OPTION::frame:
            status = dbld_tcl::int_lesen(interp, wert, &opt->par.frame);
            break;
        case OPTION::maximum:
            status = dbld_tcl::int_lesen(interp, wert, &opt->maximum);
            break;
        case OPTION::quality:
            status = dbld_tcl::int_lesen(interp, wert, &opt->par.quality);
            break;
        }
        if (status != TCL_OK)
            return TCL_ERROR;
        *i += 2;
    }
    return TCL_OK;
}

// The elements of a list as held for the conversions of one command: the
// list's own element array, or, where converting an element could free
// that array, a copy of its pointers with a reference on each element.
class ELEMENTE {
public:
    ~ELEMENTE()
    {
        if (!kopie_)
            return;
        for (Tcl_Size k = 0; k < n_; ++k)
            Tcl_DecrRefCount(kopie_[k]);
    }
    // Takes the elements of liste; TCL_ERROR with Tcl's message when it is
    // no list.
    int nehmen(Tcl_Interp* interp, Tcl_Obj* liste)
    {
        return Tcl_ListObjGetElements(interp, liste, &n_, &elemente_);
    }
    // Holds the elements on their own (an attempted copy of the pointers);
    // false when its memory cannot be obtained.
    bool festhalten()
    {
        kopie_.reset(dbld_tcl::versuchen<Tcl_Obj*>((size_t)n_));
        if (!kopie_)
            return false;
        for (Tcl_Size k = 0; k < n_; ++k) {
            kopie_[k] = elemente_[k];
            Tcl_IncrRefCount(kopie_[k]);
        }
        elemente_ = kopie_.get();
        return true;
    }
    // Whether obj is one of the elements.
    bool enthaelt(const Tcl_Obj* obj) const
    {
        for (Tcl_Size k = 0; k < n_; ++k)
            if (elemente_[k] == obj)
                return true;
        return false;
    }
    Tcl_Size anzahl() const { return n_; }
    Tcl_Obj* operator[](Tcl_Size k) const { return elemente_[k]; }

    ELEMENTE() = default;
    ELEMENTE(const ELEMENTE&) = delete;
    ELEMENTE& operator=(const ELEMENTE&) = delete;

private:
    Tcl_Size n_ = 0;
    Tcl_Obj** elemente_ = nullptr;
    dbld_tcl::TCL_BLOCK<Tcl_Obj*[]> kopie_;
};

// Values into the first n ints of block, mask flags (1 for a non-zero
// element, else 0) into the second n, converted in list order, a value
// before its mask element.  Converting an element changes the element's
// own representation: where one list is an element of the other (a script
// can build that), converting it would free the element array of that
// list under our feet, so the elements of both are then held on their own.
int werte_lesen(Tcl_Interp* interp, Tcl_Obj* werte, Tcl_Obj* maske, int* block, int n)
{
    ELEMENTE w;
    if (w.nehmen(interp, werte) != TCL_OK)
        return TCL_ERROR;
    int* flags = block + n;
    if (!maske) {
        for (Tcl_Size k = 0; k < w.anzahl(); ++k) {
            if (dbld_tcl::int_lesen(interp, w[k], &block[k]) != TCL_OK)
                return TCL_ERROR;
            flags[k] = 0;
        }
        return TCL_OK;
    }
    ELEMENTE m;
    if (m.nehmen(interp, maske) != TCL_OK)
        return TCL_ERROR;
    if (m.anzahl() != w.anzahl())
        return fehler(interp, FEHLER::laenge, "[llength mask] != [llength werte]");
    if ((w.enthaelt(maske) || m.enthaelt(werte)) && !(w.festhalten() && m.festhalten()))
        return dbld_tcl::zu_wenig_speicher(interp);
    for (Tcl_Size k = 0; k < w.anzahl(); ++k) {
        int flag;
        if (dbld_tcl::int_lesen(interp, w[k], &block[k]) != TCL_OK ||
            dbld_tcl::int_lesen(interp, m[k], &flag) != TCL_OK)
            return TCL_ERROR;
        flags[k] = flag != 0 ? 1 : 0;
    }
    return TCL_OK;
}

// ---- ::druckbild::photo_configure ------------------------------------------

const char* const einstellungen[] = {"colorcontrast", "bgcolor", nullptr};
enum class EINSTELLUNG { colorcontrast, bgcolor };

int kontrast(Tcl_Interp* interp, int objargc, Tcl_Obj* const objargv[])
{
    if (objargc == 3) {
        int wert;
        if (dbld_tcl::int_lesen(interp, objargv[2], &wert) != TCL_OK)
            return TCL_ERROR;
        Tcl_SetObjResult(interp, Tcl_NewIntObj(DBLD_set_ccontrast(wert)));
    } else {
        Tcl_SetObjResult(interp, Tcl_NewIntObj(DBLD_get_ccontrast()));
    }
    return TCL_OK;
}

int hintergrund(Tcl_Interp* interp, int objargc, Tcl_Obj* const objargv[])
{
    if (objargc == 3) {
        Tcl_Size laenge;
        const char* text = Tcl_GetStringFromObj(objargv[2], &laenge);
        unsigned int rot, gruen, blau;
        if (laenge != 7 || sscanf(text, "#%2x%2x%2x", &rot, &gruen, &blau) != 3)
            return fehler(interp, FEHLER::wert, "Invalid color");
        DBLD_set_bgcolor((int)rot, (int)gruen, (int)blau);
        return TCL_OK;
    }
    int rot, gruen, blau;
    DBLD_get_bgcolor(&rot, &gruen, &blau);
    char text[8];
    snprintf(text, sizeof text, "#%02x%02x%02x", (unsigned)rot & 0xff, (unsigned)gruen & 0xff,
             (unsigned)blau & 0xff);
    Tcl_SetObjResult(interp, Tcl_NewStringObj(text, -1));
    return TCL_OK;
}

} // namespace

int Druckbildjpegdata_Cmd(ClientData, Tcl_Interp* interp, int objargc, Tcl_Obj* const objargv[])
{
    if (objargc < 4 || objargc > 16)
        return falsche_anzahl(interp, objargv);

    JPEGOPTIONEN opt = {{20, 0, 0, 0, 80}, 0, nullptr};
    int i = 1;
    if (optionen_lesen(interp, objargc, objargv, &i, &opt) != TCL_OK)
        return TCL_ERROR;
    if (objargc - i != 3)
        return falsche_anzahl(interp, objargv);

    // The counts, the list length and the lists' elements first, with the
    // command's own messages for what they refuse.
    int n_y, n_x;
    Tcl_Size l;
    if (dbld_tcl::anzahl_lesen(interp, objargv[i + 1], objargv[i + 2], &n_y, &n_x) != TCL_OK ||
        dbld_tcl::liste_laenge(interp, objargv[i], &l) != TCL_OK)
        return TCL_ERROR;
    if (!dbld_tcl::laenge_passt(n_y, n_x, l))
        return fehler(interp, FEHLER::laenge,
                      "[llength werte] != anzahl_zeilen * anzahl_spalten");
    const int n = (int)l;
    // Values and mask flags in one block: values first, flags behind them.
    if (n > INT_MAX / 2)
        return dbld_tcl::zu_wenig_speicher(interp);
    dbld_tcl::INT_FELD block;
    if (dbld_tcl::feld_anlegen(interp, 2 * n, &block) != TCL_OK ||
        werte_lesen(interp, objargv[i], opt.maske, block.get(), n) != TCL_OK)
        return TCL_ERROR;

    // Then everything that would make no image, one too large for JPEG, or
    // one whose raster is beyond the pixel limit, before the raster is made.
    if (opt.par.resolution < 1)
        return fehler(interp, FEHLER::wert, "-resolution < 1");
    if (opt.par.frame < 0)
        return fehler(interp, FEHLER::wert, "-frame < 0");
    if (n_y < 1)
        return fehler(interp, FEHLER::wert, "anzahl_zeilen < 1");
    if (n_x < 1)
        return fehler(interp, FEHLER::wert, "anzahl_spalten < 1");
    DBLD dbld = {n_y, n_x, block.get(), 0, 0, block.get() + n};
    int breite, hoehe;
    size_t rastergroesse;
    if (const char* grund = dbld_bild::jpeg_masse(&dbld, &opt.par, &breite, &hoehe,
                                                  &rastergroesse))
        return fehler(interp, FEHLER::wert, grund);
    DBLD_min_max(&dbld);
    if (opt.maximum > dbld.val_max)
        dbld.val_max = opt.maximum;

    unsigned char* puffer = nullptr;
    unsigned long laenge = 0;
    char meldung[dbld_bild::MELDUNG_MAX];
    bool speichermangel = false;
    if (!dbld_bild::jpeg_in_speicher(&puffer, &laenge, &dbld, &opt.par, meldung, nullptr,
                                     &speichermangel))
        return speichermangel ? dbld_tcl::zu_wenig_speicher(interp)
                              : fehler(interp, FEHLER::jpeg, meldung);
    // The values are drawn: their block goes before the result's memory is
    // asked for.
    block.reset();
    return dbld_tcl::jpeg_ergebnis(interp, puffer, laenge);
}

int Druckbildphoto_configure_Cmd(ClientData, Tcl_Interp* interp, int objargc,
                                 Tcl_Obj* const objargv[])
{
    if (objargc < 2 || objargc > 3) {
        Tcl_WrongNumArgs(interp, 1, objargv, "option ?wert?");
        return TCL_ERROR;
    }
    int index;
    if (Tcl_GetIndexFromObjStruct(interp, objargv[1], einstellungen, sizeof(char*), "option", 0,
                                  &index) != TCL_OK)
        return TCL_ERROR;
    if ((EINSTELLUNG)index == EINSTELLUNG::colorcontrast)
        return kontrast(interp, objargc, objargv);
    return hintergrund(interp, objargc, objargv);
}
