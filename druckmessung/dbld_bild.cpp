// False-colour rendering of a pressure image: the process-wide colour
// settings, the colour scale, the rasteriser with border, grid and mask
// colour, PPM / PGM writers, text dumps, and JPEG to memory or a stream.
#include "dbld.h"
#include "dbld_bild_intern.h"

#include <jpeglib.h>

#include <climits>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

static_assert(JPEG_MAX_DIMENSION == 65500L, "the size messages name 65500");
static_assert(dbld_bild::MELDUNG_MAX >= JMSG_LENGTH_MAX, "room for libjpeg's messages");

namespace {

// ---- Colour settings ------------------------------------------------------

int ccontrast = 0;
int bgcolor[3] = {255, 255, 255};

const unsigned char rahmenfarbe[3] = {64, 64, 64};
const unsigned char gitterfarbe[3] = {128, 128, 128};
const unsigned char maskenfarbe[3] = {208, 208, 208};

const char grau[] = "128 128 128";
const char grau_weiter[] = "  128 128 128";

// Absolute value modulo 256, also for INT_MIN.
int farbanteil(int wert)
{
    long long a = wert < 0 ? -(long long)wert : (long long)wert;
    return (int)(a % 256);
}

// ---- Sizes ----------------------------------------------------------------

// Image size with border, in 64 bits so that nothing overflows.
void masse(const DBLD* dbld, int resolution, int frame, long long* breite, long long* hoehe)
{
    *breite = (long long)dbld->n_cols * resolution + 2LL * frame;
    *hoehe = (long long)dbld->n_rows * resolution + 2LL * frame;
}

// Whether the rasteriser can draw the image: rows and columns, resolution
// >= 1, frame >= 0, and width and height that fit an int.
bool zeichenbar(const DBLD* dbld, const BILDPARAMETER* par, int* breite, int* hoehe)
{
    if (!dbld || !par || dbld->n_rows < 1 || dbld->n_cols < 1 || par->resolution < 1 ||
        par->frame < 0)
        return false;
    long long b, h;
    masse(dbld, par->resolution, par->frame, &b, &h);
    if (b > INT_MAX || h > INT_MAX)
        return false;
    *breite = (int)b;
    *hoehe = (int)h;
    return true;
}

// Level of a scaled value, truncated toward zero.  Values far outside
// 0 .. 255 are cut to +-PEGEL_GRENZE first: they give the same colour (top
// of the scale or background, whatever the contrast) and the conversion
// stays defined.
constexpr int PEGEL_GRENZE = 1000;

int pegel(float p)
{
    if (p >= (float)PEGEL_GRENZE)
        return PEGEL_GRENZE;
    if (!(p > (float)-PEGEL_GRENZE))
        return -PEGEL_GRENZE;
    return (int)p;
}

// The colour of every level the rasteriser can meet, from the colour scale
// with the settings of the moment: one lookup per pixel instead of the
// scale's arithmetic.
struct FARBTABELLE {
    unsigned char rgb[2 * PEGEL_GRENZE + 1][3];

