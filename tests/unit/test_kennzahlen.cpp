// The figures of the Druckbildkennzahlen package at C level: region
// statistics against a cell-by-cell count, the peak pressure index against
// every window, sums beyond 64 bits, mean and peak-hold images, the colour
// scales, the difference raster against a point-by-point drawing, and the
// silent outlines.
#include "bild_helfer.h"
#include "dbld_bild_intern.h"
#include "dbld_huellen_intern.h"
#include "dbld_intern.h"
#include "dbld_kennzahlen.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace dbld_kennzahlen;

// ---- Region statistics ---------------------------------------------------------

// Every window of the region visited, every cell of it summed.
void ppi_alle_fenster(const std::vector<int>& w, int n_x, const STATISTIK_WAHL& s, double* ppi,
                      int* zeile, int* spalte)
{
    const int k = s.fenster;
    long long beste = -1;
    *ppi = -1;
    *zeile = *spalte = -1;
    for (int r = s.zeile0; r + k - 1 <= s.zeile1; ++r)
        for (int c = s.spalte0; c + k - 1 <= s.spalte1; ++c) {
            long long summe = 0;
            for (int i = 0; i < k; ++i)
                for (int j = 0; j < k; ++j) {
                    const int v = w[(size_t)(r + i) * n_x + c + j];
                    summe += v > 0 ? v : 0;
                }
            if (summe > beste) {
                beste = summe;
                *zeile = r + k / 2;
                *spalte = c + k / 2;
            }
        }
    if (beste >= 0)
        *ppi = (double)beste / (double)(k * k);
}

TEST(Statistik, ZufallsbilderZelleFuerZelle)
{
    std::mt19937 zufall(24);
    for (int fall = 0; fall < 400; ++fall) {
        const int n_y = 1 + (int)(zufall() % 9), n_x = 1 + (int)(zufall() % 9);
        std::vector<int> w((size_t)n_y * n_x);
        for (int& v : w)
            v = (int)(zufall() % 40) - 8;
        STATISTIK_WAHL s = statistik_standard(n_y, n_x);
        s.zeile0 = (int)(zufall() % n_y);
        s.zeile1 = s.zeile0 + (int)(zufall() % (n_y - s.zeile0));
        s.spalte0 = (int)(zufall() % n_x);
        s.spalte1 = s.spalte0 + (int)(zufall() % (n_x - s.spalte0));
        s.schwelle = (int)(zufall() % 35);
        s.teilung = (int)(zufall() % (n_y + 1));
        s.fenster = 1 + 2 * (int)(zufall() % 3);
        ASSERT_EQ(statistik_pruefen(s, n_y, n_x), nullptr);
        STATISTIK e;
        ASSERT_TRUE(statistik(w.data(), n_y, n_x, s, &e));

        long long zellen = 0, summe = 0, links = 0, unten = 0, sx = 0, sy = 0;
        int spitze = 0, pr = -1, pc = -1;
        for (int r = s.zeile0; r <= s.zeile1; ++r)
            for (int c = s.spalte0; c <= s.spalte1; ++c) {
                const int v = w[(size_t)r * n_x + c];
                if (v <= s.schwelle)
                    continue;
                ++zellen;
                summe += v;
                links += c < n_x / 2 ? v : 0;
                unten += r < s.teilung ? v : 0;
                sx += (long long)v * c;
                sy += (long long)v * r;
                if (pr < 0 || v > spitze) {
                    spitze = v;
                    pr = r;
                    pc = c;
                }
            }
        EXPECT_EQ(e.zellen, zellen);
        EXPECT_EQ(e.summe, summe);
        EXPECT_EQ(e.spitze, zellen ? spitze : 0);
        EXPECT_EQ(e.spitze_zeile, pr);
        EXPECT_EQ(e.spitze_spalte, pc);
        if (zellen > 0) {
            const double m = (double)summe / (double)zellen;
            double q = 0;
            for (int r = s.zeile0; r <= s.zeile1; ++r)
                for (int c = s.spalte0; c <= s.spalte1; ++c) {
                    const int v = w[(size_t)r * n_x + c];
                    if (v > s.schwelle)
                        q += ((double)v - m) * ((double)v - m);
                }
            EXPECT_EQ(e.mittel, m);
            EXPECT_EQ(e.variationskoeffizient, std::sqrt(q / (double)zellen) / m);
            EXPECT_EQ(e.anteil_links, 100.0 * (double)links / (double)summe);
            EXPECT_EQ(e.anteil_rechts, 100.0 * (double)(summe - links) / (double)summe);
            EXPECT_EQ(e.anteil_unten, 100.0 * (double)unten / (double)summe);
            EXPECT_EQ(e.anteil_oben, 100.0 * (double)(summe - unten) / (double)summe);
            EXPECT_EQ(e.schwerpunkt_x, (double)sx / (double)summe);
            EXPECT_EQ(e.schwerpunkt_y, (double)sy / (double)summe);
        } else {
            EXPECT_EQ(e.mittel, -1.0);
            EXPECT_EQ(e.variationskoeffizient, -1.0);
            EXPECT_EQ(e.anteil_links, -1.0);
            EXPECT_EQ(e.schwerpunkt_y, -1.0);
        }
        double ppi;
        int zeile, spalte;
        ppi_alle_fenster(w, n_x, s, &ppi, &zeile, &spalte);
        EXPECT_EQ(e.ppi, ppi) << "Fall " << fall;
        EXPECT_EQ(e.ppi_zeile, zeile);
        EXPECT_EQ(e.ppi_spalte, spalte);
    }
}

