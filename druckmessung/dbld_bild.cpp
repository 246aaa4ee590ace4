// False-colour rendering of a pressure image: the process-wide colour
// settings, the colour scale, the rasteriser with border, grid and mask
// colour, PPM / PGM writers, text dumps, and JPEG to memory or a stream.
#include "dbld.h"
#include "dbld_bild_intern.h"

#include <jpeglib.h>

#include <climits>
#include <cmath>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
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

// Level of a scaled value as the colour scale sees it: truncated toward
// zero.  Every level at or below 0 has the background colour and every level
// at or above 255 the top colour, with or without contrast, so the value is
// cut to 0 .. 255 first; that also keeps the conversion defined for values
// far outside.
inline int stufe(float p)
{
    if (!(p > 0.0f))
        return 0;
    if (p >= 255.0f)
        return 255;
    return (int)p;
}

// The colour of every level 0 .. 255 from the colour scale with the settings
// of the moment: one lookup per pixel instead of the scale's arithmetic.
// Four bytes per entry (the fourth is 0), so that a pixel can be copied as
// one word.
struct FARBTABELLE {
    unsigned char rgb[256][4];

    FARBTABELLE()
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
    const unsigned char* operator[](int level) const { return rgb[level]; }
};

struct Frei {
    void operator()(void* p) const { free(p); }
};

// Pixel count times bytes per pixel added to a running size, false on
// overflow.
bool dazu(size_t* summe, size_t anzahl, size_t groesse)
{
    if (anzahl > (SIZE_MAX - *summe) / groesse)
        return false;
    *summe += anzahl * groesse;
    return true;
}

// Fills n pixels from p on with one colour.
void fuellen(unsigned char* p, int n, const unsigned char* farbe)
{
    for (int i = 0; i < n; ++i, p += 3)
        memcpy(p, farbe, 3);
}

// ---- The raster, point by point ---------------------------------------------

// Index of the nearest cell as the sampling function finds it: coordinate +
// 0.5 in double precision, truncated toward zero.  False where it finds no
// cell (a coordinate not finite or beyond int).
bool zellindex(float koordinate, int* index)
{
    double d = (double)koordinate + 0.5;
    if (!(d > (double)INT_MIN - 1.0 && d < (double)INT_MAX + 1.0))
        return false;
    *index = (int)d;
    return true;
}

// The rasteriser one pixel at a time, sampling through DBLD_dbldvalsq.  Used
// when the tables of the row raster cannot be had; the row raster gives the
// same bytes.
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

// ---- The raster, row by row -------------------------------------------------
//
// The same arithmetic as sampling every pixel through DBLD_dbldvalsq, with
// each quantity computed once for everything that shares it:
// - per cell: its value as float, and whether the sum of its 3 x 3
//   neighbourhood is positive, on a grid with a border of empty cells so
//   that no lookup needs a bounds check;
// - per pixel column: the column position fx (summed step by step exactly as
//   the rasteriser sums it), the nearest cell, the neighbour column and the
//   weights 1 - |dx| and |dx|; likewise per pixel row for fy;
// - per cell row and pixel column: value x column weight, the first product
//   of each of the four terms, and the threshold the result must reach
//   (val_min, or +infinity where the nearest cell is outside the grid or its
//   neighbourhood sum is not positive, which makes the value 0).
// A pixel then costs the products with the row weights, the three additions
// in their order, the threshold, the scaling and a table lookup, in a loop
// without branches that the compiler vectorises.  Runs of pixels whose
// nearest cell gives no value (outside the grid, or an empty neighbourhood)
// are copied from a row in the colour of level 0 without computing.

// One cell row's products with the column weights, its thresholds, and the
// runs of pixel columns whose threshold is finite (elsewhere every value
// is 0).
struct ZEILENSPEICHER {
    int zeile;       // row of the bordered grid, -1 while empty
    float* wert_x0;  // value of the nearest cell x (1 - |dx|)
    float* wert_x1;  // value of the neighbour column x |dx|
    float* schwelle;
    int* laeufe;     // start and end (exclusive) of each run
    int n_laeufe;
};