    FARBTABELLE()
    {
        for (int level = -PEGEL_GRENZE; level <= PEGEL_GRENZE; ++level) {
            int rot, gruen, blau;
            DBLD_value_to_color(&rot, &gruen, &blau, level);
            unsigned char* p = rgb[level + PEGEL_GRENZE];
            p[0] = (unsigned char)rot;
            p[1] = (unsigned char)gruen;
            p[2] = (unsigned char)blau;
        }
    }
    const unsigned char* operator[](int level) const { return rgb[level + PEGEL_GRENZE]; }
};

// ---- Pixel writers ----------------------------------------------------------

void put_pixel_ppm(void* ausgabe, int, int, const unsigned char* farbe)
{
    fwrite(farbe, 1, 3, (FILE*)ausgabe);
}

void put_pixel_ppm_plain(void* ausgabe, int x, int y, const unsigned char* farbe)
{
    FILE* f = (FILE*)ausgabe;
    if (x == 0 && y > 0)
        fputc('\n', f);
    if (x > 0)
        fputc(' ', f);
    fprintf(f, "%d %d %d", farbe[0], farbe[1], farbe[2]);
}

void put_pixel_jpeg(void* ausgabe, int, int, const unsigned char* farbe)
{
    unsigned char** position = (unsigned char**)ausgabe;
    memcpy(*position, farbe, 3);
    *position += 3;
}

// ---- libjpeg ----------------------------------------------------------------

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

// Compresses the raster (3 bytes per pixel, rows from the top) as a
// baseline RGB JPEG.  cinfo and fehler belong to the caller, so that no
// local of this function changes between setjmp and a longjmp, and nothing
// here has a destructor that a longjmp would skip.
bool komprimieren(jpeg_compress_struct* cinfo, JPEG_FEHLER* fehler, JPEG_ZIEL* ziel,
                  const unsigned char* raster, int breite, int hoehe, int quality,
                  char* meldung, jpeg_progress_mgr* fortschritt)
{
    memset(cinfo, 0, sizeof *cinfo);
    cinfo->err = jpeg_std_error(&fehler->pub);
    fehler->pub.error_exit = fehler_ausgang;
    fehler->pub.output_message = warnung_ausgeben;
    fehler->meldung[0] = '\0';
    if (setjmp(fehler->sprung)) {
        jpeg_destroy_compress(cinfo);
        ziel_verwerfen(ziel);
        snprintf(meldung, dbld_bild::MELDUNG_MAX, "%s", fehler->meldung);
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
    const size_t zeilenlaenge = 3 * (size_t)breite;
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW zeile = (JSAMPROW)(raster + cinfo->next_scanline * zeilenlaenge);
        jpeg_write_scanlines(cinfo, &zeile, 1);
    }
    jpeg_finish_compress(cinfo);
    jpeg_destroy_compress(cinfo);
    return true;
}

struct Frei {
    void operator()(unsigned char* p) const { free(p); }
};

// The raster of the image, then its compression into the destination.
bool jpeg_schreiben(JPEG_ZIEL* ziel, const DBLD* dbld, const BILDPARAMETER* par,
                    char* meldung, jpeg_progress_mgr* fortschritt)
{
    int breite, hoehe;
    size_t groesse;
    if (const char* grund = dbld_bild::jpeg_masse(dbld, par, &breite, &hoehe, &groesse)) {
        snprintf(meldung, dbld_bild::MELDUNG_MAX, "%s", grund);
        return false;
    }
    dbld_dbg_msg("%d x %d = %lld => Puffergroesse: %lld\n", hoehe, breite,
                 (long long)hoehe * breite, (long long)groesse);
    std::unique_ptr<unsigned char, Frei> raster((unsigned char*)malloc(groesse));
    if (!raster) {
        snprintf(meldung, dbld_bild::MELDUNG_MAX, "zu wenig Speicher");
        return false;
    }
    unsigned char* position = raster.get();
    dbld_dbg_msg("Anfang: %lld\n", (long long)(position - raster.get()));
    DBLD_put_gen(&position, put_pixel_jpeg, dbld, par);
    dbld_dbg_msg("Ende: %lld\n", (long long)(position - raster.get()));

    jpeg_compress_struct cinfo;
    JPEG_FEHLER fehler;
    return komprimieren(&cinfo, &fehler, ziel, raster.get(), breite, hoehe, par->quality,
                        meldung, fortschritt);
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
    long long b, h;
    masse(dbld, par->resolution, par->frame, &b, &h);
    if (b > JPEG_MAX_DIMENSION)
        return "Bildbreite > 65500";
    if (h > JPEG_MAX_DIMENSION)
        return "Bildhoehe > 65500";
    if ((size_t)b > SIZE_MAX / 3 / (size_t)h)
        return "Rastergroesse zu gross";
    *breite = (int)b;
    *hoehe = (int)h;
    *rastergroesse = 3 * (size_t)b * (size_t)h;
    return nullptr;
}

bool jpeg_in_speicher(unsigned char** puffer, unsigned long* laenge, const DBLD* dbld,
                      const BILDPARAMETER* par, char* meldung, jpeg_progress_mgr* fortschritt)
{
    if (!puffer || !laenge) {
        snprintf(meldung, MELDUNG_MAX, "kein Ausgabepuffer");
        return false;
    }
    JPEG_ZIEL ziel = {nullptr, puffer,  laenge,  *puffer, *laenge,
                      nullptr, 0,       nullptr, nullptr};
    return jpeg_schreiben(&ziel, dbld, par, meldung, fortschritt);
}

bool jpeg_in_datei(FILE* f, const DBLD* dbld, const BILDPARAMETER* par, char* meldung,
                   jpeg_progress_mgr* fortschritt)
{
    if (!f) {
        snprintf(meldung, MELDUNG_MAX, "keine Ausgabedatei");
        return false;
    }
    JPEG_ZIEL ziel = {f, nullptr, nullptr, nullptr, 0, nullptr, 0, nullptr, nullptr};
    return jpeg_schreiben(&ziel, dbld, par, meldung, fortschritt);
}

} // namespace dbld_bild

// ---- Exported functions -----------------------------------------------------

