// The standard, extended and centre-of-pressure evaluations as first
// written, point by point: the reference the library's evaluations are
// compared with bit for bit (unit tests) and measured against (benchmarks).
#ifndef REFERENZ_AUSWERTUNG_H
#define REFERENZ_AUSWERTUNG_H

#include "dbld.h"

namespace referenz {

// DBLD_auswertung_std, DBLD_auswertung_stdplus and DBLD_auswertung_cop.
int auswertung_std(AUSWERTUNGSERGEBNIS* ergebnis, const DBLD* dbld);
int auswertung_stdplus(AUSWERTUNGSERGEBNIS* ergebnis, const DBLD* dbld);
int auswertung_cop(double* px, double* py, const DBLD* dbld);

// The cleaning by walking the ring of neighbours of every nonzero cell.
void druckbild_bereinigen(int* bereinigt, const int* ursprung, int n_y, int n_x);

// Centroid of one side of a cleaned image; false, touching nothing, when
// the side holds no nonzero cell.
bool schwerpunkt_seite(float* r, float* c, long long* g, const int* bereinigt, int n_y,
                       int n_x, SEITE seite);

} // namespace referenz

#endif
