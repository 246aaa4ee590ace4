// Standard evaluation: sit-bone centroids of the left and right half of a
// cleaned image, their distance, the combined centroid and the pressure
// shares.
#include "dbld.h"
#include "dbld_intern.h"

#include <climits>
#include <cmath>
#include <utility>

namespace {

const int min_n = 3;
const int min_z = 2;

// Whether a nonzero cell survives the cleaning, for every pattern of
// positive neighbours in the order of the ring walk: bit 0 lower left,
// 1 lower, 2 lower right, 3 right, 4 upper right, 5 upper, 6 upper left,
// 7 left.  The walk counts the positive neighbours (n) and the length of the
// current run of positive neighbours (z, broken by every empty one); the
// cell survives once n >= min_n or z >= min_z, that is when the pattern has
// at least min_n bits or two neighbouring bits (bit 7 and bit 0 are not
// neighbours: the walk does not wrap).  A neighbour outside the image breaks
// the run like an empty one: the walk resets the run where a row or column
// is missing, and a corner it leaves out always lies next to such a reset,
// with no test in between.
constexpr bool ueberlebt(unsigned ring)
{
    int n = 0, z = 0, z_max = 0;
    for (int k = 0; k < 8; ++k) {
        if (ring & (1u << k)) {
            ++n;
            ++z;
            if (z > z_max)
                z_max = z;
        } else {
            z = 0;
        }
    }
    return n >= min_n || z_max >= min_z;
}

// The cleaning rule for the 3 x 3 block around a cell, indexed by the
// positivity of its columns: bits 0 .. 2 the column left of the cell (rows
// above, same, below), bits 3 .. 5 its own column, bits 6 .. 8 the column
// right of it.  Bit 4, the cell itself, does not matter.  Entries are
// all-ones masks, so that "value & entry" is the cleaned value.
struct UEBERLEBEN {
    int maske[512];
};

constexpr UEBERLEBEN ueberleben_tabelle()
{
    UEBERLEBEN t{};
    for (unsigned block = 0; block < 512; ++block) {
        auto bit = [block](int k) { return (block >> k) & 1u; };
        unsigned ring = bit(2) | bit(5) << 1 | bit(8) << 2 | bit(7) << 3 | bit(6) << 4 |
                        bit(3) << 5 | bit(0) << 6 | bit(1) << 7;
        t.maske[block] = ueberlebt(ring) ? -1 : 0;
    }
    return t;
}

constexpr UEBERLEBEN ueberleben = ueberleben_tabelle();

// Positivity (value >= 1) of the rows around row i, column by column, three
// bits per column: bit 0 row i - 1, bit 1 row i, bit 2 row i + 1.  oben
// holds bits 0 and 1 of every column (element c + 1 for column c; elements
// 0 and n_x + 1 are the empty columns beside the image and stay 0); the
// row below is read as the columns are met.  Each column met also leaves
// its bits for row i + 1 in naechste; a column met twice leaves the same.
// spalte(c) takes the columns 0 .. n_x - 1 only; MIT_UNTEN: there is a row
// below.
template <bool MIT_UNTEN>
struct SPALTEN {
    const unsigned char* oben;
    unsigned char* naechste;
    const int* unten;

