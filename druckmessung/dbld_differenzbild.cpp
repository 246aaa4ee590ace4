// Difference images: the differences of two pressure images drawn on the
// raster of the false-colour images (cells enlarged to squares of pixels,
// border, grid, masked cells, the same pixel positions summed the same
// way) with the diverging colour scale, one output row at a time, and
// compressed by the rendering's JPEG writer.
//
// A pixel's value is the interpolation between cell centres of the
// false-colour images, term for term in the same order, without the two
// cut-offs that only make sense for pressures.  Per pixel column the
// nearest and neighbour column and their weights are computed once, per
// cell row the products of its values with the column weights (kept for
// the four cell rows a pixel row can read); a pixel then costs the four
// products with the row weights, three additions, the scaling, the cut to
// -255 .. 255 and a table lookup, in a loop the compiler vectorises.
// Where all four products of a pixel are 0 (no difference round it) its
// level is 0: such stretches of a row are copied from a neutral row
// without computing.
#include "dbld_kennzahlen.h"

#include "dbld_bild_intern.h"
#include "dbld_bild_raster.h"
#include "dbld_speicher.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace dbld_kennzahlen {

long long differenzen(const int* a, const int* b, int n, float* d)
{
    long long groesste = 0;
    for (int i = 0; i < n; ++i) {
        const long long diff = a[i] < 0 || b[i] < 0 ? 0 : (long long)b[i] - a[i];
        const long long betrag = diff < 0 ? -diff : diff;
        if (betrag > groesste)
            groesste = betrag;
        d[i] = (float)diff;
    }
    return groesste;
}

namespace {

// The products of one cell row of the bordered grid (a border of empty
// cells round the image) with the weights of the nearest and of the
// neighbour column of every pixel column.
struct PRODUKTZEILE {
    int zeile = -1;
    float* naechste = nullptr;
    float* nachbar = nullptr;
    int* laeufe = nullptr; // start and end (exclusive) of the stretches not all 0
    int n_laeufe = 0;
};

class DIFFERENZRASTER {
public:
    bool anlegen(const float* d, const int* maske, int n_rows, int n_cols,
                 const BILDPARAMETER* par, long long maximum, int kontrast, int W);
    const unsigned char* zeile(int y);

private:
    const float* d_ = nullptr;
    const int* maske_ = nullptr;
    int n_rows_ = 0, n_cols_ = 0, res_ = 1, grid_ = 0, frame_ = 0, W_ = 0, w_ = 0, h_ = 0;
    float s_ = 0;
    unsigned char farben_[2 * STUFEN_MAX + 1][4];
    dbld_speicher::C_BLOCK<unsigned char[]> block_;
    int* spalte0_ = nullptr; // nearest and neighbour column in the bordered grid
    int* spalte1_ = nullptr;
    float* gewicht0_ = nullptr; // 1 - |dx| and |dx|
    float* gewicht1_ = nullptr;
    float* zellen_ = nullptr; // one bordered cell row
    PRODUKTZEILE produkte_[4];
    int* stufen_ = nullptr;
    int* laeufe_ = nullptr; // the stretches of a pixel row, from its two cell rows
    unsigned char* neutral_ = nullptr; // a pixel row of level 0
    unsigned char* ausgabe_ = nullptr;