TEST(Statistik, WahlGeprueft)
{
    const STATISTIK_WAHL s = statistik_standard(4, 5);
    EXPECT_EQ(s.zeile1, 3);
    EXPECT_EQ(s.spalte1, 4);
    EXPECT_EQ(s.teilung, 2);
    EXPECT_EQ(s.fenster, 3);
    auto mit = [&s](void (*aendern)(STATISTIK_WAHL&)) {
        STATISTIK_WAHL w = s;
        aendern(w);
        const char* grund = statistik_pruefen(w, 4, 5);
        return std::string(grund ? grund : "");
    };
    EXPECT_EQ(mit([](STATISTIK_WAHL&) {}), "");
    EXPECT_EQ(mit([](STATISTIK_WAHL& w) { w.spalte1 = 5; }), "-bereich ausserhalb des Bildes");
    EXPECT_EQ(mit([](STATISTIK_WAHL& w) { w.zeile0 = -1; }), "-bereich ausserhalb des Bildes");
    EXPECT_EQ(mit([](STATISTIK_WAHL& w) { w.zeile0 = 3, w.zeile1 = 2; }), "-bereich verkehrt");
    EXPECT_EQ(mit([](STATISTIK_WAHL& w) { w.fenster = 4; }), "-fenster gerade");
    EXPECT_EQ(mit([](STATISTIK_WAHL& w) { w.fenster = -1; }), "-fenster < 1");
    EXPECT_EQ(mit([](STATISTIK_WAHL& w) { w.schwelle = -1; }), "-schwelle < 0");
    EXPECT_EQ(mit([](STATISTIK_WAHL& w) { w.teilung = 5; }), "-teilung > anzahl_zeilen");
    EXPECT_EQ(statistik_pruefen(statistik_standard(0, 3), 0, 3), nullptr);
}