// Levels of n pixels: the four terms in their order, each product value x
// column weight x row weight; below the threshold the value is 0; then
// scaled, cut to 0 .. 255 and truncated.  With GCC on x86-64 a second copy
// for AVX2 is chosen at load time where the processor has it: the same
// single-precision operations, eight at a time instead of four.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
__attribute__((target_clones("avx2", "default")))
#endif
void stufen_rechnen(const float* __restrict a0, const float* __restrict b0,
                    const float* __restrict a1, const float* __restrict b1,
                    const float* __restrict schwelle, float g0, float g1, float s,
                    int* __restrict stufen, int n)
{
    for (int m = 0; m < n; ++m) {
        float f = a0[m] * g0;
        f += b0[m] * g1;
        f += a1[m] * g0;
        f += b1[m] * g1;
        f = f >= schwelle[m] ? f : 0.0f;
        float p = f * s;
        p = p > 0.0f ? p : 0.0f;
        p = p < 255.0f ? p : 255.0f;
        stufen[m] = (int)p;
    }
}

class ZEILENRASTER {
public:
    // Tables for the image; false when their memory cannot be had.  The
    // image must be drawable (zeichenbar), W wide.
    bool anlegen(const DBLD* dbld, const BILDPARAMETER* par, int W);
    // Output row y (0 = top) as 3 x W bytes.
    void zeile(int y, unsigned char* rgb);

private:
    const DBLD* dbld_ = nullptr;
    int n_rows_ = 0, n_cols_ = 0, res_ = 1, grid_ = 0, frame_ = 0;
    int W_ = 0, w_ = 0, h_ = 0;
    bool ohne_wert_ = false, maskieren_ = false;
    float s_ = 0;
    FARBTABELLE farben_;
    std::unique_ptr<unsigned char, Frei> block_;
    // bordered grid: (n_rows + 2) x (n_cols + 2), cell (r, c) at
    // (r + 1) x (n_cols + 2) + c + 1
    float* werte_ = nullptr;
    float* schwellen_ = nullptr;
    // per pixel column: nearest and neighbour column in the bordered grid,
    // weights 1 - |dx| and |dx|
    int* sp_zelle_ = nullptr;
    int* sp_nachbar_ = nullptr;
    float* sp_g0_ = nullptr;
    float* sp_g1_ = nullptr;
    // per pixel row of the image part: the same for rows and dy
    int* ze_zelle_ = nullptr;
    int* ze_nachbar_ = nullptr;
    float* ze_g0_ = nullptr;
    float* ze_g1_ = nullptr;
    // A pixel row reads two neighbouring rows, and the pixel rows of one
    // cell row read at most four neighbouring rows: four places, row r in
    // place r mod 4.
    ZEILENSPEICHER speicher_[4] = {};
    int* stufen_ = nullptr;
    unsigned char* leer_ = nullptr; // a pixel row in the colour of level 0

    void gitter_fuellen();
    void spalten_fuellen();
    void zeilen_fuellen();
    const ZEILENSPEICHER& speicher(int zeile);
    void werte_zeichnen(int j, unsigned char* bild);
    void farben_setzen(unsigned char* bild, int n) const;
};

