// Fast sampling of one pressure image at many positions (not exported).
//
// ABTASTER gives, position for position, exactly the float that
// DBLD_dbldvalsq gives for the same image and val_min: the same index
// computation, the same neighbourhood test and the same four products in
// the same order.  What it saves is the repeated work per call: the values
// are converted to float once, into a grid with an empty border of one cell
// on every side (so no neighbour read needs a bounds check), and the
// neighbourhood test (float sum of the nine cells in the order of the
// neighbour table, then > 0) is done once per cell, when the cell is first
// sampled.
//
// Use: anlegen() from an int image, or raster() / fertig() for a caller
// that writes the float values itself; then sample through sicht(), a
// small copyable view whose fields a sampling loop keeps in registers.
#ifndef DBLD_ABTASTER_H
#define DBLD_ABTASTER_H

#include "dbld.h"

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace dbld_intern {

// State of a cell's neighbourhood test.  A type of its own, not a character
// type: stores to it cannot alias other data, which the sampling loops may
// then keep in registers.
enum class ZUSTAND : unsigned char { ungeprueft, leer, belegt };

// Sampling view of a prepared image.
struct ABTASTSICHT {
    const float* werte;  // cell (0, 0); rows breite apart; border around
    ZUSTAND* belegt;     // the same layout
    ptrdiff_t breite;
    ptrdiff_t zeilennachbar[2]; // breite, -breite
    double zeilen;
    double spalten;
    float val_min;

    // The value at column position x, row position y, as DBLD_dbldvalsq.
    float wert(float x, float y) const
    {
        // Nearest cell: coordinate + 0.5 in double precision, truncated
        // toward zero.  For n >= 1 its index lies in 0 .. n - 1 exactly when
        // the sum lies in (-1, n); a non-finite or huge coordinate fails this
        // test as well and reads 0 without any conversion.  (An empty image
        // has the bounds -1, see sicht().)
        double sx = (double)x + 0.5;
        double sy = (double)y + 0.5;
        if (!(sx > -1.0 && sx < spalten && sy > -1.0 && sy < zeilen))
            return 0;
        int i_col = (int)sx;
        float dx = x - (float)i_col;
        // Column neighbour as an offset (the border makes it safe), chosen
        // without branches: the sign changes often along a line.
        return in_zelle(i_col, std::fabs(dx), 2 * (ptrdiff_t)(dx > 0) - 1, (int)sy, y);
    }

    // The part of wert() that depends on x alone, for loops that sample
    // many positions with the same x: spalte(x) once, then wert(spalte, y)
    // gives wert(x, y).
    struct SPALTE {
        bool im_raster;
        int i_col;
        float adx;
        ptrdiff_t d_col;
    };

    SPALTE spalte(float x) const
    {
        double sx = (double)x + 0.5;
        if (!(sx > -1.0 && sx < spalten))
            return {false, 0, 0, 0};
        int i_col = (int)sx;
        float dx = x - (float)i_col;
        return {true, i_col, std::fabs(dx), 2 * (ptrdiff_t)(dx > 0) - 1};
    }

    float wert(const SPALTE& s, float y) const
    {
        double sy = (double)y + 0.5;
        if (!(s.im_raster && sy > -1.0 && sy < zeilen))
            return 0;
        return in_zelle(s.i_col, s.adx, s.d_col, (int)sy, y);
    }

    // The value near cell (i_row, i_col), both inside the image: 0 when the
    // cell's neighbourhood is empty (tested once per cell, on first use),
    // else the four products in their fixed order, 0 below val_min.
    float in_zelle(int i_col, float adx, ptrdiff_t d_col, int i_row, float y) const
    {
        ptrdiff_t p = (ptrdiff_t)i_row * breite + i_col;
        ZUSTAND z = belegt[p];
        if (z != ZUSTAND::belegt) {
            if (z == ZUSTAND::leer)
                return 0;
            z = belegt[p] = pruefen(werte + p, breite);
            if (z == ZUSTAND::leer)
                return 0;
        }
        float dy = y - (float)i_row;
        // Row neighbour as an offset, likewise without a branch.
        ptrdiff_t d_row = zeilennachbar[dy < 0];
        float ady = std::fabs(dy);
        const float* m = werte + p;
        float fval = m[0] * (1 - adx) * (1 - ady);
        fval += m[d_row] * (1 - adx) * ady;
        fval += m[d_col] * adx * (1 - ady);
        fval += m[d_row + d_col] * adx * ady;
        return fval >= val_min ? fval : 0;
    }

    // Neighbourhood test of the cell at m: the nine values summed as float
    // in the order of the neighbour table (the cell, below, below left,
    // left, above left, above, above right, right, below right), a cell
    // outside the image adding 0 as the border does; ZUSTAND::leer unless the sum is
    // greater than 0.  Out of line: it runs once per cell.
    __attribute__((noinline)) static ZUSTAND pruefen(const float* m, ptrdiff_t b)
    {
        float summe = 0;
        summe += m[0];
        summe += m[b];
        summe += m[b - 1];
        summe += m[-1];
        summe += m[-b - 1];
        summe += m[-b];
        summe += m[-b + 1];
        summe += m[1];
        summe += m[b + 1];
        return summe > 0 ? ZUSTAND::belegt : ZUSTAND::leer;
    }
};

class ABTASTER {
public:
    ABTASTER() = default;
    ~ABTASTER() { free(block_); }
    ABTASTER(const ABTASTER&) = delete;
    ABTASTER& operator=(const ABTASTER&) = delete;

    // The grid for an image of n_rows x n_cols values (counts below 0 taken
    // as 0: no position then has a value), its border set to 0.  Returns
    // the place of cell (0, 0), rows abstand() apart, for the caller to
    // write every value into; null when memory cannot be obtained.
    float* raster(int n_rows, int n_cols)
    {
        free(block_);
        block_ = nullptr;
        zeilen_ = n_rows > 0 && n_cols > 0 ? n_rows : 0;
        spalten_ = n_rows > 0 && n_cols > 0 ? n_cols : 0;
        const size_t breite = (size_t)spalten_ + 2, hoehe = (size_t)zeilen_ + 2;
        if (hoehe > (size_t)-1 / breite / (sizeof(float) + sizeof(ZUSTAND)))
            return nullptr;
        n_ = hoehe * breite;
        block_ = malloc(n_ * (sizeof(float) + sizeof(ZUSTAND)));
        if (!block_)
            return nullptr;
        breite_ = (ptrdiff_t)breite;
        float* g = (float*)block_;
        memset(g, 0, breite * sizeof(float));
        memset(g + (hoehe - 1) * breite, 0, breite * sizeof(float));
        for (size_t r = 1; r + 1 < hoehe; ++r) {
            g[r * breite] = 0;
            g[r * breite + breite - 1] = 0;
        }
        return g + breite + 1;
    }

    ptrdiff_t abstand() const { return breite_; }

    // After the values are written: every cell untested, and val_min.
    void fertig(int val_min)
    {
        ZUSTAND* belegt = (ZUSTAND*)((float*)block_ + n_);
        for (size_t i = 0; i < n_; ++i)
            belegt[i] = ZUSTAND::ungeprueft;
        val_min_ = (float)val_min;
    }

    // Prepares sampling of the image werte (n_rows x n_cols, row-major) with
    // the given val_min; false when memory cannot be obtained.
    bool anlegen(const int* werte, int n_rows, int n_cols, int val_min)
    {
        float* g = raster(n_rows, n_cols);
        if (!g)
            return false;
        for (int r = 0; r < zeilen_; ++r) {
            float* z = g + r * breite_;
            const int* w = werte + (size_t)r * spalten_;
            for (int c = 0; c < spalten_; ++c)
                z[c] = (float)w[c];
        }
        fertig(val_min);
        return true;
    }

    ABTASTSICHT sicht() const
    {
        float* g = (float*)block_;
        ZUSTAND* belegt = (ZUSTAND*)(g + n_);
        // The index test holds for images of one row and column at least;
        // an empty image gets bounds that no position passes.
        const bool leer = zeilen_ == 0;
        return {g + breite_ + 1,
                belegt + breite_ + 1,
                breite_,
                {breite_, -breite_},
                leer ? -1.0 : (double)zeilen_,
                leer ? -1.0 : (double)spalten_,
                val_min_};
    }

private:
    void* block_ = nullptr;
    size_t n_ = 0;
    ptrdiff_t breite_ = 2;
    int zeilen_ = 0;
    int spalten_ = 0;
    float val_min_ = 0;
};

} // namespace dbld_intern

#endif