#ifdef __SIZEOF_INT128__
// The sums of value x column beyond 64 bits: rounded once to double, as
// the exact sum (here in 128-bit arithmetic) is rounded.
TEST(Statistik, MomenteUeber64Bit)
{
    const int n_x = 1 << 20;
    std::vector<int> w((size_t)n_x);
    std::mt19937 zufall(7);
    unsigned __int128 moment = 0;
    long long summe = 0;
    for (int c = 0; c < n_x; ++c) {
        w[(size_t)c] = INT_MAX - (int)(zufall() % 1000000);
        moment += (unsigned __int128)w[(size_t)c] * (unsigned)c;
        summe += w[(size_t)c];
    }
    ASSERT_GT((double)moment, 18446744073709551616.0);
    STATISTIK_WAHL s = statistik_standard(1, n_x);
    s.fenster = 1;
    STATISTIK e;
    ASSERT_TRUE(statistik(w.data(), 1, n_x, s, &e));
    EXPECT_EQ(e.summe, summe);
    EXPECT_EQ(e.schwerpunkt_x, (double)moment / (double)summe);
    // one column: the row moments take the same path
    ASSERT_TRUE(statistik(w.data(), n_x, 1, statistik_standard(n_x, 1), &e));
    EXPECT_EQ(e.schwerpunkt_y, (double)moment / (double)summe);
    EXPECT_EQ(e.schwerpunkt_x, 0.0);
}
#endif

// ---- Mean and peak-hold image ------------------------------------------------

TEST(Mittel, FehlendeWerteUndRundung)
{
    const int bilder[3][4] = {{1, -1, 3, 0}, {2, -1, 4, 1}, {4, -1, -5, 0}};
    long long summen[4] = {};
    int anzahlen[4] = {};
    int spitzen[4] = {-1, -1, -1, -1};
    for (const auto& b : bilder) {
        mittel_aufnehmen(summen, anzahlen, b, 4);
        spitze_aufnehmen(spitzen, b, 4);
    }
    EXPECT_EQ(mittel_wert(summen[0], anzahlen[0]), 7.0 / 3.0);
    EXPECT_EQ(mittel_wert(summen[1], anzahlen[1]), -1.0);
    EXPECT_EQ(mittel_wert(summen[2], anzahlen[2]), 3.5);
    EXPECT_EQ(mittel_gerundet(summen[2], anzahlen[2]), 4);
    EXPECT_EQ(mittel_gerundet(summen[3], anzahlen[3]), 0);
    EXPECT_EQ(mittel_gerundet(summen[1], anzahlen[1]), -1);
    EXPECT_EQ(spitzen[0], 4);
    EXPECT_EQ(spitzen[1], -1);
    EXPECT_EQ(spitzen[2], 4);
    // half away from zero, exactly, also where the double mean rounds
    EXPECT_EQ(mittel_gerundet(5, 2), 3);
    EXPECT_EQ(mittel_gerundet(2, 3), 1);
    EXPECT_EQ(mittel_gerundet(1, 3), 0);
    EXPECT_EQ(mittel_gerundet(3LL * INT_MAX - 1, 3), INT_MAX);
    // 2^30 + 1/2 - 2^-23 exactly: below the half, though the sum rounded
    // to double (2^53 + 2^22) would put the mean on it
    EXPECT_EQ(mittel_gerundet((1LL << 53) + (1LL << 22) - 1, 1 << 23), 1 << 30);
}

// ---- Colour scales ---------------------------------------------------------------

int helligkeit(const unsigned char rgb[3])
{
    return rgb[0] + rgb[1] + rgb[2];
}