bool ZEILENRASTER::anlegen(const DBLD* dbld, const BILDPARAMETER* par, int W)
{
    dbld_ = dbld;
    n_rows_ = dbld->n_rows;
    n_cols_ = dbld->n_cols;
    res_ = par->resolution;
    grid_ = par->grid;
    frame_ = par->frame;
    W_ = W;
    w_ = n_cols_ * res_;
    h_ = n_rows_ * res_;
    ohne_wert_ = dbld->val_max == 0;
    s_ = ohne_wert_ ? 0.0f : (float)(255.0 / dbld->val_max);
    maskieren_ = par->mask != 0 && dbld->mask != nullptr;

    // Without val_max every level is 0: only the empty row is needed.
    if (!ohne_wert_ && (size_t)n_cols_ + 2 > SIZE_MAX / ((size_t)n_rows_ + 2))
        return false;
    const size_t zellen = ohne_wert_ ? 0 : ((size_t)n_rows_ + 2) * ((size_t)n_cols_ + 2);
    const size_t spalten = ohne_wert_ ? 0 : (size_t)w_;
    const size_t zeilen = ohne_wert_ ? 0 : (size_t)h_;
    size_t groesse = 0;
    // grid: values and thresholds; per column and per row four arrays; per
    // place four arrays, the runs two entries longer; the levels; the
    // empty row's bytes
    if (!dazu(&groesse, zellen, 2 * 4) || !dazu(&groesse, spalten, 4 * 4) ||
        !dazu(&groesse, zeilen, 4 * 4) || !dazu(&groesse, spalten, 4 * 4 * 4) ||
        !dazu(&groesse, ohne_wert_ ? 0 : 4 * 2, 4) || !dazu(&groesse, spalten, 4) ||
        !dazu(&groesse, (size_t)w_, 3))
        return false;
    block_.reset((unsigned char*)malloc(groesse));
    if (!block_)
        return false;
    // The 4-byte arrays first, the bytes of the empty row last.
    static_assert(sizeof(float) == 4 && sizeof(int) == 4, "4-byte float and int");
    unsigned char* p = block_.get();
    auto nimm = [&p](size_t n) {
        void* a = p;
        p += 4 * n;
        return a;
    };
    werte_ = (float*)nimm(zellen);
    schwellen_ = (float*)nimm(zellen);
    sp_zelle_ = (int*)nimm(spalten);
    sp_nachbar_ = (int*)nimm(spalten);
    sp_g0_ = (float*)nimm(spalten);
    sp_g1_ = (float*)nimm(spalten);
    ze_zelle_ = (int*)nimm(zeilen);
    ze_nachbar_ = (int*)nimm(zeilen);
    ze_g0_ = (float*)nimm(zeilen);
    ze_g1_ = (float*)nimm(zeilen);
    for (ZEILENSPEICHER& sp : speicher_) {
        sp.zeile = -1;
        sp.wert_x0 = (float*)nimm(spalten);
        sp.wert_x1 = (float*)nimm(spalten);
        sp.schwelle = (float*)nimm(spalten);
        sp.laeufe = (int*)nimm(ohne_wert_ ? 0 : spalten + 2);
        sp.n_laeufe = 0;
    }
    stufen_ = (int*)nimm(spalten);
    leer_ = p;
    for (int m = 0; m < w_; ++m)
        memcpy(leer_ + 3 * (size_t)m, farben_[0], 3);

    if (!ohne_wert_) {
        gitter_fuellen();
        spalten_fuellen();
        zeilen_fuellen();
    }
    return true;
}

void ZEILENRASTER::gitter_fuellen()
{
    const size_t breite = (size_t)n_cols_ + 2;
    const float unendlich = std::numeric_limits<float>::infinity();
    const float val_min = (float)dbld_->val_min;
    memset(werte_, 0, sizeof(float) * breite);
    memset(werte_ + ((size_t)n_rows_ + 1) * breite, 0, sizeof(float) * breite);
    for (int r = 0; r < n_rows_; ++r) {
        float* z = werte_ + ((size_t)r + 1) * breite;
        const int* quelle = dbld_->dbld + (size_t)r * n_cols_;
        z[0] = 0.0f;
        for (int c = 0; c < n_cols_; ++c)
            z[c + 1] = (float)quelle[c];
        z[n_cols_ + 1] = 0.0f;
    }
    // The border has no cell: threshold +infinity.
    for (size_t i = 0; i < breite; ++i) {
        schwellen_[i] = unendlich;
        schwellen_[((size_t)n_rows_ + 1) * breite + i] = unendlich;
    }
    for (int r = 0; r < n_rows_; ++r) {
        const size_t zeile = ((size_t)r + 1) * breite;
        const float* o = werte_ + zeile;
        const float* oben = o + breite;  // row r + 1
        const float* unten = o - breite; // row r - 1
        float* schwelle = schwellen_ + zeile;
        schwelle[0] = unendlich;
        for (size_t c = 1; c <= (size_t)n_cols_; ++c) {
            // the cell, then its neighbours in the order of the sampling
            // function's table, summed as float
            float summe = 0.0f;
            summe += o[c];
            summe += oben[c];
            summe += oben[c - 1];
            summe += o[c - 1];
            summe += unten[c - 1];
            summe += unten[c];
            summe += unten[c + 1];
            summe += o[c + 1];
            summe += oben[c + 1];
            schwelle[c] = summe > 0 ? val_min : unendlich;
        }
        schwelle[n_cols_ + 1] = unendlich;
    }
}

