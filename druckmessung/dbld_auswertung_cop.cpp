// Centre of pressure: the pressure-weighted mean position of all unmasked
// nonzero cells, in cell coordinates.
#include "dbld.h"

#include <cmath>

int DBLD_auswertung_cop(double* px, double* py, const DBLD* dbld)
{
    // The running centre is kept in locals and written once at the end; the
    // steps are the same double operations in the same order.
    double x = -1.0, y = -1.0;
    // 64-bit running weight: sums of values a Tcl int carries cannot overflow.
    long long g = 0;
    const int n_rows = dbld->n_rows;
    const int n_cols = dbld->n_cols;
    // An image without cells has no centre; its rows are not walked (a
    // huge row count of zero columns would take seconds for nothing).
    if (n_rows <= 0 || n_cols <= 0) {
        *px = x;
        *py = y;
        return 0;
    }
    for (int iy = n_rows - 1; iy >= 0; --iy) {
        const int* werte = dbld->dbld + (long)iy * n_cols;
        const int* maske = dbld->mask + (long)iy * n_cols;
        for (int ix = 0; ix < n_cols; ++ix) {
            int v = werte[ix];
            if (maske[ix] != 0 || v == 0)
                continue;
            if (g == 0) {
                // First counted cell, or the running weight has come back
                // to 0 through negative values: start again at this cell.
                x = ix;
                y = iy;
                g = v;
                continue;
            }
            g += v;
            if (g == 0)
                continue; // negative weights cancelled: no move, no division by 0
            x = x + (ix - x) * v / (double)g;
            y = y + (iy - y) * v / (double)g;
        }
    }
    // The running weight, in 64 bits and never 0 where it divides, keeps
    // the centre of int values within the double range; a centre that is
    // not finite all the same is missing, as for an image without
    // pressure, so that no such value leaves the evaluation.
    if (!std::isfinite(x) || !std::isfinite(y)) {
        dbld_dbg_msg("Druckmittelpunkt nicht endlich.\n");
        x = -1.0;
        y = -1.0;
    }
    *px = x;
    *py = y;
    return x > 0 ? 1 : 0;
}
