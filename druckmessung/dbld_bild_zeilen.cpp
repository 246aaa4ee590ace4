// The row raster: the false-colour raster of an image one output row at a
// time, in memory proportional to the image width.
//
// The same arithmetic as sampling every pixel through DBLD_dbldvalsq, with
// each quantity computed once for everything that shares it:
// - per pixel column: the column position fx (summed step by step exactly as
//   the rasteriser sums it), the nearest cell, the neighbour column and the
//   weights 1 - |dx| and |dx|, the cells kept once per stretch of columns
//   that share them; per pixel row the same for fy, summed from the top of
//   its cell row;
// - per cell row: its values as float, on a grid with a border of empty
//   cells so that no lookup needs a bounds check, and for each cell whether
//   the sum of its 3 x 3 neighbourhood is positive;
// - per cell row and pixel column: value x column weight, the first product
//   of each of the four terms, and the threshold the result must reach
//   (val_min, or +infinity where the nearest cell is outside the grid or its
//   neighbourhood sum is not positive, which makes the value 0), taken
//   stretch by stretch of pixel columns with the same nearest and neighbour
//   column.
// A pixel then costs the products with the row weights, the three additions
// in their order, the threshold, the scaling and a table lookup, in a loop
// without branches that the compiler vectorises.  Runs of pixels whose
// nearest cell gives no value (outside the grid, or an empty neighbourhood)
// are copied from a row in the colour of level 0 without computing.
#include "dbld_bild_intern.h"
#include "dbld_bild_raster.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace dbld_bild {

namespace {

bool gesperrt = false;

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

} // namespace

void zeilenraster_sperren(bool sperren)
{
    gesperrt = sperren;
}

bool ZEILENRASTER::anlegen(const DBLD* dbld, const BILDPARAMETER* par, int W)
{
    if (gesperrt)
        return false;
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
    const size_t zellen = ohne_wert_ ? 0 : (size_t)n_cols_ + 2;
    const size_t spalten = ohne_wert_ ? 0 : (size_t)w_;
    n_abschnitte_ = 0;
    if (!ohne_wert_) {
        int zelle = -1, nachbar = -1;
        spalten_durchlaufen(n_cols_, res_, [&](int, int z, int nb, float, float) {
            if (z != zelle || nb != nachbar)
                ++n_abschnitte_;
            zelle = z;
            nachbar = nb;
        });
    }
    const size_t abschnitte = (size_t)n_abschnitte_;
    size_t groesse = 0;
    // per column two weights; per stretch four ints; three value rows and a
    // threshold row; per place three arrays and up to one run (two ints) per
    // stretch; the levels; the bytes of the empty row.  The output row has
    // a block of its own.  Nothing grows with the number of rows.
    if (!dazu(&groesse, spalten, 2 * 4) || !dazu(&groesse, abschnitte, 4 * 4) ||
        !dazu(&groesse, zellen, 4 * 4) || !dazu(&groesse, spalten, 4 * 3 * 4) ||
        !dazu(&groesse, abschnitte, 4 * 2 * 4) || !dazu(&groesse, spalten, 4) ||
        !dazu(&groesse, (size_t)w_, 3))
        return false;
    size_t ausgabe = 0;
    if (!dazu(&ausgabe, (size_t)W_, 3))
        return false;
    block_.reset((unsigned char*)malloc(groesse));
    ausgabe_.reset((unsigned char*)malloc(ausgabe));
    if (!block_ || !ausgabe_)
        return false;
    // The 4-byte arrays first, the bytes of the empty row last.
    static_assert(sizeof(float) == 4 && sizeof(int) == 4, "4-byte float and int");
    unsigned char* p = block_.get();
    auto nimm = [&p](size_t n) {
        void* a = p;
        p += 4 * n;
        return a;
    };
    sp_g0_ = (float*)nimm(spalten);
    sp_g1_ = (float*)nimm(spalten);
    abschnitte_ = (int*)nimm(4 * abschnitte);
    unten_ = (float*)nimm(zellen);
    mitte_ = (float*)nimm(zellen);
    oben_ = (float*)nimm(zellen);
    schwellen_ = (float*)nimm(zellen);
    for (ZEILENSPEICHER& sp : speicher_) {
        sp.zeile = -1;
        sp.wert_x0 = (float*)nimm(spalten);
        sp.wert_x1 = (float*)nimm(spalten);
        sp.schwelle = (float*)nimm(spalten);
        sp.laeufe = (int*)nimm(2 * abschnitte);
        sp.n_laeufe = 0;
    }
    stufen_ = (int*)nimm(spalten);
    leer_ = p;
    for (int m = 0; m < w_; ++m)
        memcpy(leer_ + 3 * (size_t)m, farben_[0], 3);

    if (!ohne_wert_)
        spalten_fuellen();
    return true;
}

