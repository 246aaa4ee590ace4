// Shared Tcl glue of the command procedures (not exported): counts, value
// lists to int arrays with the Tcl allocator, results.
#ifndef DBLD_TCL_H
#define DBLD_TCL_H

#include "dbld_fehler.h"
#include "dbld_tclspeicher.h"
#include "dbld_tclversion.h"

namespace dbld_tcl {

// An int array from versuchen, freed with Tcl_Free when it goes.
using INT_FELD = TCL_BLOCK<int[]>;

// A new string object of laenge bytes whose text the caller writes into
// obj->bytes (laenge bytes; the NUL behind them is set) before the object
// is used; for laenge 0 the empty string, with nothing to write.  Its
// memory is attempted: null when it cannot be obtained, where
// Tcl_NewStringObj would end the process.
Tcl_Obj* text_versuchen(int laenge);

// A new byte array object holding the n bytes at daten, or null when memory
// of its size cannot be obtained.  Tcl 8.6 has no attempting constructor
// of byte arrays: a block of the size (and a little more) is attempted
// first and given back, then the byte array is made in its place.
Tcl_Obj* bytes_versuchen(const unsigned char* daten, int n);

// Sets JPEG data (laenge bytes at puffer, a buffer from malloc that this
// frees) as the interpreter's result, a byte array whose memory is
// attempted: "JPEG-Daten zu gross" (DRUCKBILD JPEG) beyond an int, "zu
// wenig Speicher" when its memory cannot be obtained.  The image commands
// free their value arrays before, so that the result's memory can be had.
int jpeg_ergebnis(Tcl_Interp* interp, unsigned char* puffer, unsigned long laenge);

// Reads an int in Tcl's integer syntax.  A value beyond the int range is
// refused with Tcl's own overflow message ("integer value too large to
// represent", error code ARITH IOVERFLOW), where Tcl_GetIntFromObj would
// silently wrap the values up to 2^32 - 1.
int int_lesen(Tcl_Interp* interp, Tcl_Obj* obj, int* wert);

// Reads anzahl_zeilen, then anzahl_spalten (int_lesen).
int anzahl_lesen(Tcl_Interp* interp, Tcl_Obj* zeilen, Tcl_Obj* spalten, int* n_y, int* n_x);

// Whether n_y * n_x equals the list length l; the product is formed in 64
// bits, so counts whose product does not fit an int simply do not match,
// and neither does a list longer than an int (possible under Tcl 9 only).
inline bool laenge_passt(int n_y, int n_x, Tcl_Size l)
{
    return l <= INT_MAX && (long long)n_y * n_x == l;
}

// "n_y < 0" or "n_x < 0" for a negative count (DRUCKBILD WERT), else
// TCL_OK.
int anzahl_vorzeichen(Tcl_Interp* interp, int n_y, int n_x);

// Length of a Tcl list (Tcl's message when it is none).
int liste_laenge(Tcl_Interp* interp, Tcl_Obj* liste, Tcl_Size* l);

// Allocates n ints, all 0, with the Tcl allocator; zu_wenig_speicher
// when that fails.
int feld_anlegen(Tcl_Interp* interp, int n, INT_FELD* feld);

// Converts the elements of a list into ziel, in list order, stopping at the
// first element that is no integer of the int range (Tcl's message).  ziel
// has room for the whole list.
int liste_nach_int(Tcl_Interp* interp, Tcl_Obj* liste, int* ziel);

// The common front of the image commands, in this order: the counts, the
// list length, the length equal to n_y * n_x ("[llength druckbild] != n_y
// * n_x", DRUCKBILD LAENGE, otherwise), the value array allocated and
// filled from the list; then, unless negativ_erlaubt, negative counts
// refused (their product may still have matched the length).
int druckbild_lesen(Tcl_Interp* interp, Tcl_Obj* liste, Tcl_Obj* zeilen,
                    Tcl_Obj* spalten, bool negativ_erlaubt, int* n_y, int* n_x,
                    INT_FELD* werte);

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
