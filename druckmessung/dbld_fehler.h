// The system's own error messages and their error codes: every message a
// command or package entry sets itself goes through fehler with its kind,
// which sets the message byte for byte as given and beside it the kind's
// error code, a list of words whose first names the domain:
//   DRUCKBILD ...  the ::druckbild commands and the package entries
//   KMQCRYPT ...   ::kmqcrypt
// so that a host can tell the errors apart with try ... trap.  Tcl's own
// messages (conversions, lookups, wrong numbers of arguments) keep the
// codes Tcl gives them; nothing here touches those.
//
// On 32-bit x86 dbld_fehler.cpp is compiled with general registers only,
// like dbld_paket.cpp: the package entry reports a processor without SSE2
// through it.
#ifndef DBLD_FEHLER_H
#define DBLD_FEHLER_H

#include "dbld_tclversion.h"

namespace dbld_tcl {

enum class FEHLER {
    laenge,            // DRUCKBILD LAENGE: list lengths that do not match
    wert,              // DRUCKBILD WERT: a count, option or value out of range
    speicher,          // DRUCKBILD SPEICHER: "zu wenig Speicher"
    jpeg,              // DRUCKBILD JPEG: libjpeg's messages, the JPEG too large
    prozessor,         // DRUCKBILD PROZESSOR: no SSE2 on 32-bit x86
    kmqcrypt_passwort, // KMQCRYPT PASSWORT: the station password not found
    kmqcrypt_daten,    // KMQCRYPT DATEN: no hexadecimal cipher text
    kmqcrypt_laenge,   // KMQCRYPT LAENGE: "Text zu lang"
    kmqcrypt_speicher, // KMQCRYPT SPEICHER: "zu wenig Speicher" of ::kmqcrypt
};

// Sets meldung (a new object, or one the caller holds) as the interpreter
// result and the error code of art; returns TCL_ERROR.
int fehler(Tcl_Interp* interp, FEHLER art, Tcl_Obj* meldung);

// The same with a fixed text.
int fehler(Tcl_Interp* interp, FEHLER art, const char* text);

// "zu wenig Speicher" with the code of art: FEHLER::speicher, or
// FEHLER::kmqcrypt_speicher for ::kmqcrypt.  Every command reports memory
// it could not obtain through this one function.
int zu_wenig_speicher(Tcl_Interp* interp, FEHLER art = FEHLER::speicher);

} // namespace dbld_tcl

#endif