int DBLD_set_ccontrast(int contrast)
{
    if (contrast <= 0)
        ccontrast = 0;
    else if (contrast > 7)
        ccontrast = 7;
    else
        ccontrast = contrast;
    return ccontrast;
}

int DBLD_get_ccontrast(void)
{
    return ccontrast;
}

void DBLD_set_bgcolor(int red, int green, int blue)
{
    bgcolor[0] = farbanteil(red);
    bgcolor[1] = farbanteil(green);
    bgcolor[2] = farbanteil(blue);
}

void DBLD_get_bgcolor(int* red, int* green, int* blue)
{
    *red = bgcolor[0];
    *green = bgcolor[1];
    *blue = bgcolor[2];
}

void DBLD_value_to_color(int* red, int* green, int* blue, int level)
{
    // Contrast: a positive level moves to the top of its band of q levels.
    // q - 1 is added last so that INT_MAX does not overflow.  Levels at or
    // below 0 are not stepped: no pressure keeps the background, with or
    // without contrast (stepping -5 would otherwise give the colour of 15).
    if (ccontrast != 0 && level > 0) {
        int q = 1 << ccontrast;
        level = (level / q) * q + (q - 1);
    }
    if (level <= 0) {
        DBLD_get_bgcolor(red, green, blue);
        return;
    }
    if (level > 255)
        level = 255;
    int d = 256 - level;
    int h = d / 60;
    float f = (float)((double)d / 60 - h);
    int auf = (int)(255.0f * f);
    int ab = (int)(255.0f * (1.0f - f));
    switch (h) {
    case 0: *red = 255; *green = auf; *blue = 0; break;
    case 1: *red = ab; *green = 255; *blue = 0; break;
    case 2: *red = 0; *green = 255; *blue = auf; break;
    case 3: *red = 0; *green = ab; *blue = 255; break;
    default: *red = auf; *green = 0; *blue = 255; break;
    }
}

int DBLD_pixsize(int* width, int* height, const DBLD* dbld, int resolution, int frame)
{
    long long b, h;
    masse(dbld, resolution, frame, &b, &h);
    int w_int = -1, h_int = -1, n = -1;
    if (b >= INT_MIN && b <= INT_MAX && h >= INT_MIN && h <= INT_MAX) {
        long long p = b * h;
        if (p >= INT_MIN && p <= INT_MAX) {
            w_int = (int)b;
            h_int = (int)h;
            n = (int)p;
        }
    }
    if (width)
        *width = w_int;
    if (height)
        *height = h_int;
    return n;
}

void DBLD_put_gen(void* ausgabe, PIXELSCHREIBER pixelschreiber, const DBLD* dbld,
                  const BILDPARAMETER* par)
{
    int W, H;
    if (!pixelschreiber || !zeichenbar(dbld, par, &W, &H))
        return;
    const int n_rows = dbld->n_rows, n_cols = dbld->n_cols;
    const int resolution = par->resolution, grid = par->grid, frame = par->frame;
    const int w = n_cols * resolution, h = n_rows * resolution;
    const bool ohne_wert = dbld->val_max == 0;
    const float s = ohne_wert ? 0.0f : (float)(255.0 / dbld->val_max);
    const float step = (float)(1.0 / resolution);
    const bool maskieren = par->mask != 0 && dbld->mask != nullptr;
    const FARBTABELLE farben;

    int y = 0;
    for (int r = 0; r < frame; ++r, ++y)
        for (int x = 0; x < W; ++x)
            pixelschreiber(ausgabe, x, y, rahmenfarbe);

    int j = 0;
    for (int i_row = n_rows - 1; i_row >= 0; --i_row) {
        float fy = (float)(i_row + 0.4);
        for (int l = 0; l < resolution; ++l, ++j, ++y) {
            int x = 0;
            for (int k = 0; k < frame; ++k)
                pixelschreiber(ausgabe, x++, y, rahmenfarbe);
            int m = 0;
            for (int i_col = 0; i_col < n_cols; ++i_col) {
                float fx = (float)(i_col - 0.5);
                const bool maskiert =
                    maskieren && dbld->mask[(size_t)i_row * n_cols + i_col] != 0;
                for (int k = 0; k < resolution; ++k) {
                    const unsigned char* pixel;
                    if (grid != 0 && ((j | grid) & 1) && k == resolution - 1 && m < w - 1) {
                        pixel = gitterfarbe;
                    } else if (grid != 0 && ((m | grid) & 1) && l == resolution - 1 &&
                               j < h - 1) {
                        pixel = gitterfarbe;
                    } else if (maskiert) {
                        pixel = maskenfarbe;
                    } else {
                        pixel = farben[ohne_wert ? 0 : pegel(DBLD_dbldvalsq(dbld, fx, fy) * s)];
                    }
                    pixelschreiber(ausgabe, x++, y, pixel);
                    fx += step;
                    ++m;
                }
            }
            for (int k = 0; k < frame; ++k)
                pixelschreiber(ausgabe, x++, y, rahmenfarbe);
            fy -= step;
        }
    }

    for (int r = 0; r < frame; ++r, ++y)
        for (int x = 0; x < W; ++x)
            pixelschreiber(ausgabe, x, y, rahmenfarbe);
}