void ZEILENRASTER::spalten_fuellen()
{
    const float step = (float)(1.0 / res_);
    int m = 0;
    for (int i_col = 0; i_col < n_cols_; ++i_col) {
        float fx = (float)(i_col - 0.5);
        for (int k = 0; k < res_; ++k, ++m) {
            int i;
            if (zellindex(fx, &i) && i >= 0 && i < n_cols_) {
                float dx = fx - (float)i;
                float adx = std::fabs(dx);
                sp_zelle_[m] = i + 1;
                sp_nachbar_[m] = (dx > 0 ? i + 1 : i - 1) + 1;
                sp_g0_[m] = 1 - adx;
                sp_g1_[m] = adx;
            } else {
                // the border: value 0, threshold +infinity
                sp_zelle_[m] = sp_nachbar_[m] = 0;
                sp_g0_[m] = sp_g1_[m] = 0.0f;
            }
            fx += step;
        }
    }
}

void ZEILENRASTER::zeilen_fuellen()
{
    const float step = (float)(1.0 / res_);
    int j = 0;
    for (int i_row = n_rows_ - 1; i_row >= 0; --i_row) {
        float fy = (float)(i_row + 0.4);
        for (int l = 0; l < res_; ++l, ++j) {
            int i;
            if (zellindex(fy, &i) && i >= 0 && i < n_rows_) {
                float dy = fy - (float)i;
                float ady = std::fabs(dy);
                ze_zelle_[j] = i + 1;
                ze_nachbar_[j] = (dy >= 0 ? i + 1 : i - 1) + 1;
                ze_g0_[j] = 1 - ady;
                ze_g1_[j] = ady;
            } else {
                // the lower border row: every threshold +infinity
                ze_zelle_[j] = 0;
                ze_nachbar_[j] = 1;
                ze_g0_[j] = ze_g1_[j] = 0.0f;
            }
            fy -= step;
        }
    }
}

const ZEILENSPEICHER& ZEILENRASTER::speicher(int zeile)
{
    ZEILENSPEICHER& sp = speicher_[zeile & 3];
    if (sp.zeile == zeile)
        return sp;
    const size_t start = (size_t)zeile * ((size_t)n_cols_ + 2);
    const float* werte = werte_ + start;
    const float* schwellen = schwellen_ + start;
    for (int m = 0; m < w_; ++m) {
        sp.wert_x0[m] = werte[sp_zelle_[m]] * sp_g0_[m];
        sp.wert_x1[m] = werte[sp_nachbar_[m]] * sp_g1_[m];
        sp.schwelle[m] = schwellen[sp_zelle_[m]];
    }
    const float unendlich = std::numeric_limits<float>::infinity();
    int n = 0;
    for (int m = 0; m < w_;) {
        while (m < w_ && sp.schwelle[m] == unendlich)
            ++m;
        if (m == w_)
            break;
        sp.laeufe[2 * n] = m;
        while (m < w_ && sp.schwelle[m] != unendlich)
            ++m;
        sp.laeufe[2 * n + 1] = m;
        ++n;
    }
    sp.n_laeufe = n;
    sp.zeile = zeile;
    return sp;
}

// Colours of n levels, four bytes at a time: the fourth lands on the next
// pixel, which is written after it; the last pixel takes three.
void ZEILENRASTER::farben_setzen(unsigned char* bild, int n) const
{
    const int* stufen = stufen_;
    for (int m = 0; m < n - 1; ++m)
        memcpy(bild + 3 * (size_t)m, farben_[stufen[m]], 4);
    memcpy(bild + 3 * (size_t)(n - 1), farben_[stufen[n - 1]], 3);
}

// The value colours of image pixel row j: the runs of the nearest row's
// cells computed, the rest in the colour of level 0.
void ZEILENRASTER::werte_zeichnen(int j, unsigned char* bild)
{
    if (ohne_wert_) {
        memcpy(bild, leer_, 3 * (size_t)w_);
        return;
    }
    // the nearest row and its neighbour lie in different places
    const ZEILENSPEICHER& a = speicher(ze_zelle_[j]);
    const ZEILENSPEICHER& b = speicher(ze_nachbar_[j]);
    const float g0 = ze_g0_[j], g1 = ze_g1_[j];
    int bis = 0;
    for (int i = 0; i < a.n_laeufe; ++i) {
        const int anfang = a.laeufe[2 * i], ende = a.laeufe[2 * i + 1];
        memcpy(bild + 3 * (size_t)bis, leer_, 3 * (size_t)(anfang - bis));
        stufen_rechnen(a.wert_x0 + anfang, b.wert_x0 + anfang, a.wert_x1 + anfang,
                       b.wert_x1 + anfang, a.schwelle + anfang, g0, g1, s_, stufen_,
                       ende - anfang);
        farben_setzen(bild + 3 * (size_t)anfang, ende - anfang);
        bis = ende;
    }
    memcpy(bild + 3 * (size_t)bis, leer_, 3 * (size_t)(w_ - bis));
}