void ZEILENRASTER::spalten_fuellen()
{
    int n = 0;
    spalten_durchlaufen(n_cols_, res_, [this, &n](int m, int zelle, int nachbar, float g0,
                                                  float g1) {
        sp_g0_[m] = g0;
        sp_g1_[m] = g1;
        if (n > 0) {
            int* letzter = abschnitte_ + 4 * (n - 1);
            if (letzter[2] == zelle && letzter[3] == nachbar) {
                letzter[1] = m + 1;
                return;
            }
        }
        int* abschnitt = abschnitte_ + 4 * n++;
        abschnitt[0] = m;
        abschnitt[1] = m + 1;
        abschnitt[2] = zelle;
        abschnitt[3] = nachbar;
    });
}

// Row zeile of the bordered grid as float values: 0 in the border.
void ZEILENRASTER::zellzeile(int zeile, float* werte) const
{
    const size_t breite = (size_t)n_cols_ + 2;
    if (zeile < 1 || zeile > n_rows_) {
        memset(werte, 0, sizeof(float) * breite);
        return;
    }
    const int* quelle = dbld_->dbld + (size_t)(zeile - 1) * n_cols_;
    werte[0] = 0.0f;
    for (int c = 0; c < n_cols_; ++c)
        werte[c + 1] = (float)quelle[c];
    werte[n_cols_ + 1] = 0.0f;
}

// The values of row zeile of the bordered grid into mitte_, and its
// thresholds: +infinity in the border and where the cell's neighbourhood
// sum is not positive, else val_min.
void ZEILENRASTER::schwellen_rechnen(int zeile)
{
    const size_t breite = (size_t)n_cols_ + 2;
    const float unendlich = std::numeric_limits<float>::infinity();
    zellzeile(zeile, mitte_);
    if (zeile < 1 || zeile > n_rows_) {
        for (size_t i = 0; i < breite; ++i)
            schwellen_[i] = unendlich;
        return;
    }
    zellzeile(zeile + 1, oben_);
    zellzeile(zeile - 1, unten_);
    const float val_min = (float)dbld_->val_min;
    const float *o = mitte_, *oben = oben_, *unten = unten_;
    schwellen_[0] = unendlich;
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
        schwellen_[c] = summe > 0 ? val_min : unendlich;
    }
    schwellen_[n_cols_ + 1] = unendlich;
}

const ZEILENSPEICHER& ZEILENRASTER::speicher(int zeile)
{
    ZEILENSPEICHER& sp = speicher_[zeile & 3];
    if (sp.zeile == zeile)
        return sp;
    schwellen_rechnen(zeile);
    const float* werte = mitte_;
    const float unendlich = std::numeric_limits<float>::infinity();
    // Stretch by stretch: the products (every one: a row is also read as
    // the neighbour of another), the thresholds, and the runs.
    int n = 0;
    for (int k = 0; k < n_abschnitte_; ++k) {
        const int* abschnitt = abschnitte_ + 4 * k;
        const int anfang = abschnitt[0], ende = abschnitt[1];
        const float schwelle = schwellen_[abschnitt[2]];
        const float v0 = werte[abschnitt[2]], v1 = werte[abschnitt[3]];
        for (int m = anfang; m < ende; ++m) {
            sp.wert_x0[m] = v0 * sp_g0_[m];
            sp.wert_x1[m] = v1 * sp_g1_[m];
            sp.schwelle[m] = schwelle;
        }
        if (schwelle == unendlich)
            continue;
        if (n > 0 && sp.laeufe[2 * n - 1] == anfang) {
            sp.laeufe[2 * n - 1] = ende;
        } else {
            sp.laeufe[2 * n] = anfang;
            sp.laeufe[2 * n + 1] = ende;
            ++n;
        }
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
    const ZEILENGEWICHT z = zeilengewicht(n_rows_ - 1 - j / res_, j % res_, res_, n_rows_);
    // the nearest row and its neighbour lie in different places
    const ZEILENSPEICHER& a = speicher(z.zelle);
    const ZEILENSPEICHER& b = speicher(z.nachbar);
    int bis = 0;
    for (int i = 0; i < a.n_laeufe; ++i) {
        const int anfang = a.laeufe[2 * i], ende = a.laeufe[2 * i + 1];
        memcpy(bild + 3 * (size_t)bis, leer_, 3 * (size_t)(anfang - bis));
        stufen_rechnen(a.wert_x0 + anfang, b.wert_x0 + anfang, a.wert_x1 + anfang,
                       b.wert_x1 + anfang, a.schwelle + anfang, z.g0, z.g1, s_, stufen_,
                       ende - anfang);
        farben_setzen(bild + 3 * (size_t)anfang, ende - anfang);
        bis = ende;
    }
    memcpy(bild + 3 * (size_t)bis, leer_, 3 * (size_t)(w_ - bis));
}

const unsigned char* ZEILENRASTER::zeile(int y)
{
    unsigned char* rgb = ausgabe_.get();
    if (y < frame_ || y >= frame_ + h_) {
        fuellen(rgb, W_, rahmenfarbe);
        return rgb;
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
    return rgb;
}

} // namespace dbld_bild