void DBLD_put_ppm(FILE* f, const DBLD* dbld, const BILDPARAMETER* par)
{
    int W, H;
    if (!zeichenbar(dbld, par, &W, &H))
        return;
    fprintf(f, "P6\n");
    fprintf(f, "%d %d\n", W, H);
    fprintf(f, "255\n");
    DBLD_put_gen(f, put_pixel_ppm, dbld, par);
}

void DBLD_put_ppm_plain(FILE* f, const DBLD* dbld, const BILDPARAMETER* par)
{
    int W, H;
    if (!zeichenbar(dbld, par, &W, &H))
        return;
    fprintf(f, "P3\n");
    fprintf(f, "%d %d\n", W, H);
    fprintf(f, "255\n");
    DBLD_put_gen(f, put_pixel_ppm_plain, dbld, par);
    fputc('\n', f);
}

void DBLD_print_grey(FILE* f, const DBLD* dbld, int scale)
{
    // Sizes and inverted values in 64 bits: the same text as int where that
    // fits, and no overflow for extreme values.
    fprintf(f, "P2\n");
    fprintf(f, "%lld %lld\n", (long long)dbld->n_cols * scale, (long long)dbld->n_rows * scale);
    fprintf(f, "255\n");
    for (int i_row = 0; i_row < dbld->n_rows; ++i_row)
        for (int s_row = 0; s_row < scale; ++s_row) {
            bool erste = true;
            for (int i_col = 0; i_col < dbld->n_cols; ++i_col) {
                long long wert = 255LL - dbld->dbld[(size_t)i_row * dbld->n_cols + i_col];
                for (int s_col = 0; s_col < scale; ++s_col) {
                    fprintf(f, erste ? "%lld" : " %lld", wert);
                    erste = false;
                }
            }
            fputc('\n', f);
        }
}

void DBLD_print_color(FILE* f, const DBLD* dbld, int scale, int gap)
{
    const long long breite = (long long)dbld->n_cols * scale + ((long long)dbld->n_cols + 1) * gap;
    const long long hoehe = (long long)dbld->n_rows * scale + ((long long)dbld->n_rows + 1) * gap;
    fprintf(f, "P3\n");
    fprintf(f, "%lld %lld\n", breite, hoehe);
    fprintf(f, "255\n");

    auto graue_zeilen = [f, gap, breite]() {
        for (int g = 0; g < gap; ++g) {
            for (long long p = 0; p < breite; ++p)
                fputs(p == 0 ? grau : grau_weiter, f);
            fputc('\n', f);
        }
    };

    graue_zeilen();
    for (int i_row = dbld->n_rows - 1; i_row >= 0; --i_row) {
        for (int s_row = 0; s_row < scale; ++s_row) {
            for (int g = 0; g < gap; ++g)
                fputs(g == 0 ? grau : grau_weiter, f);
            for (int i_col = 0; i_col < dbld->n_cols; ++i_col) {
                int rot, gruen, blau;
                DBLD_value_to_color(&rot, &gruen, &blau,
                                    dbld->dbld[(size_t)i_row * dbld->n_cols + i_col]);
                for (int s_col = 0; s_col < scale; ++s_col)
                    fprintf(f, "  %d %d %d", rot, gruen, blau);
                for (int g = 0; g < gap; ++g)
                    fputs(grau_weiter, f);
            }
            fputc('\n', f);
        }
        graue_zeilen();
    }
}

int DBLD_to_jpeg(unsigned char** buffer, unsigned long* length, const DBLD* dbld,
                 const BILDPARAMETER* par)
{
    char meldung[dbld_bild::MELDUNG_MAX];
    if (dbld_bild::jpeg_in_speicher(buffer, length, dbld, par, meldung))
        return 1;
    dbld_err_msg("DBLD_to_jpeg: %s\n", meldung);
    return 0;
}

int DBLD_put_jpeg(FILE* f, const DBLD* dbld, const BILDPARAMETER* par)
{
    char meldung[dbld_bild::MELDUNG_MAX];
    if (dbld_bild::jpeg_in_datei(f, dbld, par, meldung))
        return 1;
    dbld_err_msg("DBLD_put_jpeg: %s\n", meldung);
    return 0;
}
