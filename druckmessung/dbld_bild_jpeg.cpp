// The JPEG writers: libjpeg's compressor with an error manager that returns
// to the writer, libjpeg's memory destination followed so that a failure
// half way frees its buffer, and the rows of the row raster handed to the
// compressor as they are drawn.  Only when the row raster's tables cannot
// be had is the whole raster drawn point by point first.
#include "dbld.h"
#include "dbld_bild_intern.h"
#include "dbld_bild_raster.h"

#include <jpeglib.h>
#include <jerror.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static_assert(JPEG_MAX_DIMENSION == 65500L, "the size messages name 65500");
static_assert(dbld_bild::MELDUNG_MAX >= JMSG_LENGTH_MAX, "room for libjpeg's messages");
static_assert(DBLD_BILDPUNKTE_MAX == 67108864, "the size message names 67108864");
static_assert(DBLD_BILDPUNKTE_MAX <= SIZE_MAX / 3, "a whole raster's size fits a size_t");

namespace {

using namespace dbld_bild;

// Error manager whose exit returns to the writer instead of ending the
// process: the message is kept, then longjmp back to komprimieren.
struct JPEG_FEHLER {
    jpeg_error_mgr pub;
    jmp_buf sprung;
    char meldung[JMSG_LENGTH_MAX];
};

[[noreturn]] void fehler_ausgang(j_common_ptr cinfo)
{
    JPEG_FEHLER* fehler = (JPEG_FEHLER*)cinfo->err;
    (*cinfo->err->format_message)(cinfo, fehler->meldung);
    longjmp(fehler->sprung, 1);
}

// Warnings of libjpeg go to the diagnostic log instead of straight to stderr.
void warnung_ausgeben(j_common_ptr cinfo)
{
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    dbld_warn_msg("libjpeg: %s\n", text);
}

// Where the compressed data goes: a stdio stream, or a memory buffer that
// libjpeg's memory destination allocates and grows.  For the memory buffer
// the writer follows which block libjpeg currently owns, so that a failure
// half way through can free it (libjpeg itself frees it only on success,
// by handing it over).
struct JPEG_ZIEL {
    FILE* datei;
    unsigned char** puffer;
    unsigned long* laenge;
    unsigned char* eingang_puffer; // *puffer and *laenge on entry
    unsigned long eingang_laenge;
    unsigned char* block;          // the current buffer and its size
    unsigned long blockgroesse;
    unsigned char* eigener_block;  // the block libjpeg allocated, or null
    boolean (*leeren)(j_compress_ptr);
};

// libjpeg asks to empty the buffer only when it is full; its memory
// destination then moves those bytes to the start of a larger block.
boolean puffer_vergroessern(j_compress_ptr cinfo)
{
    JPEG_ZIEL* ziel = (JPEG_ZIEL*)cinfo->client_data;
    unsigned long belegt = ziel->blockgroesse;
    if (!(*ziel->leeren)(cinfo))
        return FALSE;
    ziel->block = cinfo->dest->next_output_byte - belegt;
    ziel->blockgroesse = belegt + (unsigned long)cinfo->dest->free_in_buffer;
    ziel->eigener_block = ziel->block;
    return TRUE;
}

void speicherziel(j_compress_ptr cinfo, JPEG_ZIEL* ziel)
{
    jpeg_mem_dest(cinfo, ziel->puffer, ziel->laenge);
    ziel->block = *ziel->puffer;
    ziel->blockgroesse = *ziel->laenge;
    // libjpeg allocates the first block unless the caller handed one in.
    if (ziel->eingang_puffer == nullptr || ziel->eingang_laenge == 0)
        ziel->eigener_block = ziel->block;
    ziel->leeren = cinfo->dest->empty_output_buffer;
    cinfo->dest->empty_output_buffer = puffer_vergroessern;
}

// After a failure: the block libjpeg allocated goes, buffer and length are
// as on entry.
void ziel_verwerfen(JPEG_ZIEL* ziel)
{
    if (ziel->datei)
        return;
    free(ziel->eigener_block);
    ziel->eigener_block = nullptr;
    *ziel->puffer = ziel->eingang_puffer;
    *ziel->laenge = ziel->eingang_laenge;
}

// Where the compressor takes its rows from: the row raster, which draws
// each row when the compressor asks for it, or a raster drawn whole before.
// It counts the bytes drawn.
struct JPEG_QUELLE {
    ZEILENRASTER* zeilen;        // null: the rows of raster, or of fremd
    const unsigned char* raster;
    size_t zeilenlaenge;
    size_t gezeichnet;
    ZEILENQUELLE fremd = nullptr; // rows of another raster
    void* fremd_daten = nullptr;
};

const unsigned char* quellzeile(JPEG_QUELLE* quelle, JDIMENSION y)
{
    if (quelle->fremd)
        return quelle->fremd(quelle->fremd_daten, (int)y);
    if (!quelle->zeilen)
        return quelle->raster + y * quelle->zeilenlaenge;
    quelle->gezeichnet += quelle->zeilenlaenge;
    return quelle->zeilen->zeile((int)y);
}

// Compresses the rows of the source (3 bytes per pixel, from the top) as a
// baseline RGB JPEG, handing each row to libjpeg as it comes.  cinfo,
// fehler and the source belong to the caller, so that no local of this
// function changes between setjmp and a longjmp, and nothing here or in the
// row raster has a destructor that a longjmp would skip.
bool komprimieren(jpeg_compress_struct* cinfo, JPEG_FEHLER* fehler, JPEG_ZIEL* ziel,
                  JPEG_QUELLE* quelle, int breite, int hoehe, int quality, char* meldung,
                  jpeg_progress_mgr* fortschritt, bool* speichermangel)
{
    memset(cinfo, 0, sizeof *cinfo);
    cinfo->err = jpeg_std_error(&fehler->pub);
    fehler->pub.error_exit = fehler_ausgang;
    fehler->pub.output_message = warnung_ausgeben;
    fehler->meldung[0] = '\0';
    if (setjmp(fehler->sprung)) {
        jpeg_destroy_compress(cinfo);
        ziel_verwerfen(ziel);
        snprintf(meldung, MELDUNG_MAX, "%s", fehler->meldung);
        *speichermangel = fehler->pub.msg_code == JERR_OUT_OF_MEMORY;
        return false;
    }

    jpeg_create_compress(cinfo);
    cinfo->client_data = ziel;
    if (ziel->datei)
        jpeg_stdio_dest(cinfo, ziel->datei);
    else
        speicherziel(cinfo, ziel);
    cinfo->image_width = (JDIMENSION)breite;
    cinfo->image_height = (JDIMENSION)hoehe;
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_RGB;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, quality, TRUE);
    cinfo->progress = fortschritt;
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW zeile = (JSAMPROW)quellzeile(quelle, cinfo->next_scanline);
        jpeg_write_scanlines(cinfo, &zeile, 1);
    }
    jpeg_finish_compress(cinfo);
    jpeg_destroy_compress(cinfo);
    return true;
}

