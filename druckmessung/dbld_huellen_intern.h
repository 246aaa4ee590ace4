// The transition collection and hull search of the hull evaluation, for the
// evaluation itself and its tests (hidden in the libraries).
#ifndef DBLD_HUELLEN_INTERN_H
#define DBLD_HUELLEN_INTERN_H

#include "dbld.h"

#include <stdio.h>

#include <memory>

namespace dbld_huellen_intern {

// An integer raster point.
struct PUNKT {
    int x;
    int y;
};

// A hull point in polar form: angle w in radians, distance d in cells (after
// the search: its deviation from the mean distance).
struct PPUNKT {
    float w;
    float d;
};

// The transitions of one side, x relative to x_offset; at most max - 1 of
// them, the last slot is the hull search's copy of its start point.
struct UEBERGAENGE {
    int x_offset;
    int max;
    int n_punkte;
    PUNKT* punkte;
    int x_min, x_max, y_min, y_max;
    MATTENPUNKT mitte;
    int n_huelle;
    PPUNKT* huelle;
};

// Window rows of up to this many values (three of them) stay on the stack;
// wider windows come from the heap.
const int fenster_stapel = 512;

// New empty collection of capacity 100 x n_rasterpunkte; null when that does
// not fit an int, n_rasterpunkte < 1, or memory cannot be obtained.
UEBERGAENGE* uebergaenge_new(int n_rasterpunkte);
void uebergaenge_delete(UEBERGAENGE** uebergaenge);
// A collection from uebergaenge_new, given back with uebergaenge_delete.
struct UEBERGAENGE_DELETE {
    void operator()(UEBERGAENGE* u) const { uebergaenge_delete(&u); }
};
using UEBERGAENGE_BLOCK = std::unique_ptr<UEBERGAENGE, UEBERGAENGE_DELETE>;
// Stores (x, y) and widens the bounds; false (with a message) when
// the collection is full.
bool uebergaenge_append(UEBERGAENGE* uebergaenge, int x, int y);
// Character chart of the stored points (dbld_log_msg).
void uebergaenge_plot(const UEBERGAENGE* uebergaenge);
// Gift-wrap search over the stored points: reorders them so that the hull
// list comes first, fills the polar form, and hands the hull list to
// *huelle in cell units (huelle->punkte from malloc, null when the list is
// empty).  Returns the number of hull points.  Reads n_rasterpunkte and sets
// dbld_loglevel to DBLD_LOGLEVEL_DBG when there is at least one point.
int uebergaenge_wrap(HUELLE* huelle, UEBERGAENGE* uebergaenge);
// Gnuplot data listing of the n_punkte stored points and the centre.
void uebergaenge_gnuplot(FILE* fp, UEBERGAENGE* uebergaenge);
// Pseudo-angle in degrees (0 <= result < 360) of the direction p1 -> p2.
float theta(PUNKT p1, PUNKT p2);

// DBLD_auswertung_huellen at prozent percent (instead of
// huelle_bei_prozent) with the gnuplot listings on the stream listing
// instead of standard output, or none when it is null (the outline
// command, which prints nothing and, its thread's log silenced, leaves the
// log level alone: it touches no process-wide state).  Returns which sides hold their hull
// list: bit 0 the left, bit 1 the right (a side that is not held could not
// get its memory); 0 for a raster the evaluation refuses.
int huellen_auswerten(AUSWERTUNG_HUELLEN* huellen, const DBLD* dbld, FILE* listing,
                      int prozent);

} // namespace dbld_huellen_intern

#endif
