// Pressure image record: creation, value range, sampling between cells.
#include "dbld.h"
#include "dbld_bereich.h"

#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

struct I_NB {
    int d_row;
    int d_col;
};

// The cell itself, then its eight neighbours.
const I_NB i_nb[9] = {{0, 0},  {1, 0},  {1, -1}, {0, -1}, {-1, -1},
                      {-1, 0}, {-1, 1}, {0, 1},  {1, 1}};

// Value of cell (r, c), or 0 outside the grid.
inline int wert(const DBLD* dbld, int r, int c)
{
    if (r < 0 || r >= dbld->n_rows || c < 0 || c >= dbld->n_cols)
        return 0;
    return dbld->dbld[(long)r * dbld->n_cols + c];
}

// Index of the nearest cell: coordinate + 0.5 in double precision, truncated
// toward zero.  Coordinates that are not finite or whose index would not fit
// an int have no cell; false then.
inline bool zellindex(float koordinate, int* index)
{
    double d = (double)koordinate + 0.5;
    if (!(d > (double)INT_MIN - 1.0 && d < (double)INT_MAX + 1.0))
        return false;
    *index = (int)d;
    return true;
}

} // namespace

DBLD* DBLD_new(int n_rows, int n_cols)
{
    long long n = (long long)n_rows * n_cols;
    if (n_rows < 0 || n_cols < 0 || n > (long long)INT_MAX)
        return nullptr;
    DBLD* dbld = (DBLD*)malloc(sizeof(DBLD));
    if (!dbld)
        return nullptr;
    // One block: values first, mask behind them.  At least one element so
    // that an empty image still owns a block to free.
    int* block = (int*)calloc(2 * (size_t)n + 1, sizeof(int));
    if (!block) {
        free(dbld);
        return nullptr;
    }
    dbld->n_rows = n_rows;
    dbld->n_cols = n_cols;
    dbld->dbld = block;
    dbld->mask = block + n;
    dbld->val_min = 0;
    dbld->val_max = 255;
    return dbld;
}

DBLD* DBLD_init(const int* druckwerte, int n_rows, int n_cols)
{
    DBLD* dbld = DBLD_new(n_rows, n_cols);
    if (!dbld)
        return nullptr;
    dbld_intern::WERTEBEREICH bereich;
    long n = (long)n_rows * n_cols;
    for (long i = 0; i < n; ++i) {
        int v = druckwerte[i];
        dbld->dbld[i] = v;
        dbld->mask[i] = v <= 0;
        if (v > 0)
            bereich.zaehlen(v);
    }
    bereich.setzen(dbld);
    return dbld;
}

void DBLD_delete(DBLD** dbld)
{
    if (!dbld || !*dbld)
        return;
    free((*dbld)->dbld);
    free(*dbld);
    *dbld = nullptr;
}

void DBLD_min_max(DBLD* dbld)
{
    dbld_intern::WERTEBEREICH bereich;
    long n = (long)dbld->n_rows * dbld->n_cols;
    for (long i = 0; i < n; ++i)
        bereich.zaehlen(dbld->dbld[i]);
    bereich.setzen(dbld);
}

float DBLD_dbldvalsq(const DBLD* dbld, float x, float y)
{
    int i_col, i_row;
    if (!zellindex(x, &i_col) || !zellindex(y, &i_row))
        return 0;
    float dx = x - (float)i_col;
    float dy = y - (float)i_row;
    if (i_col < 0 || i_col >= dbld->n_cols || i_row >= dbld->n_rows || i_row < 0)
        return 0;

    float summe = 0;
    for (const I_NB& nb : i_nb)
        summe += (float)wert(dbld, i_row + nb.d_row, i_col + nb.d_col);
    if (!(summe > 0))
        return 0;

    int r_nb = dy >= 0 ? i_row + 1 : i_row - 1;
    int c_nb = dx > 0 ? i_col + 1 : i_col - 1;
    float adx = std::fabs(dx), ady = std::fabs(dy);
    float fval = (float)wert(dbld, i_row, i_col) * (1 - adx) * (1 - ady);
    fval += (float)wert(dbld, r_nb, i_col) * (1 - adx) * ady;
    fval += (float)wert(dbld, i_row, c_nb) * adx * (1 - ady);
    fval += (float)wert(dbld, r_nb, c_nb) * adx * ady;

    if (fval >= (float)dbld->val_min)
        return fval;
    return 0;
}