TEST(Farbskala, DivergierendNeutralSymmetrischMonoton)
{
    unsigned char rgb[3], vorher[3];
    differenzfarbe(0, 0, rgb);
    EXPECT_EQ(std::string((char*)rgb, 3), std::string("\xff\xff\xff", 3));
    differenzfarbe(255, 0, rgb);
    EXPECT_EQ(rgb[0], 178);
    EXPECT_EQ(rgb[2], 43);
    differenzfarbe(-255, 0, rgb);
    EXPECT_EQ(rgb[0], 33);
    EXPECT_EQ(rgb[2], 172);
    differenzfarbe(-9999, 0, vorher);
    EXPECT_EQ(memcmp(rgb, vorher, 3), 0);
    // red above, blue below, darker with the magnitude
    for (int seite : {1, -1}) {
        differenzfarbe(0, 0, vorher);
        for (int b = 1; b <= 255; ++b) {
            differenzfarbe(seite * b, 0, rgb);
            EXPECT_LE(helligkeit(rgb), helligkeit(vorher)) << seite * b;
            if (seite > 0)
                EXPECT_GE(rgb[0], rgb[2]) << b;
            else
                EXPECT_LE(rgb[0], rgb[2]) << -b;
            memcpy(vorher, rgb, 3);
        }
    }
    // contrast 4: 16 .. 31 all give the colour of 31, on both sides
    unsigned char a[3], b[3];
    differenzfarbe(31, 0, a);
    differenzfarbe(16, 4, b);
    EXPECT_EQ(memcmp(a, b, 3), 0);
    differenzfarbe(-31, 0, a);
    differenzfarbe(-20, 4, b);
    EXPECT_EQ(memcmp(a, b, 3), 0);
}

TEST(Farbskala, DruckskalaUndLegende)
{
    unsigned char rgb[3];
    druckfarbe(255, 0, rgb);
    EXPECT_EQ(rgb[0], 255);
    EXPECT_EQ(rgb[1], 4);
    druckfarbe(16, 4, rgb); // the colour of 31
    int r, g, b;
    DBLD_value_to_color(&r, &g, &b, 31);
    EXPECT_EQ(rgb[0], r);
    EXPECT_EQ(rgb[2], b);
    EXPECT_EQ(DBLD_get_ccontrast(), 0);
    EXPECT_EQ(legendenstufe(0, 6, false), 0);
    EXPECT_EQ(legendenstufe(5, 6, false), 255);
    EXPECT_EQ(legendenstufe(2, 6, false), 102);
    EXPECT_EQ(legendenstufe(0, 5, true), -255);
    EXPECT_EQ(legendenstufe(2, 5, true), 0);
    EXPECT_EQ(legendenstufe(4, 5, true), 255);
    // toward zero, as a value below 0 is truncated to its level
    EXPECT_EQ(legendenstufe(1, 4, true), -85);
    EXPECT_EQ(legendenstufe(1, 7, true), -170);
    EXPECT_EQ(legendenstufe(1, 65536, true), (510 - 255 * 65535) / 65535);
}

// ---- Difference raster -------------------------------------------------------------

// The pixel at (fx, fy): the interpolation between cell centres term by
// term, cells outside the grid 0, no cut-off.
float differenz_bei(const std::vector<float>& d, int n_rows, int n_cols, float x, float y)
{
    const int i_col = (int)((double)x + 0.5), i_row = (int)((double)y + 0.5);
    const float dx = x - (float)i_col, dy = y - (float)i_row;
    if (i_col < 0 || i_col >= n_cols || i_row < 0 || i_row >= n_rows)
        return 0;
    auto V = [&](int r, int c) {
        return r < 0 || c < 0 || r >= n_rows || c >= n_cols ? 0.0f : d[(size_t)r * n_cols + c];
    };
    const int rn = dy >= 0 ? i_row + 1 : i_row - 1, cn = dx > 0 ? i_col + 1 : i_col - 1;
    const float adx = std::fabs(dx), ady = std::fabs(dy);
    float f = 0;
    f += V(i_row, i_col) * (1 - adx) * (1 - ady);
    f += V(rn, i_col) * (1 - adx) * ady;
    f += V(i_row, cn) * adx * (1 - ady);
    f += V(rn, cn) * adx * ady;
    return f;
}

struct RASTER {
    int breite;
    std::vector<unsigned char> rgb;
};

void schreiben(void* ausgabe, int x, int y, const unsigned char* farbe)
{
    RASTER* r = (RASTER*)ausgabe;
    memcpy(&r->rgb[3 * ((size_t)y * r->breite + x)], farbe, 3);
}

