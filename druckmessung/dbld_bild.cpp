// False-colour rendering of a pressure image: the process-wide colour
// settings, the colour scale, the sizes, the point-by-point rasteriser, and
// every exported renderer (the pixel-writer interface, PPM writers, text
// dumps, JPEG to memory or a stream).  The row raster is in
// dbld_bild_zeilen.cpp, the libjpeg glue in dbld_bild_jpeg.cpp.
#include "dbld.h"
#include "dbld_bild_intern.h"
#include "dbld_bild_raster.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// ---- Colour settings ------------------------------------------------------

int ccontrast = 0;
int bgcolor[3] = {255, 255, 255};

const char grau[] = "128 128 128";
const char grau_weiter[] = "  128 128 128";

// Absolute value modulo 256, also for INT_MIN.
int farbanteil(int wert)
{
    long long a = wert < 0 ? -(long long)wert : (long long)wert;
    return (int)(a % 256);
}

} // namespace

// ---- Colours, sizes and the raster point by point ----------------------------

namespace dbld_bild {

const unsigned char rahmenfarbe[3] = {64, 64, 64};
const unsigned char gitterfarbe[3] = {128, 128, 128};
const unsigned char maskenfarbe[3] = {208, 208, 208};

FARBTABELLE::FARBTABELLE()
{
    for (int level = 0; level < 256; ++level) {
        int rot, gruen, blau;
        DBLD_value_to_color(&rot, &gruen, &blau, level);
        unsigned char* p = rgb[level];
        p[0] = (unsigned char)rot;
        p[1] = (unsigned char)gruen;
        p[2] = (unsigned char)blau;
        p[3] = 0;
    }
}

void masse(const DBLD* dbld, int resolution, int frame, long long* breite, long long* hoehe)
{
    *breite = (long long)dbld->n_cols * resolution + 2LL * frame;
    *hoehe = (long long)dbld->n_rows * resolution + 2LL * frame;
}

bool zeichenbar(const DBLD* dbld, const BILDPARAMETER* par, int* breite, int* hoehe)
{
    if (!dbld || !par || dbld->n_rows < 1 || dbld->n_cols < 1 || par->resolution < 1 ||
        par->frame < 0 || par->grid < 0 || par->grid > 2)
        return false;
    long long b, h;
    masse(dbld, par->resolution, par->frame, &b, &h);
    if (b > INT_MAX || h > INT_MAX)
        return false;
    *breite = (int)b;
    *hoehe = (int)h;
    return true;
}

// The rasteriser as it is defined: every pixel sampled on its own, grid,
// mask and border decided per pixel.  The row raster gives the same bytes.
void punktweise(void* ausgabe, PIXELSCHREIBER pixelschreiber, const DBLD* dbld,
                const BILDPARAMETER* par, int W)
{
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
                        pixel = farben[ohne_wert ? 0 : stufe(DBLD_dbldvalsq(dbld, fx, fy) * s)];
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

void raster_punktweise(void* ausgabe, PIXELSCHREIBER pixelschreiber, const DBLD* dbld,
                       const BILDPARAMETER* par)
{
    int W, H;
    if (pixelschreiber && zeichenbar(dbld, par, &W, &H))
        punktweise(ausgabe, pixelschreiber, dbld, par, W);
}

} // namespace dbld_bild

namespace {

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

} // namespace

// ---- Exported functions -----------------------------------------------------

using namespace dbld_bild;

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
    ZEILENRASTER zeilen;
    if (!zeilen.anlegen(dbld, par, W)) {
        punktweise(ausgabe, pixelschreiber, dbld, par, W);
        return;
    }
    for (int y = 0; y < H; ++y) {
        const unsigned char* zeile = zeilen.zeile(y);
        for (int x = 0; x < W; ++x)
            pixelschreiber(ausgabe, x, y, zeile + 3 * (size_t)x);
    }
}

void DBLD_put_ppm(FILE* f, const DBLD* dbld, const BILDPARAMETER* par)
{
    int W, H;
    if (!zeichenbar(dbld, par, &W, &H))
        return;
    fprintf(f, "P6\n");
    fprintf(f, "%d %d\n", W, H);
    fprintf(f, "255\n");
    // Whole rows at a time; the same bytes as one pixel at a time.
    ZEILENRASTER zeilen;
    if (!zeilen.anlegen(dbld, par, W)) {
        punktweise(f, put_pixel_ppm, dbld, par, W);
        return;
    }
    for (int y = 0; y < H; ++y)
        fwrite(zeilen.zeile(y), 1, 3 * (size_t)W, f);
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