    const PRODUKTZEILE& produkte(int zeile);
    int laeufe_vereinen(const PRODUKTZEILE& a, const PRODUKTZEILE& b);
};

bool DIFFERENZRASTER::anlegen(const float* d, const int* maske, int n_rows, int n_cols,
                              const BILDPARAMETER* par, long long maximum, int kontrast,
                              int W)
{
    d_ = d;
    maske_ = par->mask != 0 ? maske : nullptr;
    n_rows_ = n_rows;
    n_cols_ = n_cols;
    res_ = par->resolution;
    grid_ = par->grid;
    frame_ = par->frame;
    W_ = W;
    w_ = n_cols * res_;
    h_ = n_rows * res_;
    s_ = maximum > 0 ? (float)(255.0 / (double)maximum) : 0.0f;
    for (int stufe = -STUFEN_MAX; stufe <= STUFEN_MAX; ++stufe) {
        unsigned char* farbe = farben_[stufe + STUFEN_MAX];
        differenzfarbe(stufe, kontrast, farbe);
        farbe[3] = 0;
    }

    // Per pixel column two ints and two floats; eight float rows of
    // products and four of stretches (at most one per two pixel columns,
    // two ints each, so w + 1 ints); a bordered cell row; the levels; the
    // stretches of a pixel row; the neutral row and the output row.  The
    // image is drawable within the JPEG limits, so nothing here overflows.
    const size_t w = (size_t)w_;
    const size_t groesse = w * 4 * 4 + 8 * w * 4 + 4 * (w + 1) * 4 + ((size_t)n_cols + 2) * 4 +
                           w * 4 + (w + 1) * 4 + 3 * w + 3 * (size_t)W_ + 4;
    block_.reset((unsigned char*)malloc(groesse));
    if (!block_)
        return false;
    unsigned char* p = block_.get();
    auto nimm = [&p](size_t n) {
        void* a = p;
        p += 4 * n;
        return a;
    };
    spalte0_ = (int*)nimm(w);
    spalte1_ = (int*)nimm(w);
    gewicht0_ = (float*)nimm(w);
    gewicht1_ = (float*)nimm(w);
    for (PRODUKTZEILE& z : produkte_) {
        z.zeile = -1;
        z.naechste = (float*)nimm(w);
        z.nachbar = (float*)nimm(w);
        z.laeufe = (int*)nimm(w + 1);
    }
    zellen_ = (float*)nimm((size_t)n_cols + 2);
    stufen_ = (int*)nimm(w);
    laeufe_ = (int*)nimm(w + 1);
    neutral_ = p;
    ausgabe_ = p + 3 * w;
    for (size_t m = 0; m < w; ++m)
        memcpy(neutral_ + 3 * m, farben_[STUFEN_MAX], 3);

    // The pixel columns, as the false-colour images' row raster takes them.
    dbld_bild::spalten_durchlaufen(n_cols, res_, [this](int m, int zelle, int nachbar,
                                                        float g0, float g1) {
        spalte0_[m] = zelle;
        spalte1_[m] = nachbar;
        gewicht0_[m] = g0;
        gewicht1_[m] = g1;
    });
    return true;
}

const PRODUKTZEILE& DIFFERENZRASTER::produkte(int zeile)
{
    PRODUKTZEILE& z = produkte_[zeile & 3];
    if (z.zeile == zeile)
        return z;
    const size_t breite = (size_t)n_cols_ + 2;
    if (zeile < 1 || zeile > n_rows_) {
        memset(zellen_, 0, sizeof(float) * breite);
    } else {
        zellen_[0] = zellen_[n_cols_ + 1] = 0.0f;
        memcpy(zellen_ + 1, d_ + (size_t)(zeile - 1) * n_cols_, sizeof(float) * n_cols_);
    }
    for (int m = 0; m < w_; ++m) {
        z.naechste[m] = zellen_[spalte0_[m]] * gewicht0_[m];
        z.nachbar[m] = zellen_[spalte1_[m]] * gewicht1_[m];
    }
    int n = 0;
    for (int m = 0; m < w_;) {
        while (m < w_ && z.naechste[m] == 0 && z.nachbar[m] == 0)
            ++m;
        if (m == w_)
            break;
        z.laeufe[2 * n] = m;
        while (m < w_ && !(z.naechste[m] == 0 && z.nachbar[m] == 0))
            ++m;
        z.laeufe[2 * n + 1] = m;
        ++n;
    }
    z.n_laeufe = n;
    z.zeile = zeile;
    return z;
}

// The stretches of either row, merged where they overlap or touch, into
// laeufe_; returns their number.
int DIFFERENZRASTER::laeufe_vereinen(const PRODUKTZEILE& a, const PRODUKTZEILE& b)
{
    int i = 0, j = 0, n = 0;
    while (i < a.n_laeufe || j < b.n_laeufe) {
        const int* l = j == b.n_laeufe || (i < a.n_laeufe && a.laeufe[2 * i] <= b.laeufe[2 * j])
                           ? a.laeufe + 2 * i++
                           : b.laeufe + 2 * j++;
        if (n > 0 && l[0] <= laeufe_[2 * n - 1]) {
            if (l[1] > laeufe_[2 * n - 1])
                laeufe_[2 * n - 1] = l[1];
        } else {
            laeufe_[2 * n] = l[0];
            laeufe_[2 * n + 1] = l[1];
            ++n;
        }
    }
    return n;
}

// Levels of n pixels: the four terms in their order, scaled, cut to
// -255 .. 255 and truncated toward zero.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
__attribute__((target_clones("avx2", "default")))
#endif
void stufen_rechnen(const float* __restrict a0, const float* __restrict b0,
                    const float* __restrict a1, const float* __restrict b1, float g0, float g1,
                    float s, int* __restrict stufen, int n)
{
    const float oben = (float)STUFEN_MAX, unten = -(float)STUFEN_MAX;
    for (int m = 0; m < n; ++m) {
        float f = a0[m] * g0;
        f += b0[m] * g1;
        f += a1[m] * g0;
        f += b1[m] * g1;
        float p = f * s;
        p = p > unten ? p : unten;
        p = p < oben ? p : oben;
        stufen[m] = (int)p;
    }
}

void fuellen(unsigned char* p, int n, const unsigned char* farbe)
{
    for (int i = 0; i < n; ++i, p += 3)
        memcpy(p, farbe, 3);
}

const unsigned char* DIFFERENZRASTER::zeile(int y)
{
    unsigned char* rgb = ausgabe_;
    if (y < frame_ || y >= frame_ + h_) {
        fuellen(rgb, W_, dbld_bild::rahmenfarbe);
        return rgb;
    }
    const int j = y - frame_;
    const int l = j % res_;
    const int i_row = n_rows_ - 1 - j / res_;
    fuellen(rgb, frame_, dbld_bild::rahmenfarbe);
    unsigned char* bild = rgb + 3 * (size_t)frame_;
    fuellen(bild + 3 * (size_t)w_, frame_, dbld_bild::rahmenfarbe);

    // The row weights, as the false-colour images' row raster takes them.
    const dbld_bild::ZEILENGEWICHT z = dbld_bild::zeilengewicht(i_row, l, res_, n_rows_);
    const int zeile0 = z.zelle, zeile1 = z.nachbar;
    const float g0 = z.g0, g1 = z.g1;
    const PRODUKTZEILE& a = produkte(zeile0);
    const PRODUKTZEILE& b = produkte(zeile1);
    const int n_laeufe = laeufe_vereinen(a, b);
    int bis = 0;
    for (int k = 0; k < n_laeufe; ++k) {
        const int anfang = laeufe_[2 * k], ende = laeufe_[2 * k + 1];
        memcpy(bild + 3 * (size_t)bis, neutral_, 3 * (size_t)(anfang - bis));
        stufen_rechnen(a.naechste + anfang, b.naechste + anfang, a.nachbar + anfang,
                       b.nachbar + anfang, g0, g1, s_, stufen_, ende - anfang);
        unsigned char* ziel = bild + 3 * (size_t)anfang;
        for (int m = 0; m < ende - anfang - 1; ++m)
            memcpy(ziel + 3 * (size_t)m, farben_[stufen_[m] + STUFEN_MAX], 4);
        memcpy(ziel + 3 * (size_t)(ende - anfang - 1), farben_[stufen_[ende - anfang - 1] + STUFEN_MAX],
               3);
        bis = ende;
    }
    memcpy(bild + 3 * (size_t)bis, neutral_, 3 * (size_t)(w_ - bis));

    // Masked cells over the values, grid lines over everything, as on the
    // false-colour images.
    if (maske_) {
        const int* flags = maske_ + (size_t)i_row * n_cols_;
        for (int i_col = 0; i_col < n_cols_; ++i_col)
            if (flags[i_col] != 0)
                fuellen(bild + 3 * (size_t)i_col * res_, res_, dbld_bild::maskenfarbe);
    }
    if (grid_ != 0) {
        if ((j | grid_) & 1)
            for (long long m = res_ - 1; m < w_ - 1; m += res_)
                memcpy(bild + 3 * (size_t)m, dbld_bild::gitterfarbe, 3);
        if (l == res_ - 1 && j < h_ - 1) {
            const int schritt = (grid_ & 1) ? 1 : 2;
            for (long long m = (grid_ & 1) ? 0 : 1; m < w_; m += schritt)
                memcpy(bild + 3 * (size_t)m, dbld_bild::gitterfarbe, 3);
        }
    }
    return rgb;
}

const unsigned char* zeile_holen(void* raster, int y)
{
    return ((DIFFERENZRASTER*)raster)->zeile(y);
}

} // namespace

