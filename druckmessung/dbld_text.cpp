// Pressure image text format (reader DBLD_get, writer DBLD_put) and the
// cleaning of single images (DBLD_bereinigen).
//
// Text format: optional header lines ("#" or A-Z first), then one line per
// row from the highest row index down to row 0, "<index>: v v v ...", with
// "-1" for a cell without a valid measurement.
#include "dbld.h"
#include "dbld_bereich.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {

// Longest line the reader takes in one piece, line feed and NUL included.
const int zeilen_puffer = 1024;

// Skips one "-", then all decimal digits, then all spaces.
const char* skip_digits(const char* p)
{
    if (*p == '-')
        ++p;
    while (*p >= '0' && *p <= '9')
        ++p;
    while (*p == ' ')
        ++p;
    return p;
}

bool kopfzeile(const char* line)
{
    return line[0] == '#' || (line[0] >= 'A' && line[0] <= 'Z');
}

// Reads the next line of the stream into line and echoes it to the log.
bool zeile_lesen(FILE* fp, char* line)
{
    if (!fgets(line, zeilen_puffer, fp))
        return false;
    dbld_dbg2_msg("%s", line);
    return true;
}

// An integer at p, white space before it allowed.  *ende is the position
// behind its digits; false (and *ende = p) when there is none.  Read in 64
// bits on every platform, so that a value or index beyond the int range is
// seen as such (and refused with the same message) where long has 32 bits.
bool zahl_lesen(const char* p, long long* wert, const char** ende)
{
    char* e;
    errno = 0;
    long long v = strtoll(p, &e, 10);
    *ende = e;
    if (e == p)
        return false;
    if (errno == ERANGE)
        v = v < 0 ? LLONG_MIN : LLONG_MAX;
    *wert = v;
    return true;
}

// Start of the sign or digits of the integer that strtoll finds at p.
const char* zahlanfang(const char* p)
{
    while (*p != '-' && *p != '+' && (*p < '0' || *p > '9'))
        ++p;
    if (*p == '+')
        ++p;
    return p;
}

// Position behind the value that starts at pl and whose digits end at ende.
// skip_digits does the work; where it cannot pass the number (a sign "+" or
// white space other than spaces before it), the reader goes on behind the
// digits so that it always advances.
const char* weiter(const char* pl, const char* ende)
{
    const char* p = skip_digits(pl);
    if (p < ende) {
        p = ende;
        while (*p == ' ')
            ++p;
    }
    return p;
}

// Start of a row line: its index and the position behind the colon and the
// spaces after it.  false when the line does not start with an integer.
bool zeilenanfang(const char* line, long long* index, const char** pl)
{
    const char* p;
    if (!zahl_lesen(line, index, &p))
        return false;
    while (*p == ' ')
        ++p;
    if (*p == ':')
        ++p;
    while (*p == ' ')
        ++p;
    *pl = p;
    return true;
}

// Number of integers from pl on, up to the end of the line or the first
// entry that is not one.
int spalten_zaehlen(const char* pl)
{
    int n = 0;
    long long v;
    const char* ende;
    while (zahl_lesen(pl, &v, &ende)) {
        ++n;
        pl = weiter(pl, ende);
    }
    return n;
}

// The values of the rows read so far, in reading order (highest row first),
// with -1 for a masked cell.  A std::vector grows with the lines actually
// read, so a large row index alone never allocates a large block.
using Werte = std::vector<int>;

// Reads the n_cols values of row il from pl on into werte.
bool zeile_auswerten(const char* pl, int il, int n_cols, Werte* werte,
                     int* lauf_min, int* lauf_max)
{
    for (int ic = 0; ic < n_cols; ++ic) {
        long long v;
        const char* ende;
        if (!zahl_lesen(pl, &v, &ende)) {
            dbld_err_msg("Fehlende Spalten bei Zeilenindex %d\n'%s'\n", il, pl);
            return false;
        }
        if (v < -1 || v > INT_MAX) {
            if (v >= INT_MIN && v <= INT_MAX) {
                dbld_err_msg("Druckwert (%d) au\xdf" "erhalb des zul\xe4ssigen Bereichs.\n",
                             (int)v);
            } else {
                // Beyond int: the value as written.
                const char* z = zahlanfang(pl);
                dbld_err_msg("Druckwert (%.*s) au\xdf" "erhalb des zul\xe4ssigen Bereichs.\n",
                             (int)(ende - z), z);
            }
            return false;
        }
        int w = (int)v;
        werte->push_back(w);
        if (w > 0 && w < *lauf_min)
            *lauf_min = w;
        if (w > *lauf_max)
            *lauf_max = w;
        pl = weiter(pl, ende);
    }
    if (*pl != '\n') {
        dbld_err_msg("Zu viele Spalten bei Zeilenindex %d\n", il);
        return false;
    }
    return true;
}

// The record from the collected values: row il = n_rows - 1 - (reading
// position / n_cols).
DBLD* bild_anlegen(const Werte& werte, int n_rows, int n_cols, int lauf_min, int lauf_max)
{
    DBLD* dbld = DBLD_new(n_rows, n_cols);
    if (!dbld) {
        dbld_err_msg("Zu wenig Speicher f\xfcr Druckbild %d x %d.\n", n_rows, n_cols);
        return nullptr;
    }
    size_t k = 0;
    for (int il = n_rows - 1; il >= 0; --il)
        for (int ic = 0; ic < n_cols; ++ic, ++k) {
            long i = (long)il * n_cols + ic;
            if (werte[k] == -1) {
                dbld->dbld[i] = 0;
                dbld->mask[i] = 1;
            } else {
                dbld->dbld[i] = werte[k];
                dbld->mask[i] = 0;
            }
        }
    dbld->val_max = lauf_max;
    dbld->val_min = lauf_max != 0 ? lauf_min : 0;
    return dbld;
}