    unsigned spalte(int c) const
    {
        unsigned code = oben[c + 1];
        if (MIT_UNTEN)
            code |= (unsigned)(unten[c] >= 1) << 2;
        naechste[c + 1] = (unsigned char)(code >> 1);
        return code;
    }
};

// Where the cleaned image goes: nowhere, into an int image, or into the
// float grid of a sampler together with the range of its positive values.
// zeile(i) starts row i; setzen(k, v) stores column k of it; zaehlen(v)
// counts a nonzero value into the range.
struct OHNE_AUSGABE {
    void zeile(int) {}
    void setzen(int, int) {}
    void zaehlen(int) {}
};

struct INT_AUSGABE {
    int* bild;
    int n_x;
    int* z = nullptr;
    void zeile(int i) { z = bild + (size_t)i * n_x; }
    void setzen(int k, int v) { z[k] = v; }
    void zaehlen(int) {}
};

struct RASTER_AUSGABE {
    float* raster;
    ptrdiff_t abstand;
    float* z = nullptr;
    int kleinstes = INT_MAX; // smallest positive value
    int groesstes = 0;       // largest value (only a positive one raises it)
    void zeile(int i) { z = raster + i * abstand; }
    void setzen(int k, int v) { z[k] = (float)v; }
    void zaehlen(int v)
    {
        if (v > 0) {
            kleinstes = v < kleinstes ? v : kleinstes;
            groesstes = v > groesstes ? v : groesstes;
        }
    }
};

// Cleans row i (values w, n_x of them) and feeds its kept nonzero cells to
// the two centroids; the cleaned row also goes to the output.  The left
// cell k and the right cell h + k are taken in one step: the two running
// centroids do not depend on each other, so their divisions overlap, while
// each still sees its own cells in row order, and the cleaning of the next
// cells overlaps them too.  The running centroids are copies held in
// registers for the row, and so is the output.
template <class AUSGABE, bool MIT_UNTEN>
void zeile_auswerten(AUSGABE* ausgabe, const int* w, int n_x, const SPALTEN<MIT_UNTEN>& sp,
                     int i, dbld_intern::SCHWERPUNKT_LAUF* links,
                     dbld_intern::SCHWERPUNKT_LAUF* rechts)
{
    dbld_intern::SCHWERPUNKT_LAUF l = *links, r = *rechts;
    AUSGABE aus = *ausgabe;
    aus.zeile(i);
    const int h = n_x / 2;
    // Blocks of the columns c - 1, c, c + 1 (three bits each) around the
    // left cell c = k and the right cell c = h + k; the columns beside the
    // image are empty.
    unsigned block_l = sp.spalte(0) << 6;
    unsigned block_r = (h > 0 ? sp.spalte(h - 1) << 3 : 0) | sp.spalte(h) << 6;
    auto schritt = [&](int k, unsigned neu_l, unsigned neu_r) {
        block_l = block_l >> 3 | neu_l << 6;
        block_r = block_r >> 3 | neu_r << 6;
        int vl = w[k] & ueberleben.maske[block_l];
        int vr = w[h + k] & ueberleben.maske[block_r];
        aus.setzen(k, vl);
        aus.setzen(h + k, vr);
        if (vl != 0) {
            l.zelle(i, k, vl);
            aus.zaehlen(vl);
        }
        if (vr != 0) {
            r.zelle(i, h + k, vr);
            aus.zaehlen(vr);
        }
    };
    // With an even column count the last right cell has the empty column
    // beside the image to its right.
    const bool gerade = n_x == 2 * h;
    const int innen = gerade ? h - 1 : h;
    for (int k = 0; k < innen; ++k)
        schritt(k, sp.spalte(k + 1), sp.spalte(h + k + 1));
    if (gerade && h > 0)
        schritt(h - 1, sp.spalte(h), 0);
    // An odd middle column makes the right side one column wider.
    if (!gerade) {
        block_r = block_r >> 3;
        int vr = w[n_x - 1] & ueberleben.maske[block_r];
        aus.setzen(n_x - 1, vr);
        if (vr != 0) {
            r.zelle(i, n_x - 1, vr);
            aus.zaehlen(vr);
        }
    }
    *links = l;
    *rechts = r;
    *ausgabe = aus;
}

int auswertung_std(AUSWERTUNGSERGEBNIS* ergebnis, const int* druckbild, int n_y, int n_x)
{
    dbld_dbg_msg("Standardauswertung\n");
    dbld_intern::SCHWERPUNKT_LAUF links_lauf, rechts_lauf;
    if (!dbld_intern::bereinigen_mit_schwerpunkten(nullptr, druckbild, n_y, n_x, &links_lauf,
                                                   &rechts_lauf))
        return 0;

    AUSWERTUNG_STD& e = ergebnis->std;
    // A side's centroid that left the float range counts as missing (-1,
    // -1); its weight still counts for the shares.
    float r1 = -1, c1 = -1, r2 = -1, c2 = -1;
    long long g1 = 0, g2 = 0;
    if (links_lauf.gefunden) {
        g1 = links_lauf.g;
        if (links_lauf.endlich()) {
            r1 = links_lauf.r;
            c1 = links_lauf.c;
        } else {
            dbld_dbg_msg("Schwerpunkt links nicht endlich.\n");
        }
    }
    if (rechts_lauf.gefunden) {
        g2 = rechts_lauf.g;
        if (rechts_lauf.endlich()) {
            r2 = rechts_lauf.r;
            c2 = rechts_lauf.c;
        } else {
            dbld_dbg_msg("Schwerpunkt rechts nicht endlich.\n");
        }
    }
    e.schwerpunkt1.x = c1;
    e.schwerpunkt1.y = r1;
    e.schwerpunkt2.x = c2;
    e.schwerpunkt2.y = r2;

    // The dependent values of finite centroids can still leave the float
    // range: the combined centroid when the side weights cancel to 0 (a
    // division by 0) or nearly; the distance is tested alike.  They then
    // count as missing like those of a missing centroid.
    e.sitzknochenabstand = -1;
    e.schwerpunkt.x = -1;
    e.schwerpunkt.y = -1;
    if (r1 >= 0 && c1 >= 0 && r2 >= 0 && c2 >= 0) {
        float dr = r1 - r2, dc = c1 - c2;
        float abstand = sqrtf(dr * dr + dc * dc);
        if (std::isfinite(abstand))
            e.sitzknochenabstand = abstand;
        else
            dbld_dbg_msg("Sitzknochenabstand nicht endlich.\n");
        float a1 = (float)g2 / (float)(g1 + g2);
        float x = c1 + (c2 - c1) * a1;
        float y = r1 + (r2 - r1) * a1;
        if (std::isfinite(x) && std::isfinite(y)) {
            e.schwerpunkt.x = x;
            e.schwerpunkt.y = y;
        } else {
            dbld_dbg_msg("Gemeinsamer Schwerpunkt nicht endlich.\n");
        }
    }

    // Shares of weights that cancel to 0 would be infinite: none then.
    e.gewicht1 = -1;
    e.gewicht2 = -1;
    if (g1 > 0 || g2 > 0) {
        float summe = (float)(g1 + g2);
        float w1 = 100.0f * (float)g1 / summe;
        float w2 = 100.0f * (float)g2 / summe;
        if (std::isfinite(w1) && std::isfinite(w2)) {
            e.gewicht1 = w1;
            e.gewicht2 = w2;
        } else {
            dbld_dbg_msg("Gewichte nicht endlich.\n");
        }
    }
    return 1;
}

} // namespace