// The raster as defined, one pixel at a time.
RASTER punktweise(const std::vector<float>& d, const std::vector<int>& maske, int n_rows,
                  int n_cols, const BILDPARAMETER& par, long long maximum, int kontrast)
{
    const int res = par.resolution, W = n_cols * res + 2 * par.frame,
              H = n_rows * res + 2 * par.frame, w = n_cols * res, h = n_rows * res;
    RASTER r{W, std::vector<unsigned char>(3 * (size_t)W * H)};
    const unsigned char rahmen[3] = {64, 64, 64}, gitter[3] = {128, 128, 128},
                        maskiert[3] = {208, 208, 208};
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            schreiben(&r, x, y, rahmen);
    const float s = maximum > 0 ? (float)(255.0 / (double)maximum) : 0.0f;
    const float step = (float)(1.0 / res);
    int j = 0;
    for (int i_row = n_rows - 1; i_row >= 0; --i_row) {
        float fy = (float)(i_row + 0.4);
        for (int l = 0; l < res; ++l, ++j) {
            int m = 0;
            for (int i_col = 0; i_col < n_cols; ++i_col) {
                float fx = (float)(i_col - 0.5);
                for (int k = 0; k < res; ++k, ++m) {
                    unsigned char farbe[3];
                    const unsigned char* p = farbe;
                    if (par.grid && ((j | par.grid) & 1) && k == res - 1 && m < w - 1)
                        p = gitter;
                    else if (par.grid && ((m | par.grid) & 1) && l == res - 1 && j < h - 1)
                        p = gitter;
                    else if (par.mask && maske[(size_t)i_row * n_cols + i_col])
                        p = maskiert;
                    else {
                        float v = differenz_bei(d, n_rows, n_cols, fx, fy) * s;
                        v = v < -255.0f ? -255.0f : v > 255.0f ? 255.0f : v;
                        differenzfarbe((int)v, kontrast, farbe);
                    }
                    schreiben(&r, par.frame + m, par.frame + j, p);
                    fx += step;
                }
            }
            fy -= step;
        }
    }
    return r;
}

TEST(Differenzbild, ZeilenrasterWiePunktweise)
{
    std::mt19937 zufall(11);
    const BILDPARAMETER parameter[] = {
        {20, 0, 0, 0, 80}, {7, 1, 3, 1, 80}, {1, 0, 0, 0, 80}, {4, 2, 0, 1, 80}, {13, 1, 1, 0, 80}};
    for (int fall = 0; fall < 40; ++fall) {
        const int n_rows = 1 + (int)(zufall() % 6), n_cols = 1 + (int)(zufall() % 7);
        const int n = n_rows * n_cols;
        std::vector<int> a((size_t)n), b((size_t)n), maske((size_t)n);
        for (int i = 0; i < n; ++i) {
            a[(size_t)i] = (int)(zufall() % 120) - 1;
            b[(size_t)i] = zufall() % 3 == 0 ? 0 : (int)(zufall() % 120);
            maske[(size_t)i] = zufall() % 5 == 0;
        }
        std::vector<float> d((size_t)n);
        const long long groesste = differenzen(a.data(), b.data(), n, d.data());
        const BILDPARAMETER& par = parameter[fall % 5];
        const long long maximum = fall % 3 == 0 ? 50 : groesste;
        const int kontrast = fall % 4;
        const RASTER soll = punktweise(d, maske, n_rows, n_cols, par, maximum, kontrast);
        RASTER ist{soll.breite, std::vector<unsigned char>(soll.rgb.size())};
        ASSERT_TRUE(differenzbild_zeichnen(&ist, schreiben, d.data(), maske.data(), n_rows,
                                           n_cols, &par, maximum, kontrast));
        EXPECT_TRUE(ist.rgb == soll.rgb) << "Fall " << fall;
    }
}