bool differenzbild_zeichnen(void* ausgabe, PIXELSCHREIBER pixelschreiber, const float* d,
                            const int* maske, int n_rows, int n_cols, const BILDPARAMETER* par,
                            long long maximum, int kontrast)
{
    const DBLD masse = {n_rows, n_cols, nullptr, 0, 0, nullptr};
    int breite, hoehe;
    size_t rastergroesse;
    DIFFERENZRASTER raster;
    if (dbld_bild::jpeg_masse(&masse, par, &breite, &hoehe, &rastergroesse) ||
        !raster.anlegen(d, maske, n_rows, n_cols, par, maximum, kontrast, breite))
        return false;
    for (int y = 0; y < hoehe; ++y) {
        const unsigned char* zeile = raster.zeile(y);
        for (int x = 0; x < breite; ++x)
            pixelschreiber(ausgabe, x, y, zeile + 3 * (size_t)x);
    }
    return true;
}

bool differenzbild_jpeg(unsigned char** puffer, unsigned long* laenge, const float* d,
                        const int* maske, int n_rows, int n_cols, const BILDPARAMETER* par,
                        long long maximum, int kontrast, char* meldung, bool* speichermangel)
{
    *speichermangel = false;
    // The size as the false-colour images check it (only the counts of the
    // record are read).
    const DBLD masse = {n_rows, n_cols, nullptr, 0, 0, nullptr};
    int breite, hoehe;
    size_t rastergroesse;
    if (const char* grund = dbld_bild::jpeg_masse(&masse, par, &breite, &hoehe, &rastergroesse)) {
        snprintf(meldung, dbld_bild::MELDUNG_MAX, "%s", grund);
        return false;
    }
    DIFFERENZRASTER raster;
    if (!raster.anlegen(d, maske, n_rows, n_cols, par, maximum, kontrast, breite)) {
        snprintf(meldung, dbld_bild::MELDUNG_MAX, "zu wenig Speicher");
        *speichermangel = true;
        return false;
    }
    return dbld_bild::zeilen_in_speicher(puffer, laenge, breite, hoehe, par->quality, zeile_holen,
                                         &raster, meldung, speichermangel);
}

} // namespace dbld_kennzahlen
