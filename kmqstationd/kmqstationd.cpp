// The Kmqstationd package: the station variant of ::druckbild::analyse
// (std and std+, the short std result), the image commands
// ::druckbild::jpegdata and ::druckbild::photo_configure, and ::kmqcrypt.
#include "dbld_paket.h"
#include "kmqstationd.h"

#include "crypt_tea.h"
#include "dbld_analyse.h"
#include "dbld_bild_tcl.h"
#include "dbld_speicher.h"
#include "dbld_tcl.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

using dbld_tcl::fehler;
using dbld_tcl::FEHLER;

namespace {

// ---- ::druckbild::analyse, station variant --------------------------------

const char* const mtds_analyse[] = {"std", "std+", nullptr};

// No centre of pressure, the std result without the combined centroid and
// the weights, no mask array.
const ANALYSE_VARIANTE kmqstationd = {mtds_analyse, nullptr, false, false};

// ---- ::kmqcrypt ----------------------------------------------------------

// "zu wenig Speicher" with ::kmqcrypt's own code (KMQCRYPT SPEICHER).
int zu_wenig_speicher(Tcl_Interp* interp)
{
    return dbld_tcl::zu_wenig_speicher(interp, FEHLER::kmqcrypt_speicher);
}

const char* const unterbefehle[] = {"encrypt", "encrypt00", "decrypt", "decrypt00", nullptr};
enum class UNTERBEFEHL { encrypt, encrypt00, decrypt, decrypt00 };

// The password of encrypt00 / decrypt00, the same on every station.
const char passwort00[] = "5c:0e:8b:21:47:d3";

using dbld_speicher::C_BLOCK;

// malloc of n bytes, at least one so that an empty text has a buffer too.
template <class T> C_BLOCK<T[]> anlegen(size_t n)
{
    return C_BLOCK<T[]>((T*)malloc(n > 0 ? n : 1));
}

// Tcl's reading of laenge bytes as UTF-8, as Tcl_ExternalToUtfDString
// does it (the whole text, start and end at once; on a full buffer the
// conversion goes on where it stopped), but through a small buffer of its
// own: each converted piece goes to stueck(text, n).
template <class STUECK>
void utf8_lesen(Tcl_Encoding utf8, const char* bytes, int laenge, STUECK stueck)
{
    char puffer[4096];
    Tcl_EncodingState zustand;
    int flags = TCL_ENCODING_START | TCL_ENCODING_END;
#if TCL_MAJOR_VERSION >= 9
    // In that profile the conversion never stops on the data.
    flags |= TCL_ENCODING_PROFILE_TCL8;
#endif
    for (;;) {
        int gelesen = 0, geschrieben = 0;
        int status = Tcl_ExternalToUtf(nullptr, utf8, bytes, laenge, flags, &zustand, puffer,
                                       (int)sizeof puffer, &gelesen, &geschrieben, nullptr);
        stueck(puffer, geschrieben);
        if (status != TCL_CONVERT_NOSPACE)
            return;
        bytes += gelesen;
        laenge -= gelesen;
        flags &= ~TCL_ENCODING_START;
    }
}

// A Tcl string of bytes read as UTF-8 by Tcl's own conversion: a text
// that was encrypted comes back byte for byte, and the bytes of a text
// decrypted under another station's key (zero bytes, stray bytes of 0x80
// and above) become characters of their own instead of a malformed string.
// Tcl 9 reads in a profile: its default, strict, would stop at the first
// stray byte; tcl8, named in utf8_lesen so that no default can make it
// strict, reads one character per stray byte as Tcl 8.6 does (the bytes
// 0x80 to 0x9F as their Windows-1252 characters, where Tcl 8.6 takes their
// codes).  The conversion runs twice, first to measure the string and then
// into a string object of that size, whose memory is attempted: null when
// it cannot be obtained.
Tcl_Obj* utf8_text(const char* bytes, int laenge)
{
    Tcl_Encoding utf8 = Tcl_GetEncoding(nullptr, "utf-8");
    long long gesamt = 0;
    utf8_lesen(utf8, bytes, laenge, [&](const char*, int n) { gesamt += n; });
    Tcl_Obj* obj = gesamt <= INT_MAX ? dbld_tcl::text_versuchen((int)gesamt) : nullptr;
    if (obj && gesamt > 0) {
        char* ziel = obj->bytes;
        utf8_lesen(utf8, bytes, laenge, [&](const char* text, int n) {
            memcpy(ziel, text, (size_t)n);
            ziel += n;
        });
    }
    if (utf8)
        Tcl_FreeEncoding(utf8);
    return obj;
}

// Sets the password for the subcommand into pwd (room for 18 bytes).
int passwort(Tcl_Interp* interp, UNTERBEFEHL unterbefehl, char* pwd)
{
    if (unterbefehl == UNTERBEFEHL::encrypt00 || unterbefehl == UNTERBEFEHL::decrypt00) {
        memcpy(pwd, passwort00, sizeof passwort00);
        return TCL_OK;
    }
    if (get_mac(pwd))
        return TCL_OK;
    char meldung[200];
    snprintf(meldung, sizeof meldung,
             "Das Passwort fuer diese Station kann nicht ermittelt werden (%s).",
             strerror(errno));
    return fehler(interp, FEHLER::kmqcrypt_passwort, meldung);
}

// The cipher text of the string as lower-case hexadecimal text.
int verschluesseln(Tcl_Interp* interp, Tcl_Obj* text, TEA_KEY* key)
{
    Tcl_Size laenge;
    const char* plain = Tcl_GetStringFromObj(text, &laenge);
    int l_e;
    if (laenge > INT_MAX || !tea_text::kapazitaet((int)laenge, &l_e))
        return fehler(interp, FEHLER::kmqcrypt_laenge, "Text zu lang");
    C_BLOCK<unsigned char[]> encrypted = anlegen<unsigned char>((size_t)l_e);
    if (!encrypted)
        return zu_wenig_speicher(interp);
    int n = tea_encrypt(encrypted.get(), l_e, plain, key);

    // The digits go straight into the result's string (the capacity check
    // keeps 2 * n + 1 within an int).
    Tcl_Obj* ergebnis = dbld_tcl::text_versuchen(2 * n);
    if (!ergebnis)
        return zu_wenig_speicher(interp);
    if (n > 0)
        tea_text::hex_schreiben(ergebnis->bytes, encrypted.get(), n);
    Tcl_SetObjResult(interp, ergebnis);
    return TCL_OK;
}

// The plain text of a hexadecimal cipher text; an odd last digit is
// ignored, as are the bytes beyond the last whole block.  A text longer
// than an int (possible under Tcl 9 only) is refused like one too long to
// encrypt.
int entschluesseln(Tcl_Interp* interp, Tcl_Obj* text, TEA_KEY* key)
{
    Tcl_Size laenge;
    const char* hex = Tcl_GetStringFromObj(text, &laenge);
    if (laenge > INT_MAX)
        return fehler(interp, FEHLER::kmqcrypt_laenge, "Text zu lang");
    int n = (int)laenge / 2;
    C_BLOCK<unsigned char[]> encrypted = anlegen<unsigned char>((size_t)n);
    if (!encrypted)
        return zu_wenig_speicher(interp);
    if (!tea_text::hex_lesen(encrypted.get(), hex, n))
        return fehler(interp, FEHLER::kmqcrypt_daten, "Keine korrekt kodierten Binaerdaten.");

    // Tcl's UTF-8 conversion may look a few bytes beyond the length it is
    // given when a text ends in the middle of a character: zero bytes
    // behind the decrypted ones (and in the bytes of an incomplete block)
    // keep that look inside the buffer and defined, and a zero byte never
    // continues a character.
    C_BLOCK<char[]> plain((char*)calloc((size_t)n + 8, 1));
    if (!plain)
        return zu_wenig_speicher(interp);
    int count = tea_decrypt(plain.get(), encrypted.get(), n, key);
    // The cipher text is no longer needed: its memory goes before the
    // result's is asked for.
    encrypted.reset();
    Tcl_Obj* ergebnis = utf8_text(plain.get(), count);
    if (!ergebnis)
        return zu_wenig_speicher(interp);
    Tcl_SetObjResult(interp, ergebnis);
    return TCL_OK;
}

} // namespace

