// The pieces the commands of the Druckbildkennzahlen package share between
// their two files (not exported).
#ifndef DBLD_KENNZAHLEN_BEFEHLE_H
#define DBLD_KENNZAHLEN_BEFEHLE_H

#include "dbld_tclversion.h"

namespace dbld_kennzahlen {

// Reads an integer option value within unten .. oben; "<name> < <unten>" or
// "<name> > <oben>" (DRUCKBILD WERT) outside, Tcl's message for no integer.
int option_wert(Tcl_Interp* interp, Tcl_Obj* obj, const char* name, int unten, int oben,
                int* wert);

// An empty list for n elements, or null when memory for n elements (their
// objects and pointers) cannot be obtained now.
Tcl_Obj* liste_versuchen(Tcl_Size n);

// ::druckbild::umrisse druckbild anzahl_zeilen anzahl_spalten ?-prozent p?
int Umrisse_Cmd(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]);
// ::druckbild::differenzbild a b anzahl_zeilen anzahl_spalten ?optionen?
int Differenzbild_Cmd(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]);

} // namespace dbld_kennzahlen

#endif
