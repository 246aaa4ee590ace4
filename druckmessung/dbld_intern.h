// Internal helpers shared by the evaluations of one library (not exported).
#ifndef DBLD_INTERN_H
#define DBLD_INTERN_H

#include "dbld.h"
#include "dbld_bereich.h"

#include <cmath>
#include <cstddef>
#include <cstdlib>

namespace dbld_intern {

// While nonzero, the diagnostic log of the calling thread writes nothing,
// whatever dbld_loglevel says: for commands that run an evaluation which
// logs (the hull evaluation) and must print nothing.  Raised and lowered by
// LOG_STUMM.
extern thread_local int log_stumm;

struct LOG_STUMM {
    LOG_STUMM() { ++log_stumm; }
    ~LOG_STUMM() { --log_stumm; }
    LOG_STUMM(const LOG_STUMM&) = delete;
    LOG_STUMM& operator=(const LOG_STUMM&) = delete;
};

// Running value-weighted centroid (row r, column c) of the nonzero cells of
// one side, fed cell by cell in the order row by row from row 0, within a
// row from left to right.  Single precision in exactly this order; the
// total weight g in 64 bits, so that sums of large values cannot overflow.
struct SCHWERPUNKT_LAUF {
    float r = 0;
    float c = 0;
    long long g = 0;
    bool gefunden = false;

    void zelle(int zeile, int spalte, int v)
    {
        if (!gefunden) {
            gefunden = true;
            r = (float)zeile;
            c = (float)spalte;
            g = v;
            return;
        }
        float f = (float)g / (float)v + 1;
        r = r + ((float)zeile - r) / f;
        c = c + ((float)spalte - c) / f;
        g += v;
    }

    // Whether the centroid is a point of the float range.  Weights of both
    // signs can make the step factor f 0 (a division by 0: infinite or
    // NaN, which every later step keeps) or tiny (a step beyond the float
    // range); the centroid then counts as missing.  Tested once, after the
    // last cell, which sees every such step.
    bool endlich() const { return std::isfinite(r) && std::isfinite(c); }
};

// Cleans ursprung (n_y x n_x, row-major) and feeds the kept nonzero cells
// of the left columns 0 .. n_x/2-1 to *links and those of the right columns
// to *rechts, in the order each centroid needs.  When bereinigt is not
// null, it receives the whole cleaned image.
//
// Cleaning: a nonzero cell keeps its value when at least min_n = 3 of its
// eight neighbours are positive, or two neighbours that follow each other
// in the ring walk (lower left, lower, lower right, right, upper right,
// upper, upper left, left; no wrap) are; every other cell becomes 0.
// Cells outside the image count as empty.
//
// Returns false, having fed nothing, when working memory cannot be
// obtained.  Zero or negative counts give an empty image.
bool bereinigen_mit_schwerpunkten(int* bereinigt, const int* ursprung, int n_y, int n_x,
                                  SCHWERPUNKT_LAUF* links, SCHWERPUNKT_LAUF* rechts);

// The same, the cleaned image written as float into raster (cell (0, 0),
// rows abstand apart), and the positive cleaned values counted into
// *bereich, as DBLD_init counts them.
bool bereinigen_in_raster(float* raster, ptrdiff_t abstand, WERTEBEREICH* bereich,
                          const int* ursprung, int n_y, int n_x, SCHWERPUNKT_LAUF* links,
                          SCHWERPUNKT_LAUF* rechts);

// The cleaned copy of ursprung into bereinigt (both n_y x n_x); false when
// working memory cannot be obtained.
bool druckbild_bereinigen(int* bereinigt, const int* ursprung, int n_y, int n_x);

// The process-wide log level, read and written as one atomic word: the
// evaluations run on the threads of their interpreters, and a level written
// on one thread is read by the log calls of all others.
inline DBLD_LOGLEVEL loglevel()
{
    return __atomic_load_n(&dbld_loglevel, __ATOMIC_RELAXED);
}

inline void loglevel_setzen(DBLD_LOGLEVEL stufe)
{
    __atomic_store_n(&dbld_loglevel, stufe, __ATOMIC_RELAXED);
}

// The debug level for the calls between debug_anheben and debug_senken:
// the first of them (on any thread) saves the level and sets
// DBLD_LOGLEVEL_DBG, the last one to end puts the saved level back.
// Calls without the debug level leave the level alone.
void debug_anheben();
void debug_senken();

// Whether a double stays finite when it is stored in single precision:
// below the midpoint between FLT_MAX and 2^128 in magnitude (that midpoint
// itself rounds to infinity).  False for NaN and the infinities.
inline bool float_endlich(double wert)
{
    return wert < 0x1.ffffffp+127 && wert > -0x1.ffffffp+127;
}

// Working memory of n elements of T: inside the object up to N elements,
// from malloc beyond that.  daten() is null when malloc fails.
template <class T, size_t N>
class PUFFER {
public:
    explicit PUFFER(size_t n)
        : zeiger_(n <= N ? intern_ : n > (size_t)-1 / sizeof(T)
                                         ? nullptr
                                         : (T*)malloc(n * sizeof(T)))
    {
    }
    ~PUFFER()
    {
        if (zeiger_ != intern_)
            free(zeiger_);
    }
    PUFFER(const PUFFER&) = delete;
    PUFFER& operator=(const PUFFER&) = delete;
    T* daten() const { return zeiger_; }

private:
    T intern_[N];
    T* zeiger_;
};

} // namespace dbld_intern

#endif