int Druckbildanalyse_Cmd(ClientData, Tcl_Interp* interp, int objargc,
                         Tcl_Obj* const objargv[])
{
    return analyse_cmd(&kmqstationd, interp, objargc, objargv);
}

int Kmqcrypt_Cmd(ClientData, Tcl_Interp* interp, int objargc, Tcl_Obj* const objargv[])
{
    if (objargc != 3) {
        Tcl_WrongNumArgs(interp, 1, objargv,
                         "{ encrypt | encrypt00 | decrypt | decrypt00 } <string>");
        return TCL_ERROR;
    }
    int index;
    if (Tcl_GetIndexFromObjStruct(interp, objargv[1], unterbefehle, sizeof(char*),
                                  "subcommand", 0, &index) != TCL_OK)
        return TCL_ERROR;
    const UNTERBEFEHL unterbefehl = (UNTERBEFEHL)index;

    char pwd[18];
    if (passwort(interp, unterbefehl, pwd) != TCL_OK)
        return TCL_ERROR;
    TEA_KEY key;
    pwd2tea_key(&key, pwd);

    if (unterbefehl == UNTERBEFEHL::encrypt || unterbefehl == UNTERBEFEHL::encrypt00)
        return verschluesseln(interp, objargv[2], &key);
    return entschluesseln(interp, objargv[2], &key);
}

namespace {

const dbld_tcl::BEFEHL befehle[] = {{"::druckbild::analyse", Druckbildanalyse_Cmd},
                                    {"::druckbild::jpegdata", Druckbildjpegdata_Cmd},
                                    {"::druckbild::photo_configure", Druckbildphoto_configure_Cmd},
                                    {"::kmqcrypt", Kmqcrypt_Cmd},
                                    {nullptr, nullptr}};

} // namespace

DBLD_PAKET_EINSTIEG(befehle)
