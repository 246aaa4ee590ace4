// Centre of pressure: the pressure-weighted mean position of all unmasked
// nonzero cells, in cell coordinates.
#include "dbld.h"

int DBLD_auswertung_cop(double* px, double* py, const DBLD* dbld)
{
    *px = -1.0;
    *py = -1.0;
    // 64-bit running weight: sums of values a Tcl int carries cannot overflow.
    long long g = 0;
    const int n_cols = dbld->n_cols;
    for (int iy = dbld->n_rows - 1; iy >= 0; --iy)
        for (int ix = 0; ix < n_cols; ++ix) {
            long i = (long)iy * n_cols + ix;
            int v = dbld->dbld[i];
            if (dbld->mask[i] != 0 || v == 0)
                continue;
            if (g == 0) {
                // First counted cell, or the running weight has come back to 0
                // through negative values: start again at this cell.
                *px = ix;
                *py = iy;
                g = v;
                continue;
            }
            g += v;
            if (g == 0)
                continue; // negative weights cancelled: no move, no division by 0
            *px = *px + (ix - *px) * v / (double)g;
            *py = *py + (iy - *py) * v / (double)g;
        }
    return *px > 0 ? 1 : 0;
}
