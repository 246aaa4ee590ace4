// ::druckbild::jpegdata ?options? werte anzahl_zeilen anzahl_spalten
// ::druckbild::photo_configure option ?wert?
#include "dbld_bild_tcl.h"

#include "dbld_bild_intern.h"
#include "dbld_tcl.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

using dbld_tcl::fehler;

namespace {

// ---- ::druckbild::jpegdata ------------------------------------------------

const char* const optionen[] = {"-mask",    "-resolution", "-grid", "-frame",
                                "-maximum", "-quality",    nullptr};
enum OPTION { o_mask, o_resolution, o_grid, o_frame, o_maximum, o_quality };

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

// Reads the options from objargv[*i] on, while a word starts with "-" and
// at least three words remain from it.  *i is then the first word after
// them.  A later option overrides an earlier one.
int optionen_lesen(Tcl_Interp* interp, int objargc, Tcl_Obj* const objargv[], int* i,
                   JPEGOPTIONEN* opt)
{
    while (objargc - *i >= 3 && Tcl_GetString(objargv[*i])[0] == '-') {
        int option;
        if (Tcl_GetIndexFromObjStruct(interp, objargv[*i], optionen, sizeof(char*), "option", 0,
                                      &option) != TCL_OK)
            return TCL_ERROR;
        Tcl_Obj* wert = objargv[*i + 1];
        int status = TCL_OK;
        switch (option) {
        case o_mask:
            opt->maske = wert;
            opt->par.mask = 1;
            break;
        case o_resolution:
            status = dbld_tcl::int_lesen(interp, wert, &opt->par.resolution);
            break;
        case o_grid:
            status = Tcl_GetIndexFromObjStruct(interp, wert, gitterarten, sizeof(char*), "-grid",
                                               0, &opt->par.grid);
            break;
        case o_frame:
            status = dbld_tcl::int_lesen(interp, wert, &opt->par.frame);
            break;
        case o_maximum:
            status = dbld_tcl::int_lesen(interp, wert, &opt->maximum);
            break;
        case o_quality:
            status = dbld_tcl::int_lesen(interp, wert, &opt->par.quality);
            break;
        }
        if (status != TCL_OK)
            return TCL_ERROR;
        *i += 2;
    }
    return TCL_OK;
}

// A reference held on an object for the life of a command.
struct Referenz {
    Tcl_Obj* obj;
    explicit Referenz(Tcl_Obj* o) : obj(o) { Tcl_IncrRefCount(obj); }
    ~Referenz() { Tcl_DecrRefCount(obj); }
    Referenz(const Referenz&) = delete;
    Referenz& operator=(const Referenz&) = delete;
};

// Values into the first n ints of block, mask flags (1 for a non-zero
// element, else 0) into the second n, converted in list order, a value
// before its mask element.  With a mask the two lists are read from private
// copies: converting an element of one list may not change the other list
// under our feet (a script can make one list an element of the other).
int werte_lesen(Tcl_Interp* interp, Tcl_Obj* werte, Tcl_Obj* maske, int* block, int n)
{
    Referenz werte_kopie(maske ? Tcl_DuplicateObj(werte) : werte);
    Tcl_Size l;
    Tcl_Obj** w;
    if (Tcl_ListObjGetElements(interp, werte_kopie.obj, &l, &w) != TCL_OK)
        return TCL_ERROR;
    int* flags = block + n;
    if (!maske) {
        for (Tcl_Size k = 0; k < l; ++k) {
            if (dbld_tcl::int_lesen(interp, w[k], &block[k]) != TCL_OK)
                return TCL_ERROR;
            flags[k] = 0;
        }
        return TCL_OK;
    }
    Referenz maske_kopie(Tcl_DuplicateObj(maske));
    Tcl_Size lm;
    Tcl_Obj** m;
    if (Tcl_ListObjGetElements(interp, maske_kopie.obj, &lm, &m) != TCL_OK)
        return TCL_ERROR;
    if (lm != l)
        return fehler(interp, "[llength mask] != [llength werte]");
    for (Tcl_Size k = 0; k < l; ++k) {
        int flag;
        if (dbld_tcl::int_lesen(interp, w[k], &block[k]) != TCL_OK ||
            dbld_tcl::int_lesen(interp, m[k], &flag) != TCL_OK)
            return TCL_ERROR;
        flags[k] = flag != 0 ? 1 : 0;
    }
    return TCL_OK;
}

struct Frei {
    void operator()(unsigned char* p) const { free(p); }
};

// ---- ::druckbild::photo_configure ------------------------------------------

const char* const einstellungen[] = {"colorcontrast", "bgcolor", nullptr};
enum EINSTELLUNG { e_colorcontrast, e_bgcolor };

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
            return fehler(interp, "Invalid color");
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
        return fehler(interp, "[llength werte] != anzahl_zeilen * anzahl_spalten");
    const int n = (int)l;
    // Values and mask flags in one block: values first, flags behind them.
    if (n > INT_MAX / 2)
        return fehler(interp, "zu wenig Speicher");
    dbld_tcl::IntFeld block;
    if (dbld_tcl::feld_anlegen(interp, 2 * n, &block) != TCL_OK ||
        werte_lesen(interp, objargv[i], opt.maske, block.get(), n) != TCL_OK)
        return TCL_ERROR;

    // Then everything that would make no image, one too large for JPEG, or
    // one whose raster is beyond the pixel limit, before the raster is made.
    if (opt.par.resolution < 1)
        return fehler(interp, "-resolution < 1");
    if (opt.par.frame < 0)
        return fehler(interp, "-frame < 0");
    if (n_y < 1)
        return fehler(interp, "anzahl_zeilen < 1");
    if (n_x < 1)
        return fehler(interp, "anzahl_spalten < 1");
    DBLD dbld = {n_y, n_x, block.get(), 0, 0, block.get() + n};
    int breite, hoehe;
    size_t rastergroesse;
    if (const char* grund = dbld_bild::jpeg_masse(&dbld, &opt.par, &breite, &hoehe,
                                                  &rastergroesse))
        return fehler(interp, grund);
    DBLD_min_max(&dbld);
    if (opt.maximum > dbld.val_max)
        dbld.val_max = opt.maximum;

    unsigned char* puffer = nullptr;
    unsigned long laenge = 0;
    char meldung[dbld_bild::MELDUNG_MAX];
    if (!dbld_bild::jpeg_in_speicher(&puffer, &laenge, &dbld, &opt.par, meldung))
        return fehler(interp, meldung);
    std::unique_ptr<unsigned char, Frei> jpeg(puffer);
    if (laenge > (unsigned long)TCL_SIZE_MAX)
        return fehler(interp, "JPEG-Daten zu gross");
    Tcl_SetObjResult(interp, Tcl_NewByteArrayObj(jpeg.get(), (Tcl_Size)laenge));
    return TCL_OK;
}

int Druckbildphoto_configure_Cmd(ClientData, Tcl_Interp* interp, int objargc,
                                 Tcl_Obj* const objargv[])
{
    if (objargc < 2 || objargc > 3) {
        Tcl_WrongNumArgs(interp, 1, objargv, "option ?wert?");
        return TCL_ERROR;
    }
    int einstellung;
    if (Tcl_GetIndexFromObjStruct(interp, objargv[1], einstellungen, sizeof(char*), "option", 0,
                                  &einstellung) != TCL_OK)
        return TCL_ERROR;
    if (einstellung == e_colorcontrast)
        return kontrast(interp, objargc, objargv);
    return hintergrund(interp, objargc, objargv);
}