DBLD* bild_lesen(FILE* fp)
{
    char line[zeilen_puffer];
    do {
        if (!zeile_lesen(fp, line))
            return nullptr;
    } while (kopfzeile(line));

    long long erster;
    const char* pl;
    if (!zeilenanfang(line, &erster, &pl))
        return nullptr;
    // A row count below 1 has no image.
    if (erster < 0)
        return nullptr;
    dbld_dbg2_msg("1. Zeile gefunden.\n");
    int n_cols = spalten_zaehlen(pl);
    // The row count and the record size (n_rows x n_cols values and as many
    // mask flags) must fit an int.
    if (erster >= INT_MAX) {
        const char* z = zahlanfang(line);
        dbld_err_msg("Zeilenindex %.*s zu gro\xdf.\n", (int)strspn(z, "0123456789"), z);
        return nullptr;
    }
    int n_rows = (int)erster + 1;
    dbld_dbg_msg("Druckbild %d x %d\n", n_rows, n_cols);
    if ((long long)n_rows * n_cols > INT_MAX) {
        dbld_err_msg("Druckbild %d x %d zu gro\xdf.\n", n_rows, n_cols);
        return nullptr;
    }

    Werte werte;
    int lauf_min = 255, lauf_max = 0;
    for (int il = n_rows - 1;; --il) {
        long long index;
        if (!zeilenanfang(line, &index, &pl))
            return nullptr;
        if (index != il) {
            dbld_err_msg("Fehler in der Zeilenindex-Reihenfolge.");
            return nullptr;
        }
        if (!zeile_auswerten(pl, il, n_cols, &werte, &lauf_min, &lauf_max))
            return nullptr;
        if (il == 0)
            break;
        if (!zeile_lesen(fp, line)) {
            dbld_err_msg("Zeilen mit Index <= %d fehlen.\n", il - 1);
            return nullptr;
        }
    }
    return bild_anlegen(werte, n_rows, n_cols, lauf_min, lauf_max);
}

// ---- Cleaning -------------------------------------------------------------

const int min_n = 3;
const int min_z = 2;

// Tests the neighbour (r, c) of cell (i_y, i_x); copies the cell into
// bereinigt and returns 1 once at least min_n positive neighbours have been
// met and the current run of positive neighbours is at least min_z long.
int teste_nachbar(int* bereinigt, const int* ursprung, int n_x, int i_y, int i_x,
                  int r, int c, int* z, int* was_n, int* n)
{
    if (ursprung[(long)r * n_x + c] <= 0) {
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
    if (*n >= min_n && *z >= min_z) {
        long i = (long)i_y * n_x + i_x;
        bereinigt[i] = ursprung[i];
        return 1;
    }
    return 0;
}

// The ring of the eight neighbours of one cell: below (left to right),
// right, above (right to left), left.  A missing row or column breaks the
// run; the walk does not wrap from the left neighbour to the lower left.
void zelle_pruefen(int* bereinigt, const int* ursprung, int n_y, int n_x, int i_y, int i_x)
{
    int n = 0, z = 0, was_nb = 0;
    auto test = [&](int r, int c) {
        return teste_nachbar(bereinigt, ursprung, n_x, i_y, i_x, r, c, &z, &was_nb, &n);
    };
    auto bruch = [&] { z = 0; was_nb = 0; };

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
    else
        bruch();
}

} // namespace

DBLD* DBLD_get(FILE* fp)
{
    try {
        return bild_lesen(fp);
    } catch (const std::bad_alloc&) {
        dbld_err_msg("Zu wenig Speicher beim Lesen eines Druckbilds.\n");
        return nullptr;
    }
}

void DBLD_put(FILE* fp, const DBLD* dbld)
{
    for (int i_row = dbld->n_rows - 1; i_row >= 0; --i_row) {
        fprintf(fp, "%2d:", i_row);
        for (int i_col = 0; i_col < dbld->n_cols; ++i_col) {
            long i = (long)i_row * dbld->n_cols + i_col;
            if (dbld->mask[i])
                fputs("  -1", fp);
            else
                fprintf(fp, " %3d", dbld->dbld[i]);
        }
        fputc('\n', fp);
    }
}

DBLD* DBLD_bereinigen(const DBLD* ursprung)
{
    int n_y = ursprung->n_rows, n_x = ursprung->n_cols;
    DBLD* bereinigt = DBLD_new(n_y, n_x);
    if (!bereinigt)
        return nullptr;
    dbld_intern::WERTEBEREICH bereich;
    // An image without cells is cleaned at once: the rows of an image of
    // zero columns are not walked.
    const int zeilen = n_x > 0 ? n_y : 0;
    for (int i_y = 0; i_y < zeilen; ++i_y)
        for (int i_x = 0; i_x < n_x; ++i_x) {
            long i = (long)i_y * n_x + i_x;
            bereinigt->dbld[i] = 0;
            if (ursprung->dbld[i] == 0)
                continue;
            zelle_pruefen(bereinigt->dbld, ursprung->dbld, n_y, n_x, i_y, i_x);
            if (bereinigt->dbld[i] > 0)
                bereich.zaehlen(bereinigt->dbld[i]);
        }
    bereich.setzen(bereinigt);
    return bereinigt;
}
