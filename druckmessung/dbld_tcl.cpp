// Shared Tcl glue of the command procedures.
#include "dbld_tcl.h"
#include "dbld_speicher.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace dbld_tcl {

Tcl_Obj* text_versuchen(int laenge)
{
    Tcl_Obj* obj = Tcl_NewObj();
    if (laenge <= 0)
        return obj;
    if (!Tcl_AttemptSetObjLength(obj, laenge)) {
        // A new object has no reference yet: one taken and given back
        // frees it.
        Tcl_IncrRefCount(obj);
        Tcl_DecrRefCount(obj);
        return nullptr;
    }
    return obj;
}

Tcl_Obj* bytes_versuchen(const unsigned char* daten, int n)
{
    if (n > 0) {
        // The byte array takes its length and a small header; 64 bytes
        // more cover that header in every Tcl 8.6.
        void* probe = Tcl_AttemptAlloc((unsigned)n + 64);
        if (!probe)
            return nullptr;
        Tcl_Free((char*)probe);
    }
    return Tcl_NewByteArrayObj(daten, n);
}

int jpeg_ergebnis(Tcl_Interp* interp, unsigned char* puffer, unsigned long laenge)
{
    dbld_speicher::C_BLOCK<unsigned char[]> jpeg(puffer);
    if (laenge > (unsigned long)INT_MAX)
        return fehler(interp, FEHLER::jpeg, "JPEG-Daten zu gross");
    Tcl_Obj* ergebnis = bytes_versuchen(jpeg.get(), (int)laenge);
    if (!ergebnis)
        return zu_wenig_speicher(interp);
    Tcl_SetObjResult(interp, ergebnis);
    return TCL_OK;
}

int int_lesen(Tcl_Interp* interp, Tcl_Obj* obj, int* wert)
{
    Tcl_WideInt w;
    if (Tcl_GetWideIntFromObj(interp, obj, &w) != TCL_OK)
        return TCL_ERROR;
    if (w < INT_MIN || w > INT_MAX) {
        if (interp) {
            const char* text = "integer value too large to represent";
            Tcl_SetObjResult(interp, Tcl_NewStringObj(text, -1));
            Tcl_SetErrorCode(interp, "ARITH", "IOVERFLOW", text, (char*)nullptr);
        }
        return TCL_ERROR;
    }
    *wert = (int)w;
    return TCL_OK;
}

int anzahl_lesen(Tcl_Interp* interp, Tcl_Obj* zeilen, Tcl_Obj* spalten, int* n_y, int* n_x)
{
    return int_lesen(interp, zeilen, n_y) == TCL_OK && int_lesen(interp, spalten, n_x) == TCL_OK
               ? TCL_OK
               : TCL_ERROR;
}

int anzahl_vorzeichen(Tcl_Interp* interp, int n_y, int n_x)
{
    if (n_y < 0)
        return fehler(interp, FEHLER::wert, "n_y < 0");
    if (n_x < 0)
        return fehler(interp, FEHLER::wert, "n_x < 0");
    return TCL_OK;
}

int liste_laenge(Tcl_Interp* interp, Tcl_Obj* liste, Tcl_Size* l)
{
    return Tcl_ListObjLength(interp, liste, l);
}

int feld_anlegen(Tcl_Interp* interp, int n, INT_FELD* feld)
{
    const size_t elemente = n > 0 ? (size_t)n : 1;
    int* p = versuchen<int>(elemente);
    if (!p)
        return zu_wenig_speicher(interp);
    memset(p, 0, elemente * sizeof(int));
    feld->reset(p);
    return TCL_OK;
}

int liste_nach_int(Tcl_Interp* interp, Tcl_Obj* liste, int* ziel)
{
    Tcl_Size l;
    Tcl_Obj** elemente;
    if (Tcl_ListObjGetElements(interp, liste, &l, &elemente) != TCL_OK)
        return TCL_ERROR;
    for (Tcl_Size i = 0; i < l; ++i)
        if (int_lesen(interp, elemente[i], &ziel[i]) != TCL_OK)
            return TCL_ERROR;
    return TCL_OK;
}

int druckbild_lesen(Tcl_Interp* interp, Tcl_Obj* liste, Tcl_Obj* zeilen,
                    Tcl_Obj* spalten, bool negativ_erlaubt, int* n_y, int* n_x,
                    INT_FELD* werte)
{
    Tcl_Size l;
    if (anzahl_lesen(interp, zeilen, spalten, n_y, n_x) != TCL_OK ||
        liste_laenge(interp, liste, &l) != TCL_OK)
        return TCL_ERROR;
    if (!laenge_passt(*n_y, *n_x, l))
        return fehler(interp, FEHLER::laenge, "[llength druckbild] != n_y * n_x");
    // Every element is written from the list, so the array is not zeroed
    // first (on a conversion failure it is freed unread).
    int* p = versuchen<int>((size_t)l);
    if (!p)
        return zu_wenig_speicher(interp);
    werte->reset(p);
    if (liste_nach_int(interp, liste, werte->get()) != TCL_OK)
        return TCL_ERROR;
    return negativ_erlaubt ? TCL_OK : anzahl_vorzeichen(interp, *n_y, *n_x);
}

void dict_double(Tcl_Obj* dict, const char* key, double wert)
{
    Tcl_DictObjPut(nullptr, dict, Tcl_NewStringObj(key, -1), Tcl_NewDoubleObj(wert));
}

void dict_obj(Tcl_Obj* dict, const char* key, Tcl_Obj* wert)
{
    Tcl_DictObjPut(nullptr, dict, Tcl_NewStringObj(key, -1), wert);
}

namespace {

// Thread exit: the thread's references to the key objects of one set go
// (the objects live on in result dicts that still hold them).
void schluessel_freigeben(ClientData daten)
{
    Tcl_Obj** obj = (Tcl_Obj**)daten;
    for (; *obj; ++obj) {
        Tcl_DecrRefCount(*obj);
        *obj = nullptr;
    }
}

} // namespace

Tcl_Obj* const* schluessel(SCHLUESSEL* satz)
{
    int anzahl = 0;
    while (satz->namen[anzahl])
        ++anzahl;
    // Per thread: the objects and a null behind them; zero-filled by Tcl
    // when the thread first asks.
    Tcl_Obj** obj =
        (Tcl_Obj**)Tcl_GetThreadData(&satz->daten, (int)((anzahl + 1) * sizeof(Tcl_Obj*)));
    if (anzahl > 0 && !obj[0]) {
        for (int i = 0; i < anzahl; ++i) {
            obj[i] = Tcl_NewStringObj(satz->namen[i], -1);
            Tcl_IncrRefCount(obj[i]);
        }
        Tcl_CreateThreadExitHandler(schluessel_freigeben, obj);
    }
    return obj;
}

void dict_double(Tcl_Obj* dict, Tcl_Obj* key, double wert)
{
    Tcl_DictObjPut(nullptr, dict, key, Tcl_NewDoubleObj(wert));
}

void dict_obj(Tcl_Obj* dict, Tcl_Obj* key, Tcl_Obj* wert)
{
    Tcl_DictObjPut(nullptr, dict, key, wert);
}

} // namespace dbld_tcl