void put_pixel_jpeg(void* ausgabe, int, int, const unsigned char* farbe)
{
    unsigned char** position = (unsigned char**)ausgabe;
    memcpy(*position, farbe, 3);
    *position += 3;
}

// The image compressed into the destination: its rows drawn by the row
// raster as the compressor takes them, or, when the row raster's tables
// cannot be had, the whole raster point by point first.
bool jpeg_schreiben(JPEG_ZIEL* ziel, const DBLD* dbld, const BILDPARAMETER* par,
                    char* meldung, jpeg_progress_mgr* fortschritt, bool* speichermangel)
{
    bool mangel = false;
    if (!speichermangel)
        speichermangel = &mangel;
    *speichermangel = false;
    int breite, hoehe;
    size_t groesse;
    if (const char* grund = jpeg_masse(dbld, par, &breite, &hoehe, &groesse)) {
        snprintf(meldung, MELDUNG_MAX, "%s", grund);
        return false;
    }
    dbld_dbg_msg("%d x %d = %lld => Puffergroesse: %lld\n", hoehe, breite,
                 (long long)hoehe * breite, (long long)groesse);
    ZEILENRASTER zeilen;
    dbld_speicher::C_BLOCK<unsigned char[]> raster;
    JPEG_QUELLE quelle = {&zeilen, nullptr, 3 * (size_t)breite, 0};
    if (!zeilen.anlegen(dbld, par, breite)) {
        raster.reset((unsigned char*)malloc(groesse));
        if (!raster) {
            snprintf(meldung, MELDUNG_MAX, "zu wenig Speicher");
            *speichermangel = true;
            return false;
        }
        quelle.zeilen = nullptr;
        quelle.raster = raster.get();
    }
    dbld_dbg_msg("Anfang: %lld\n", (long long)quelle.gezeichnet);
    if (raster) {
        unsigned char* position = raster.get();
        punktweise(&position, put_pixel_jpeg, dbld, par, breite);
        quelle.gezeichnet = (size_t)(position - raster.get());
    }

    jpeg_compress_struct cinfo;
    JPEG_FEHLER fehler;
    bool gut = komprimieren(&cinfo, &fehler, ziel, &quelle, breite, hoehe, par->quality, meldung,
                            fortschritt, speichermangel);
    dbld_dbg_msg("Ende: %lld\n", (long long)quelle.gezeichnet);
    return gut;
}

} // namespace