void ZEILENRASTER::zeile(int y, unsigned char* rgb)
{
    if (y < frame_ || y >= frame_ + h_) {
        fuellen(rgb, W_, rahmenfarbe);
        return;
    }
    const int j = y - frame_;
    const int l = j % res_;
    const int i_row = n_rows_ - 1 - j / res_;
    fuellen(rgb, frame_, rahmenfarbe);
    unsigned char* bild = rgb + 3 * (size_t)frame_;
    fuellen(bild + 3 * (size_t)w_, frame_, rahmenfarbe);
    werte_zeichnen(j, bild);

    // Masked cells over the values, grid lines over everything.
    if (maskieren_) {
        const int* flags = dbld_->mask + (size_t)i_row * n_cols_;
        for (int i_col = 0; i_col < n_cols_; ++i_col)
            if (flags[i_col] != 0)
                fuellen(bild + 3 * (size_t)i_col * res_, res_, maskenfarbe);
    }
    if (grid_ != 0) {
        // the vertical line at the right edge of each cell but the last
        if ((j | grid_) & 1)
            for (long long m = res_ - 1; m < w_ - 1; m += res_)
                memcpy(bild + 3 * (size_t)m, gitterfarbe, 3);
        // the horizontal line at the lower edge of each cell row but the
        // lowest: every pixel for an odd grid style, odd pixels otherwise
        if (l == res_ - 1 && j < h_ - 1) {
            const int schritt = (grid_ & 1) ? 1 : 2;
            for (long long m = (grid_ & 1) ? 0 : 1; m < w_; m += schritt)
                memcpy(bild + 3 * (size_t)m, gitterfarbe, 3);
        }
    }
}

// Room for one output row of W pixels, or null.
unsigned char* zeilenpuffer(int W)
{
    if ((size_t)W > SIZE_MAX / 3)
        return nullptr;
    return (unsigned char*)malloc(3 * (size_t)W);
}

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
    ZEILENRASTER zeilen;
    if (zeilen.anlegen(dbld, par, breite)) {
        const size_t zeilenlaenge = 3 * (size_t)breite;
        for (int y = 0; y < hoehe; ++y, position += zeilenlaenge)
            zeilen.zeile(y, position);
    } else {
        DBLD_put_gen(&position, put_pixel_jpeg, dbld, par);
    }
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

void raster_punktweise(void* ausgabe, PIXELSCHREIBER pixelschreiber, const DBLD* dbld,
                       const BILDPARAMETER* par)
{
    int W, H;
    if (pixelschreiber && zeichenbar(dbld, par, &W, &H))
        punktweise(ausgabe, pixelschreiber, dbld, par, W);
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
    ZEILENRASTER zeilen;
    std::unique_ptr<unsigned char, Frei> zeile(zeilenpuffer(W));
    if (!zeile || !zeilen.anlegen(dbld, par, W)) {
        punktweise(ausgabe, pixelschreiber, dbld, par, W);
        return;
    }
    for (int y = 0; y < H; ++y) {
        zeilen.zeile(y, zeile.get());
        for (int x = 0; x < W; ++x)
            pixelschreiber(ausgabe, x, y, zeile.get() + 3 * (size_t)x);
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
    std::unique_ptr<unsigned char, Frei> zeile(zeilenpuffer(W));
    if (!zeile || !zeilen.anlegen(dbld, par, W)) {
        DBLD_put_gen(f, put_pixel_ppm, dbld, par);
        return;
    }
    for (int y = 0; y < H; ++y) {
        zeilen.zeile(y, zeile.get());
        fwrite(zeile.get(), 1, 3 * (size_t)W, f);
    }
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