namespace dbld_intern {

namespace {

// Cleans ursprung row by row into *ausgabe.
template <class AUSGABE>
bool bereinigen(const int* ursprung, int n_y, int n_x, SCHWERPUNKT_LAUF* links,
                SCHWERPUNKT_LAUF* rechts, AUSGABE* ausgabe)
{
    if (n_y <= 0 || n_x <= 0)
        return true;
    // Two sets of positivity columns, for this row and the next, each with
    // an empty column on either side.
    const size_t breite = (size_t)n_x + 2;
    PUFFER<unsigned char, 256> spalten(2 * breite);
    if (!spalten.daten())
        return false;
    unsigned char* a = spalten.daten();
    unsigned char* b = a + breite;
    a[0] = a[n_x + 1] = b[0] = b[n_x + 1] = 0;
    // Row -1 (empty) and row 0.
    for (int j = 0; j < n_x; ++j)
        a[j + 1] = (unsigned char)((ursprung[j] >= 1) << 1);
    for (int i = 0; i < n_y; ++i) {
        const int* w = ursprung + (size_t)i * n_x;
        if (i + 1 < n_y)
            zeile_auswerten(ausgabe, w, n_x, SPALTEN<true>{a, b, w + n_x}, i, links, rechts);
        else
            zeile_auswerten(ausgabe, w, n_x, SPALTEN<false>{a, b, nullptr}, i, links, rechts);
        std::swap(a, b);
    }
    return true;
}

} // namespace

bool bereinigen_mit_schwerpunkten(int* bereinigt, const int* ursprung, int n_y, int n_x,
                                  SCHWERPUNKT_LAUF* links, SCHWERPUNKT_LAUF* rechts)
{
    if (!bereinigt) {
        OHNE_AUSGABE ohne;
        return bereinigen(ursprung, n_y, n_x, links, rechts, &ohne);
    }
    INT_AUSGABE aus = {bereinigt, n_x};
    return bereinigen(ursprung, n_y, n_x, links, rechts, &aus);
}

bool bereinigen_in_raster(float* raster, ptrdiff_t abstand, WERTEBEREICH* bereich,
                          const int* ursprung, int n_y, int n_x, SCHWERPUNKT_LAUF* links,
                          SCHWERPUNKT_LAUF* rechts)
{
    RASTER_AUSGABE aus = {raster, abstand};
    if (!bereinigen(ursprung, n_y, n_x, links, rechts, &aus))
        return false;
    // The smallest and the largest positive value set the range as all of
    // them would.
    if (aus.groesstes > 0) {
        bereich->zaehlen(aus.kleinstes);
        bereich->zaehlen(aus.groesstes);
    }
    return true;
}

bool druckbild_bereinigen(int* bereinigt, const int* ursprung, int n_y, int n_x)
{
    SCHWERPUNKT_LAUF l, r;
    return bereinigen_mit_schwerpunkten(bereinigt, ursprung, n_y, n_x, &l, &r);
}

} // namespace dbld_intern

int DBLD_auswertung_std(AUSWERTUNGSERGEBNIS* ergebnis, const DBLD* dbld)
{
    return auswertung_std(ergebnis, dbld->dbld, dbld->n_rows, dbld->n_cols);
}