// ---- Internal interface -----------------------------------------------------

namespace dbld_bild {

const char* jpeg_masse(const DBLD* dbld, const BILDPARAMETER* par, int* breite, int* hoehe,
                       size_t* rastergroesse)
{
    if (!dbld || !par)
        return "kein Bild";
    if (dbld->n_rows < 1)
        return "n_rows < 1";
    if (dbld->n_cols < 1)
        return "n_cols < 1";
    if (par->resolution < 1)
        return "resolution < 1";
    if (par->frame < 0)
        return "frame < 0";
    if (par->grid < 0)
        return "grid < 0";
    if (par->grid > 2)
        return "grid > 2";
    long long b, h;
    masse(dbld, par->resolution, par->frame, &b, &h);
    if (b > JPEG_MAX_DIMENSION)
        return "Bildbreite > 65500";
    if (h > JPEG_MAX_DIMENSION)
        return "Bildhoehe > 65500";
    // Both at most 65500, so the product fits 64 bits.
    if (b * h > DBLD_BILDPUNKTE_MAX)
        return "Bildpunkte > 67108864";
    *breite = (int)b;
    *hoehe = (int)h;
    *rastergroesse = 3 * (size_t)b * (size_t)h;
    return nullptr;
}

bool jpeg_in_speicher(unsigned char** puffer, unsigned long* laenge, const DBLD* dbld,
                      const BILDPARAMETER* par, char* meldung, jpeg_progress_mgr* fortschritt,
                      bool* speichermangel)
{
    if (!puffer || !laenge) {
        snprintf(meldung, MELDUNG_MAX, "kein Ausgabepuffer");
        return false;
    }
    JPEG_ZIEL ziel = {nullptr, puffer,  laenge,  *puffer, *laenge,
                      nullptr, 0,       nullptr, nullptr};
    return jpeg_schreiben(&ziel, dbld, par, meldung, fortschritt, speichermangel);
}

bool zeilen_in_speicher(unsigned char** puffer, unsigned long* laenge, int breite, int hoehe,
                        int quality, ZEILENQUELLE zeilenquelle, void* daten, char* meldung,
                        bool* speichermangel)
{
    bool mangel = false;
    if (!speichermangel)
        speichermangel = &mangel;
    *speichermangel = false;
    if (!puffer || !laenge) {
        snprintf(meldung, MELDUNG_MAX, "kein Ausgabepuffer");
        return false;
    }
    JPEG_ZIEL ziel = {nullptr, puffer,  laenge,  *puffer, *laenge,
                      nullptr, 0,       nullptr, nullptr};
    JPEG_QUELLE quelle = {nullptr, nullptr, 3 * (size_t)breite, 0, zeilenquelle, daten};
    jpeg_compress_struct cinfo;
    JPEG_FEHLER fehler;
    return komprimieren(&cinfo, &fehler, &ziel, &quelle, breite, hoehe, quality, meldung,
                        nullptr, speichermangel);
}

bool jpeg_in_datei(FILE* f, const DBLD* dbld, const BILDPARAMETER* par, char* meldung,
                   jpeg_progress_mgr* fortschritt)
{
    if (!f) {
        snprintf(meldung, MELDUNG_MAX, "keine Ausgabedatei");
        return false;
    }
    JPEG_ZIEL ziel = {f, nullptr, nullptr, nullptr, 0, nullptr, 0, nullptr, nullptr};
    return jpeg_schreiben(&ziel, dbld, par, meldung, fortschritt, nullptr);
}

} // namespace dbld_bild