TEST(Differenzbild, DifferenzenUndGroessen)
{
    const int a[] = {5, -1, INT_MAX, 0, 7};
    const int b[] = {2, 9, 0, INT_MAX, -1};
    float d[5];
    EXPECT_EQ(differenzen(a, b, 5, d), (long long)INT_MAX);
    EXPECT_EQ(d[0], -3.0f);
    EXPECT_EQ(d[1], 0.0f);
    EXPECT_EQ(d[2], -(float)INT_MAX);
    EXPECT_EQ(d[4], 0.0f);
    const int c[] = {INT_MAX};
    const int e[] = {0};
    EXPECT_EQ(differenzen(e, c, 1, d), (long long)INT_MAX);
    // sizes refused as for jpegdata: nothing drawn
    BILDPARAMETER par = {65501, 0, 0, 0, 80};
    RASTER r{0, {}};
    EXPECT_FALSE(differenzbild_zeichnen(&r, schreiben, d, nullptr, 1, 1, &par, 1, 0));
    unsigned char* puffer = nullptr;
    unsigned long laenge = 0;
    char meldung[dbld_bild::MELDUNG_MAX];
    bool mangel = true;
    EXPECT_FALSE(differenzbild_jpeg(&puffer, &laenge, d, nullptr, 1, 1, &par, 1, 0, meldung,
                                    &mangel));
    EXPECT_STREQ(meldung, "Bildbreite > 65500");
    EXPECT_FALSE(mangel);
    EXPECT_EQ(puffer, nullptr);
    par.resolution = 4;
    ASSERT_TRUE(differenzbild_jpeg(&puffer, &laenge, d, nullptr, 1, 1, &par, 1, 0, meldung,
                                   &mangel));
    EXPECT_GT(laenge, 100u);
    EXPECT_EQ(puffer[0], 0xff);
    EXPECT_EQ(puffer[1], 0xd8);
    free(puffer);
}

// ---- Silent outlines -----------------------------------------------------------------

TEST(Umrisse, StillDieselbenPunkte)
{
    TestBild bild(10, 16);
    bild.block(4, 5, 2, 3, 10);
    bild.block(3, 6, 11, 13, 30);
    DBLD_min_max(&bild.dbld);
    const DBLD_LOGLEVEL vorher = dbld_loglevel;

    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    AUSWERTUNGSERGEBNIS laut;
    ASSERT_EQ(DBLD_auswertung_huellen(&laut, &bild.dbld), 1);
    const std::string listing = testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
    EXPECT_NE(listing.find("gnuplot"), std::string::npos);
    dbld_loglevel = DBLD_LOGLEVEL_DBG2;

    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    AUSWERTUNG_HUELLEN still;
    int seiten;
    {
        dbld_intern::LOG_STUMM stumm;
        seiten = dbld_huellen_intern::huellen_auswerten(&still, &bild.dbld, nullptr,
                                                        huelle_bei_prozent);
        dbld_err_msg("nicht zu sehen\n");
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    // the loud evaluation lowers DBG2 to DBG; the silenced one leaves it
    EXPECT_EQ(dbld_loglevel, DBLD_LOGLEVEL_DBG2);
    dbld_loglevel = vorher;
    EXPECT_EQ(seiten, 3);
    const HUELLE* a[2] = {&laut.huellen.huelle_links, &laut.huellen.huelle_rechts};
    const HUELLE* b[2] = {&still.huelle_links, &still.huelle_rechts};
    for (int seite = 0; seite < 2; ++seite) {
        ASSERT_EQ(a[seite]->n_punkte, b[seite]->n_punkte);
        EXPECT_GT(a[seite]->n_punkte, 3);
        EXPECT_EQ(memcmp(a[seite]->punkte, b[seite]->punkte,
                         sizeof(MATTENPUNKT) * (size_t)a[seite]->n_punkte),
                  0);
    }
    DBLD_huellen_freigeben(&laut.huellen);
    DBLD_huellen_freigeben(&still);
}

} // namespace
