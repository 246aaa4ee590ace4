// Region statistics, mean and peak-hold images, and the colour scales of
// the legend (dbld_kennzahlen.h).
#include "dbld_kennzahlen.h"

#include "dbld.h"
#include "dbld_intern.h"

#include <climits>
#include <cmath>
#include <cstdint>

namespace dbld_kennzahlen {

namespace {

// An unsigned sum of up to 128 bits: the sums of value x column and value x
// row, whose terms reach 2^93 (a value below 2^31 times a column sum below
// 2^62) and whose total can pass 64 bits on a long image of large values.
struct SUMME128 {
    uint64_t hoch = 0, tief = 0;

    void dazu(uint64_t a)
    {
        tief += a;
        if (tief < a)
            ++hoch;
    }
    // Adds a x b for a below 2^63 and b below 2^32: a split into 32-bit
    // halves, each partial product below 2^64.
    void produkt_dazu(uint64_t a, uint32_t b)
    {
        const uint64_t a_hoch = a >> 32, a_tief = a & 0xffffffffu;
        const uint64_t p_hoch = a_hoch * b; // below 2^63
        dazu(a_tief * b);
        hoch += p_hoch >> 32;
        dazu(p_hoch << 32);
    }
    // The sum rounded once to double.  Below 2^63 through the signed
    // conversion, as a 64-bit sum would be; above, the top 63 bits with a
    // sticky bit for everything below them (more than the two guard bits
    // that a single correct rounding needs), then scaled by a power of two,
    // which is exact.
    double als_double() const
    {
        if (hoch == 0 && tief < (UINT64_C(1) << 63))
            return (double)(int64_t)tief;
        int schiebung = 0;
        uint64_t h = hoch, t = tief;
        bool rest = false;
        while (h != 0 || t >= (UINT64_C(1) << 63)) {
            rest = rest || (t & 1);
            t = (t >> 1) | (h << 63);
            h >>= 1;
            ++schiebung;
        }
        double d = (double)(int64_t)(t | (rest ? 1 : 0));
        for (int i = 0; i < schiebung; ++i)
            d *= 2.0;
        return d;
    }
};

// (100 x teil) / summe in double, the shares of a side or part.
double anteil(long long teil, long long summe)
{
    return 100.0 * (double)teil / (double)summe;
}

} // namespace

STATISTIK_WAHL statistik_standard(int n_y, int n_x)
{
    return STATISTIK_WAHL{0, 0, 0, n_y - 1, n_x - 1, n_y / 2, 3};
}

const char* statistik_pruefen(const STATISTIK_WAHL& w, int n_y, int n_x)
{
    if (w.schwelle < 0)
        return "-schwelle < 0";
    if (w.fenster < 1)
        return "-fenster < 1";
    if (w.fenster % 2 == 0)
        return "-fenster gerade";
    if (w.teilung < 0)
        return "-teilung < 0";
    if (w.teilung > n_y)
        return "-teilung > anzahl_zeilen";
    // The whole image of an image without cells is the empty region.
    if (n_y == 0 || n_x == 0) {
        const STATISTIK_WAHL s = statistik_standard(n_y, n_x);
        if (w.zeile0 == s.zeile0 && w.spalte0 == s.spalte0 && w.zeile1 == s.zeile1 &&
            w.spalte1 == s.spalte1)
            return nullptr;
        return "-bereich ausserhalb des Bildes";
    }
    if (w.zeile0 < 0 || w.spalte0 < 0 || w.zeile1 < 0 || w.spalte1 < 0 || w.zeile0 >= n_y ||
        w.zeile1 >= n_y || w.spalte0 >= n_x || w.spalte1 >= n_x)
        return "-bereich ausserhalb des Bildes";
    if (w.zeile1 < w.zeile0 || w.spalte1 < w.spalte0)
        return "-bereich verkehrt";
    return nullptr;
}

namespace {

// The sums of one pass over the region's rows.
struct ZEILENSUMMEN {
    long long zellen = 0, summe = 0, unten = 0, links = 0;
    int spitze = 0, spitze_zeile = -1, spitze_spalte = -1;
    int groesste = 0; // the largest value of the region, 0 at least
    SUMME128 zeilenmoment, spaltenmoment;
};

// The region's rows: loaded cells counted and summed per row and per
// column, the peak, the largest value, the moments.  T holds a row's and a
// column's sums: unsigned, whose sums are those of the values wherever the
// largest value times the longer side of the region fits an int (the
// caller checks that after the pass, and otherwise passes again), or long
// long (below 2^62: fewer than 2^31 cells of values below 2^31).  False
// when the column sums' memory cannot be obtained.
template <class T>
bool zeilen_durchlaufen(const int* werte, int n_x, const STATISTIK_WAHL& w, ZEILENSUMMEN* z)
{
    const int breite = w.spalte1 - w.spalte0 + 1;
    dbld_intern::PUFFER<T, 256> puffer((size_t)breite);
    T* spalten = puffer.daten();
    if (!spalten)
        return false;
    for (int i = 0; i < breite; ++i)
        spalten[i] = 0;
    const int s = w.schwelle;
    for (int r = w.zeile0; r <= w.zeile1; ++r) {
        const int* zeile = werte + (size_t)r * n_x + w.spalte0;
        T zeilensumme = 0;
        int n = 0, groesste = 0;
        for (int i = 0; i < breite; ++i) {
            const int v = zeile[i];
            const int geladen = v > s ? v : 0;
            n += v > s;
            zeilensumme += geladen;
            spalten[i] += geladen;
            groesste = v > groesste ? v : groesste;
        }
        // A loaded value is above the threshold, and every other value at
        // most the threshold: the peak of all cells, where it is above the
        // threshold, is the peak of the loaded cells.  The first of a row
        // only where it beats the rows before.
        if (groesste > z->groesste)
            z->groesste = groesste;
        if (groesste > z->spitze) {
            int i = 0;
            while (zeile[i] != groesste)
                ++i;
            z->spitze = groesste;
            z->spitze_zeile = r;
            z->spitze_spalte = w.spalte0 + i;
        }
        z->zellen += n;
        z->summe += zeilensumme;
        if (r < w.teilung)
            z->unten += zeilensumme;
        z->zeilenmoment.produkt_dazu((uint64_t)zeilensumme, (uint32_t)r);
    }
    for (int i = 0; i < breite; ++i) {
        const int c = w.spalte0 + i;
        if (c < n_x / 2)
            z->links += spalten[i];
        z->spaltenmoment.produkt_dazu((uint64_t)spalten[i], (uint32_t)c);
    }
    return true;
}

inline int nicht_negativ(int v)
{
    return v > 0 ? v : 0;
}

// The peak pressure index: the largest sum over a k x k window wholly
// inside the region, negative values as 0, the first window in row-major
// order of its top-left cell on a tie.  Per column of the region the sum
// of its k cells under the window's rows, moved down a row at a time, and
// their running sums, so that the windows of a row are differences of two
// running sums.  T holds the running sums: int where the caller has found
// that they fit, else long long.  False when their memory cannot be
// obtained.
template <class T> bool ppi_rechnen(const int* werte, int n_x, const STATISTIK_WAHL& w,
                                    STATISTIK* e)
{
    const int k = w.fenster;
    const int hoehe = w.zeile1 - w.zeile0 + 1, breite = w.spalte1 - w.spalte0 + 1;
    e->ppi = -1;
    e->ppi_zeile = e->ppi_spalte = -1;
    if (hoehe < k || breite < k)
        return true;
    dbld_intern::PUFFER<T, 2 * 128 + 1> puffer(2 * (size_t)breite + 1);
    T* spalten = puffer.daten();
    if (!spalten)
        return false;
    T* summen = spalten + breite;
    auto zeile = [werte, n_x, &w](int r) { return werte + (size_t)r * n_x + w.spalte0; };
    for (int i = 0; i < breite; ++i)
        spalten[i] = 0;
    for (int r = w.zeile0; r < w.zeile0 + k; ++r) {
        const int* z = zeile(r);
        for (int i = 0; i < breite; ++i)
            spalten[i] += nicht_negativ(z[i]);
    }
    const int fenster = breite - k + 1;
    T beste = -1;
    for (int oben = w.zeile0;; ++oben) {
        summen[0] = 0;
        for (int i = 0; i < breite; ++i)
            summen[i + 1] = summen[i] + spalten[i];
        // The largest window of the row first; its first place only where
        // it beats the best so far, which keeps the earlier one on a tie.
        T groesste = -1;
        for (int i = 0; i < fenster; ++i) {
            const T s = summen[i + k] - summen[i];
            groesste = s > groesste ? s : groesste;
        }
        if (groesste > beste) {
            int i = 0;
            while (summen[i + k] - summen[i] != groesste)
                ++i;
            beste = groesste;
            e->ppi_zeile = oben + k / 2;
            e->ppi_spalte = w.spalte0 + i + k / 2;
        }
        if (oben + k > w.zeile1)
            break;
        const int* neu = zeile(oben + k);
        const int* alt = zeile(oben);
        for (int i = 0; i < breite; ++i)
            spalten[i] += nicht_negativ(neu[i]) - nicht_negativ(alt[i]);
    }
    e->ppi = (double)beste / (double)((long long)k * k);
    return true;
}

} // namespace

bool statistik(const int* werte, int n_y, int n_x, const STATISTIK_WAHL& w,
               STATISTIK* e)
{
    *e = STATISTIK{0, 0, 0, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    if (n_y == 0 || n_x == 0)
        return true;
    const int breite = w.spalte1 - w.spalte0 + 1, hoehe = w.zeile1 - w.zeile0 + 1;
    // The largest value of the region bounds every sum: the passes add in
    // 32 bits where their sums stay within an int (pressures from a mat
    // do), which the compiler vectorises better; the first pass finds out.
    ZEILENSUMMEN z;
    if (!zeilen_durchlaufen<unsigned>(werte, n_x, w, &z))
        return false;
    const long long groesste = z.groesste;
    const long long laenger = breite > hoehe ? breite : hoehe;
    if (groesste * laenger > INT_MAX) {
        z = ZEILENSUMMEN();
        if (!zeilen_durchlaufen<long long>(werte, n_x, w, &z))
            return false;
    }
    // A window larger than the region has no sums; otherwise k is at most
    // the smaller side, so k (breite + 1) stays far inside 64 bits.
    const long long k = w.fenster < breite ? w.fenster : breite;
    const bool ppi_int = groesste <= INT_MAX / (k * ((long long)breite + 1));
    if (!(ppi_int ? ppi_rechnen<int>(werte, n_x, w, e) : ppi_rechnen<long long>(werte, n_x, w, e)))
        return false;
    if (z.zellen == 0)
        return true;
    e->zellen = z.zellen;
    e->summe = z.summe;
    e->spitze = z.spitze;
    e->spitze_zeile = z.spitze_zeile;
    e->spitze_spalte = z.spitze_spalte;

    // The squared deviations summed in row-major order, one after the
    // other, as defined.
    const double m = (double)z.summe / (double)z.zellen;
    double q = 0;
    for (int r = w.zeile0; r <= w.zeile1; ++r) {
        const int* zeile = werte + (size_t)r * n_x + w.spalte0;
        for (int i = 0; i < breite; ++i)
            if (zeile[i] > w.schwelle) {
                const double d = (double)zeile[i] - m;
                q += d * d;
            }
    }
    e->mittel = m;
    e->variationskoeffizient = std::sqrt(q / (double)z.zellen) / m;
    e->anteil_links = anteil(z.links, z.summe);
    e->anteil_rechts = anteil(z.summe - z.links, z.summe);
    e->anteil_unten = anteil(z.unten, z.summe);
    e->anteil_oben = anteil(z.summe - z.unten, z.summe);
    e->schwerpunkt_x = z.spaltenmoment.als_double() / (double)z.summe;
    e->schwerpunkt_y = z.zeilenmoment.als_double() / (double)z.summe;
    return true;
}

// ---- Mean and peak-hold image -----------------------------------------------

void mittel_aufnehmen(long long* summen, int* anzahlen, const int* bild, int n)
{
    for (int i = 0; i < n; ++i) {
        const int v = bild[i];
        summen[i] += v >= 0 ? v : 0;
        anzahlen[i] += v >= 0;
    }
}

void spitze_aufnehmen(int* spitzen, const int* bild, int n)
{
    // A peak starts at -1, and a negative value never passes it.
    for (int i = 0; i < n; ++i)
        if (bild[i] > spitzen[i])
            spitzen[i] = bild[i];
}

int mittel_gerundet(long long summe, int anzahl)
{
    if (anzahl == 0)
        return -1;
    // The sum is not negative: quotient and remainder, and up where the
    // remainder is at least half the count.  The mean is at most the
    // largest value, so a quotient of INT_MAX has no remainder.
    const long long q = summe / anzahl, r = summe % anzahl;
    return (int)(q + (2 * r >= anzahl ? 1 : 0));
}

// ---- Colour scales ------------------------------------------------------------

void druckfarbe(int stufe, int kontrast, unsigned char rgb[3])
{
    // The rendering's colour scale reads the contrast setting of this
    // library; it is set for the one lookup and given back.
    const int vorher = DBLD_get_ccontrast();
    DBLD_set_ccontrast(kontrast);
    int rot, gruen, blau;
    DBLD_value_to_color(&rot, &gruen, &blau, stufe);
    DBLD_set_ccontrast(vorher);
    rgb[0] = (unsigned char)rot;
    rgb[1] = (unsigned char)gruen;
    rgb[2] = (unsigned char)blau;
}

namespace {

// The fixed colours of the diverging scale at the magnitudes 0, 64, 128,
// 192 and 255: white, then light to dark red above 0 and light to dark blue
// below.
const int stuetzstellen[5] = {0, 64, 128, 192, 255};
const unsigned char rot_stuetz[5][3] = {
    {255, 255, 255}, {253, 219, 199}, {244, 165, 130}, {214, 96, 77}, {178, 24, 43}};
const unsigned char blau_stuetz[5][3] = {
    {255, 255, 255}, {209, 229, 240}, {146, 197, 222}, {67, 147, 195}, {33, 102, 172}};

} // namespace

void differenzfarbe(int stufe, int kontrast, unsigned char rgb[3])
{
    int betrag = stufe < 0 ? (stufe < -STUFEN_MAX ? STUFEN_MAX : -stufe)
                           : (stufe > STUFEN_MAX ? STUFEN_MAX : stufe);
    if (kontrast > 0 && betrag > 0) {
        const int q = 1 << (kontrast > 7 ? 7 : kontrast);
        betrag = (betrag / q) * q + (q - 1);
        if (betrag > STUFEN_MAX)
            betrag = STUFEN_MAX;
    }
    const unsigned char(*stuetz)[3] = stufe < 0 ? blau_stuetz : rot_stuetz;
    int k = 0;
    while (k < 3 && betrag > stuetzstellen[k + 1])
        ++k;
    const int von = stuetzstellen[k], bis = stuetzstellen[k + 1];
    for (int kanal = 0; kanal < 3; ++kanal) {
        const int a = stuetz[k][kanal], b = stuetz[k + 1][kanal];
        rgb[kanal] = (unsigned char)(a + (b - a) * (betrag - von) / (bis - von));
    }
}

int legendenstufe(int i, int anzahl, bool divergierend)
{
    const long long n = anzahl - 1;
    if (divergierend)
        return (int)((510LL * i - 255LL * n) / n);
    return (int)(255LL * i / n);
}

} // namespace dbld_kennzahlen
