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

// The peak pressure index: the largest sum over a k x k window wholly
// inside the region, negative values as 0, the first window in row-major
// order of its top-left cell on a tie.  spalten holds one sum per column of
// the region: the column's k cells under the window's rows.
void ppi_rechnen(const int* werte, int n_x, const STATISTIK_WAHL& w, long long* spalten,
                 STATISTIK* e)
{
    const int k = w.fenster;
    const int hoehe = w.zeile1 - w.zeile0 + 1, breite = w.spalte1 - w.spalte0 + 1;
    e->ppi = -1;
    e->ppi_zeile = e->ppi_spalte = -1;
    if (hoehe < k || breite < k)
        return;
    auto wert = [werte, n_x, &w](int r, int i) {
        const int v = werte[(size_t)r * n_x + w.spalte0 + i];
        return v > 0 ? (long long)v : 0LL;
    };
    for (int i = 0; i < breite; ++i) {
        long long s = 0;
        for (int r = w.zeile0; r < w.zeile0 + k; ++r)
            s += wert(r, i);
        spalten[i] = s;
    }
    long long beste = -1;
    for (int oben = w.zeile0;; ++oben) {
        long long fenster = 0;
        for (int i = 0; i < k; ++i)
            fenster += spalten[i];
        for (int i = 0;; ++i) {
            if (fenster > beste) {
                beste = fenster;
                e->ppi_zeile = oben + k / 2;
                e->ppi_spalte = w.spalte0 + i + k / 2;
            }
            if (i + k >= breite)
                break;
            fenster += spalten[i + k] - spalten[i];
        }
        if (oben + k > w.zeile1)
            break;
        for (int i = 0; i < breite; ++i)
            spalten[i] += wert(oben + k, i) - wert(oben, i);
    }
    e->ppi = (double)beste / (double)((long long)k * k);
}

} // namespace

bool statistik(const int* werte, int n_y, int n_x, const STATISTIK_WAHL& w,
               STATISTIK* e)
{
    *e = STATISTIK{0, 0, 0, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    if (n_y == 0 || n_x == 0)
        return true;
    const int breite = w.spalte1 - w.spalte0 + 1;
    // Per column of the region its loaded sum (below 2^62: fewer than 2^31
    // rows of values below 2^31); later the ppi's column sums.
    dbld_intern::PUFFER<long long, 256> puffer((size_t)breite);
    long long* spalten = puffer.daten();
    if (!spalten)
        return false;
    for (int i = 0; i < breite; ++i)
        spalten[i] = 0;

    const int s = w.schwelle;
    long long zellen = 0, summe = 0, unten = 0;
    int spitze = 0, spitze_zeile = -1, spitze_spalte = -1;
    SUMME128 zeilenmoment;
    for (int r = w.zeile0; r <= w.zeile1; ++r) {
        const int* zeile = werte + (size_t)r * n_x + w.spalte0;
        long long zeilensumme = 0;
        int n = 0;
        for (int i = 0; i < breite; ++i) {
            const int v = zeile[i];
            const int geladen = v > s ? v : 0;
            n += v > s;
            zeilensumme += geladen;
            spalten[i] += geladen;
            if (v > spitze) {
                spitze = v;
                spitze_zeile = r;
                spitze_spalte = w.spalte0 + i;
            }
        }
        zellen += n;
        summe += zeilensumme;
        if (r < w.teilung)
            unten += zeilensumme;
        zeilenmoment.produkt_dazu((uint64_t)zeilensumme, (uint32_t)r);
    }
    if (zellen == 0) {
        ppi_rechnen(werte, n_x, w, spalten, e);
        return true;
    }
    // A loaded value is above the threshold, so the peak above is the
    // peak of the loaded cells.
    e->zellen = zellen;
    e->summe = summe;
    e->spitze = spitze;
    e->spitze_zeile = spitze_zeile;
    e->spitze_spalte = spitze_spalte;

    long long links = 0;
    SUMME128 spaltenmoment;
    for (int i = 0; i < breite; ++i) {
        const int c = w.spalte0 + i;
        if (c < n_x / 2)
            links += spalten[i];
        spaltenmoment.produkt_dazu((uint64_t)spalten[i], (uint32_t)c);
    }

    const double m = (double)summe / (double)zellen;
    double q = 0;
    for (int r = w.zeile0; r <= w.zeile1; ++r) {
        const int* zeile = werte + (size_t)r * n_x + w.spalte0;
        for (int i = 0; i < breite; ++i)
            if (zeile[i] > s) {
                const double d = (double)zeile[i] - m;
                q += d * d;
            }
    }
    e->mittel = m;
    e->variationskoeffizient = std::sqrt(q / (double)zellen) / m;
    e->anteil_links = anteil(links, summe);
    e->anteil_rechts = anteil(summe - links, summe);
    e->anteil_unten = anteil(unten, summe);
    e->anteil_oben = anteil(summe - unten, summe);
    e->schwerpunkt_x = spaltenmoment.als_double() / (double)summe;
    e->schwerpunkt_y = zeilenmoment.als_double() / (double)summe;
    ppi_rechnen(werte, n_x, w, spalten, e);
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

double mittel_wert(long long summe, int anzahl)
{
    return anzahl == 0 ? -1.0 : (double)summe / (double)anzahl;
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
