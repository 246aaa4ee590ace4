// Standard evaluation: sit-bone centroids of the left and right half of a
// cleaned image, their distance, the combined centroid and the pressure
// shares.
#include "dbld.h"
#include "dbld_intern.h"

#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

const int min_n = 3;
const int min_z = 2;

// Tests the neighbour (r, c) of cell (i_y, i_x); copies the cell into
// bereinigt and returns 1 once the cell qualifies.
int teste_nachbar(int* bereinigt, const int* ursprung, int n_x, int i_y, int i_x,
                  int r, int c, int* z, int* was_n, int* n)
{
    if (ursprung[(long)r * n_x + c] < 1) {
        *z = 0;
        *was_n = 0;
        return 0;
    }
    ++*n;
    if (*was_n) {
        ++*z;
    } else {
        *z = 1;
        *was_n = 1;
    }
    if (*n >= min_n || *z >= min_z) {
        long i = (long)i_y * n_x + i_x;
        bereinigt[i] = ursprung[i];
        return 1;
    }
    return 0;
}

// Walks the eight neighbours of one cell in ring order (below left to right,
// right, above right to left, left); a missing row or column breaks the run.
void zelle_bereinigen(int* bereinigt, const int* ursprung, int n_y, int n_x,
                      int i_y, int i_x)
{
    int n = 0, z = 0, was_n = 0;
    auto test = [&](int r, int c) {
        return teste_nachbar(bereinigt, ursprung, n_x, i_y, i_x, r, c, &z, &was_n, &n);
    };
    auto bruch = [&] { z = 0; was_n = 0; };

    if (i_y + 1 < n_y) {
        for (int c = i_x - 1; c <= i_x + 1; ++c)
            if (c >= 0 && c < n_x && test(i_y + 1, c))
                return;
    } else {
        bruch();
    }
    if (i_x + 1 < n_x) {
        if (test(i_y, i_x + 1))
            return;
    } else {
        bruch();
    }
    if (i_y - 1 >= 0) {
        for (int c = i_x + 1; c >= i_x - 1; --c)
            if (c >= 0 && c < n_x && test(i_y - 1, c))
                return;
    } else {
        bruch();
    }
    if (i_x - 1 >= 0)
        test(i_y, i_x - 1);
}

struct Frei {
    void operator()(void* p) const { free(p); }
};

int auswertung_std(AUSWERTUNGSERGEBNIS* ergebnis, const int* druckbild, int n_y, int n_x)
{
    dbld_dbg_msg("Standardauswertung\n");
    long n = (long)n_y * n_x;
    std::unique_ptr<int, Frei> bereinigt((int*)calloc(n > 0 ? (size_t)n : 1, sizeof(int)));
    if (!bereinigt)
        return 0;
    dbld_intern::druckbild_bereinigen(bereinigt.get(), druckbild, n_y, n_x);

    AUSWERTUNG_STD& e = ergebnis->std;
    float r1 = -1, c1 = -1, r2 = -1, c2 = -1;
    long long g1 = 0, g2 = 0;
    dbld_intern::schwerpunkt_seite(&r1, &c1, &g1, bereinigt.get(), n_y, n_x, links);
    e.schwerpunkt1.x = c1;
    e.schwerpunkt1.y = r1;
    dbld_intern::schwerpunkt_seite(&r2, &c2, &g2, bereinigt.get(), n_y, n_x, rechts);
    e.schwerpunkt2.x = c2;
    e.schwerpunkt2.y = r2;

    if (r1 >= 0 && c1 >= 0 && r2 >= 0 && c2 >= 0) {
        float dr = r1 - r2, dc = c1 - c2;
        e.sitzknochenabstand = sqrtf(dr * dr + dc * dc);
        float a1 = (float)g2 / (float)(g1 + g2);
        e.schwerpunkt.x = c1 + (c2 - c1) * a1;
        e.schwerpunkt.y = r1 + (r2 - r1) * a1;
    } else {
        e.sitzknochenabstand = -1;
        e.schwerpunkt.x = -1;
        e.schwerpunkt.y = -1;
    }

    if (g1 > 0 || g2 > 0) {
        float summe = (float)(g1 + g2);
        e.gewicht1 = 100.0f * (float)g1 / summe;
        e.gewicht2 = 100.0f * (float)g2 / summe;
    } else {
        e.gewicht1 = -1;
        e.gewicht2 = -1;
    }
    return 1;
}

} // namespace

namespace dbld_intern {

void druckbild_bereinigen(int* bereinigt, const int* ursprung, int n_y, int n_x)
{
    for (int i_y = 0; i_y < n_y; ++i_y)
        for (int i_x = 0; i_x < n_x; ++i_x) {
            long i = (long)i_y * n_x + i_x;
            bereinigt[i] = 0;
            if (ursprung[i] != 0)
                zelle_bereinigen(bereinigt, ursprung, n_y, n_x, i_y, i_x);
        }
}

bool schwerpunkt_seite(float* r, float* c, long long* g, const int* bereinigt,
                       int n_y, int n_x, SEITE seite)
{
    int h = n_x / 2;
    int x0 = seite == links ? 0 : h;
    int xn = seite == links ? h : n_x;
    bool gefunden = false;
    float fr = 0, fc = 0;
    long long fg = 0;
    for (int zeile = 0; zeile < n_y; ++zeile)
        for (int spalte = x0; spalte < xn; ++spalte) {
            int v = bereinigt[(long)zeile * n_x + spalte];
            if (v == 0)
                continue;
            if (!gefunden) {
                gefunden = true;
                fr = (float)zeile;
                fc = (float)spalte;
                fg = v;
                continue;
            }
            float f = (float)fg / (float)v + 1;
            fr = fr + ((float)zeile - fr) / f;
            fc = fc + ((float)spalte - fc) / f;
            fg += v;
        }
    if (!gefunden)
        return false;
    *r = fr;
    *c = fc;
    *g = fg;
    return true;
}

} // namespace dbld_intern

int DBLD_auswertung_std(AUSWERTUNGSERGEBNIS* ergebnis, const DBLD* dbld)
{
    return auswertung_std(ergebnis, dbld->dbld, dbld->n_rows, dbld->n_cols);
}
