// Internal helpers shared by the evaluations of one library (not exported).
#ifndef DBLD_INTERN_H
#define DBLD_INTERN_H

#include "dbld.h"

namespace dbld_intern {

// Cleaned copy of ursprung into bereinigt (both n_y x n_x, row-major): a
// nonzero cell survives when at least min_n = 3 of its eight neighbours are
// positive, or two neighbours that follow each other in the walk are.
void druckbild_bereinigen(int* bereinigt, const int* ursprung, int n_y, int n_x);

// Value-weighted centroid (row r, column c) of the nonzero cells of one side
// of a cleaned image, as a running mean in single precision.  The total
// weight goes to *g (64 bits, so that sums of large values cannot overflow).
// Returns false, touching nothing, when the side holds no nonzero cell.
bool schwerpunkt_seite(float* r, float* c, long long* g, const int* bereinigt,
                       int n_y, int n_x, SEITE seite);

} // namespace dbld_intern

#endif
