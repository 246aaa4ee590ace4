// The system's own error messages and their error codes (dbld_fehler.h).
#include "dbld_fehler.h"

#include <cstddef>

namespace dbld_tcl {

namespace {

struct FEHLERCODE {
    const char* bereich;
    const char* art;
};

// In the order of FEHLER.
const FEHLERCODE codes[] = {
    {"DRUCKBILD", "LAENGE"},   {"DRUCKBILD", "WERT"},    {"DRUCKBILD", "SPEICHER"},
    {"DRUCKBILD", "JPEG"},     {"DRUCKBILD", "PROZESSOR"}, {"KMQCRYPT", "PASSWORT"},
    {"KMQCRYPT", "DATEN"},     {"KMQCRYPT", "LAENGE"},   {"KMQCRYPT", "SPEICHER"},
};
static_assert(sizeof codes / sizeof codes[0] == (size_t)FEHLER::kmqcrypt_speicher + 1,
              "one code per kind");

} // namespace

int fehler(Tcl_Interp* interp, FEHLER art, Tcl_Obj* meldung)
{
    const FEHLERCODE& code = codes[(int)art];
    Tcl_SetObjResult(interp, meldung);
    Tcl_SetErrorCode(interp, code.bereich, code.art, (char*)nullptr);
    return TCL_ERROR;
}

int fehler(Tcl_Interp* interp, FEHLER art, const char* text)
{
    return fehler(interp, art, Tcl_NewStringObj(text, -1));
}

int zu_wenig_speicher(Tcl_Interp* interp, FEHLER art)
{
    return fehler(interp, art, "zu wenig Speicher");
}

} // namespace dbld_tcl
