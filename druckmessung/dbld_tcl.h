// Shared Tcl glue of the command procedures (not exported): counts, value
// lists to int arrays with the Tcl allocator, results.
#ifndef DBLD_TCL_H
#define DBLD_TCL_H

#include <tcl.h>

#include <memory>

namespace dbld_tcl {

struct TclFrei {
    void operator()(int* p) const { Tcl_Free((char*)p); }
};
// An int array from Tcl_AttemptAlloc, freed with Tcl_Free when it goes.
using IntFeld = std::unique_ptr<int[], TclFrei>;

// Sets a fixed message as the interpreter result; returns TCL_ERROR.
int fehler(Tcl_Interp* interp, const char* text);

// Reads anzahl_zeilen and anzahl_spalten (Tcl's message when one is no
// integer).  Rejects negative counts ("n_y < 0", "n_x < 0") unless
// negativ_erlaubt, and a product that does not fit an int ("n_y * n_x zu
// gross").  *n receives the product.
int anzahl_lesen(Tcl_Interp* interp, Tcl_Obj* zeilen, Tcl_Obj* spalten,
                 bool negativ_erlaubt, int* n_y, int* n_x, int* n);

// Length of a Tcl list (Tcl's message when it is none).
int liste_laenge(Tcl_Interp* interp, Tcl_Obj* liste, int* l);

// Allocates n ints, all 0, with the Tcl allocator; "zu wenig Speicher"
// when that fails.
int feld_anlegen(Tcl_Interp* interp, int n, IntFeld* feld);

// Converts the elements of a list into ziel, in list order, stopping at the
// first element that is no integer (Tcl's message).  ziel has room for the
// whole list.
int liste_nach_int(Tcl_Interp* interp, Tcl_Obj* liste, int* ziel);

// The common front of the image commands: counts, list length equal to
// n_y * n_x ("[llength druckbild] != n_y * n_x" otherwise), the value array
// allocated and filled.
int druckbild_lesen(Tcl_Interp* interp, Tcl_Obj* liste, Tcl_Obj* zeilen,
                    Tcl_Obj* spalten, bool negativ_erlaubt, int* n_y, int* n_x,
                    IntFeld* werte);

// dict put of a double under a fixed key.
void dict_double(Tcl_Obj* dict, const char* key, double wert);
// dict put of an object under a fixed key.
void dict_obj(Tcl_Obj* dict, const char* key, Tcl_Obj* wert);

// A fixed set of dict keys whose Tcl objects are made once per thread, on
// first use, and released when Tcl ends the thread, so that building a
// result dict does not allocate its keys anew on every call.  Declare one
// static set per list of names (null-terminated).
struct SCHLUESSEL {
    const char* const* namen;
    Tcl_ThreadDataKey daten;
};

// The key objects of satz for the calling thread, in the order of its names.
Tcl_Obj* const* schluessel(SCHLUESSEL* satz);

// dict put of a double, or of an object, under a key object of a set.
void dict_double(Tcl_Obj* dict, Tcl_Obj* key, double wert);
void dict_obj(Tcl_Obj* dict, Tcl_Obj* key, Tcl_Obj* wert);

} // namespace dbld_tcl

#endif
