// The fast evaluations against the point-by-point reference: the same
// result records bit for bit, the same diagnostics byte for byte, on
// generated images of every kind and on the bundled recordings; and the
// fast sampler against DBLD_dbldvalsq.
#include <gtest/gtest.h>

#include "dbld.h"
#include "dbld_abtaster.h"
#include "dbld_intern.h"
#include "referenz_auswertung.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

// Deterministic generator (splitmix64), the same images on every platform.
struct Zufall {
    uint64_t zustand;
    explicit Zufall(uint64_t saat) : zustand(saat) {}
    uint64_t naechste()
    {
        uint64_t z = (zustand += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    // Whole number in lo .. hi.
    long long zahl(long long lo, long long hi)
    {
        return lo + (long long)(naechste() % (uint64_t)(hi - lo + 1));
    }
    bool wurf(int prozent) { return zahl(0, 99) < prozent; }
    double anteil() { return (double)(naechste() >> 11) / 9007199254740992.0; }
};

struct Bild {
    int n_y = 0, n_x = 0;
    std::vector<int> werte, maske;
    std::string art;

    DBLD dbld()
    {
        // One element at least, so that the pointers of an empty image are valid.
        if (werte.empty())
            werte.push_back(0);
        if (maske.size() < werte.size())
            maske.resize(werte.size(), 0);
        return DBLD{n_y, n_x, werte.data(), 0, 0, maske.data()};
    }
};

// Sizes: mostly small and odd, with single rows and columns and empty images.
void groesse(Zufall& z, Bild& b)
{
    switch (z.zahl(0, 9)) {
    case 0: b.n_y = 1; b.n_x = (int)z.zahl(1, 40); break;
    case 1: b.n_y = (int)z.zahl(1, 40); b.n_x = 1; break;
    case 2:
        b.n_y = (int)z.zahl(0, 3);
        b.n_x = b.n_y == 0 ? (int)z.zahl(0, 5) : (int)z.zahl(0, 3);
        break;
    default: b.n_y = (int)z.zahl(2, 36); b.n_x = (int)z.zahl(2, 36); break;
    }
}

// One generated image; the kind is chosen by nummer so that every kind
// appears regularly.
Bild erzeugen(Zufall& z, int nummer)
{
    Bild b;
    groesse(z, b);
    size_t n = (size_t)b.n_y * b.n_x;
    b.werte.assign(n, 0);
    auto at = [&](int r, int c) -> int& { return b.werte[(size_t)r * b.n_x + c]; };
    switch (nummer % 9) {
    case 0: // sparse noise
        b.art = "duenn";
        for (int& v : b.werte)
            if (z.wurf(12))
                v = (int)z.zahl(1, 120);
        break;
    case 1: // dense values of both signs
        b.art = "gemischt";
        for (int& v : b.werte)
            v = z.wurf(30) ? 0 : (int)z.zahl(-40, 200);
        break;
    case 2: // seated-like: one or two mounds on a low background
    case 3: {
        b.art = "sitz";
        int huegel = (int)z.zahl(1, 3);
        double hy[3], hx[3], hoehe[3], breite[3];
        for (int k = 0; k < huegel; ++k) {
            hy[k] = z.anteil() * b.n_y;
            hx[k] = z.anteil() * b.n_x;
            hoehe[k] = 20 + z.anteil() * 200;
            breite[k] = 0.5 + z.anteil() * 6;
        }
        for (int r = 0; r < b.n_y; ++r)
            for (int c = 0; c < b.n_x; ++c) {
                double v = z.anteil() * 4;
                for (int k = 0; k < huegel; ++k) {
                    double d = std::hypot(r - hy[k], c - hx[k]) / breite[k];
                    v += hoehe[k] * std::exp(-d * d);
                }
                at(r, c) = v < 3 ? 0 : (int)v;
            }
        break;
    }
    case 4: { // plateaus: flat rectangles, ties everywhere
        b.art = "plateau";
        int flaechen = (int)z.zahl(1, 4);
        for (int k = 0; k < flaechen && n > 0; ++k) {
            int r0 = (int)z.zahl(0, b.n_y - 1), c0 = (int)z.zahl(0, b.n_x - 1);
            int r1 = (int)std::min<long long>(b.n_y - 1, r0 + z.zahl(0, 12));
            int c1 = (int)std::min<long long>(b.n_x - 1, c0 + z.zahl(0, 12));
            int v = (int)z.zahl(1, 4) * 25;
            for (int r = r0; r <= r1; ++r)
                for (int c = c0; c <= c1; ++c)
                    at(r, c) = v;
        }
        break;
    }
    case 5: // huge values near INT_MAX, some of them negative
        b.art = "riesig";
        for (int& v : b.werte)
            if (z.wurf(60))
                v = z.wurf(85) ? INT_MAX - (int)z.zahl(0, 1000)
                               : (z.wurf(50) ? INT_MIN + (int)z.zahl(0, 1000) : -(int)z.zahl(1, 9));
        break;
    case 6: // small values around val_min and single ones
        b.art = "klein";
        for (int& v : b.werte)
            v = z.wurf(55) ? (int)z.zahl(1, 3) : 0;
        break;
    case 7: // values that cancel: the running weights come back to 0
        b.art = "aufheben";
        for (size_t i = 0; i < n; ++i) {
            int v = (int)z.zahl(1, 6);
            b.werte[i] = i % 2 ? -b.werte[i - 1] : (z.wurf(20) ? 0 : v);
        }
        break;
    default: // blocks of 0 / 1 / large, thin lines and diagonals
        b.art = "linien";
        for (int k = 0; k < 4 && n > 0; ++k) {
            int r = (int)z.zahl(0, b.n_y - 1), c = (int)z.zahl(0, b.n_x - 1);
            int laenge = (int)z.zahl(1, 15), richtung = (int)z.zahl(0, 3);
            int v = z.wurf(50) ? 1 : (int)z.zahl(100, 100000);
            for (int i = 0; i < laenge && r >= 0 && r < b.n_y && c >= 0 && c < b.n_x; ++i) {
                at(r, c) = v;
                r += richtung == 1 ? 0 : 1;
                c += richtung == 0 ? 0 : (richtung == 3 ? -1 : 1);
            }
        }
        break;
    }
    b.maske.assign(n, 0);
    if (z.wurf(50))
        for (int& m : b.maske)
            m = z.wurf(20) ? (int)z.zahl(1, 3) : 0;
    return b;
}

std::string beschreibung(const Bild& b, int nummer)
{
    return "Bild " + std::to_string(nummer) + " (" + b.art + ", " + std::to_string(b.n_y) +
           " x " + std::to_string(b.n_x) + ")";
}

// Runs an evaluation at a log level and returns what it wrote to stderr.
template <class F>
std::string mit_protokoll(DBLD_LOGLEVEL level, F auswertung)
{
    DBLD_LOGLEVEL alt = dbld_loglevel;
    dbld_loglevel = level;
    testing::internal::CaptureStderr();
    auswertung();
    std::string text = testing::internal::GetCapturedStderr();
    dbld_loglevel = alt;
    return text;
}

// Both evaluations on one image: return values and records (prefilled with
// the same pattern, since std+ leaves fields alone) compared byte for byte.
void std_vergleichen(Bild& b, const std::string& name)
{
    DBLD d = b.dbld();
    AUSWERTUNGSERGEBNIS schnell, referenz;
    memset(&schnell, 0xA5, sizeof schnell);
    memset(&referenz, 0xA5, sizeof referenz);
    EXPECT_EQ(DBLD_auswertung_std(&schnell, &d), referenz::auswertung_std(&referenz, &d)) << name;
    EXPECT_EQ(memcmp(&schnell.std, &referenz.std, sizeof schnell.std), 0) << name;
}

void stdplus_vergleichen(Bild& b, const std::string& name)
{
    DBLD d = b.dbld();
    AUSWERTUNGSERGEBNIS schnell, referenz;
    memset(&schnell, 0x5A, sizeof schnell);
    memset(&referenz, 0x5A, sizeof referenz);
    EXPECT_EQ(DBLD_auswertung_stdplus(&schnell, &d), referenz::auswertung_stdplus(&referenz, &d))
        << name;
    EXPECT_EQ(memcmp(&schnell.stdplus, &referenz.stdplus, sizeof schnell.stdplus), 0) << name;
}

void cop_vergleichen(Bild& b, const std::string& name)
{
    DBLD d = b.dbld();
    double x1 = 7, y1 = 7, x2 = 7, y2 = 7;
    EXPECT_EQ(DBLD_auswertung_cop(&x1, &y1, &d), referenz::auswertung_cop(&x2, &y2, &d)) << name;
    EXPECT_EQ(memcmp(&x1, &x2, sizeof x1), 0) << name << ": " << x1 << " / " << x2;
    EXPECT_EQ(memcmp(&y1, &y2, sizeof y1), 0) << name << ": " << y1 << " / " << y2;
}

void bereinigen_vergleichen(Bild& b, const std::string& name)
{
    size_t n = (size_t)b.n_y * b.n_x;
    std::vector<int> schnell(n + 1, -7), referenz(n + 1, -7);
    EXPECT_TRUE(dbld_intern::druckbild_bereinigen(schnell.data(), b.werte.data(), b.n_y, b.n_x));
    referenz::druckbild_bereinigen(referenz.data(), b.werte.data(), b.n_y, b.n_x);
    EXPECT_EQ(schnell, referenz) << name;
}

TEST(Referenz, CleaningMatchesTheWalk)
{
    Zufall z(1);
    for (int i = 0; i < 4000; ++i) {
        Bild b = erzeugen(z, i);
        bereinigen_vergleichen(b, beschreibung(b, i));
    }
}

TEST(Referenz, CleaningOfEveryNeighbourPattern)
{
    // The centre of a 3 x 3 image and the cells of a 3 x 4 and a 4 x 3
    // image under all 2^8 (2^12) patterns of positive neighbours, so that
    // every table entry and every border case is met.
    for (int muster = 0; muster < 4096; ++muster) {
        const int formen[3][2] = {{3, 3}, {3, 4}, {4, 3}};
        for (const auto& f : formen) {
            Bild b;
            b.n_y = f[0];
            b.n_x = f[1];
            b.werte.assign(12, 0);
            for (int k = 0; k < f[0] * f[1]; ++k)
                b.werte[k] = (muster >> k) & 1 ? 9 : (k % 3 == 1 ? -4 : 0);
            bereinigen_vergleichen(b, "Muster " + std::to_string(muster));
        }
    }
}

TEST(Referenz, StdAndCopMatchOnGeneratedImages)
{
    Zufall z(2);
    for (int i = 0; i < 6000; ++i) {
        Bild b = erzeugen(z, i);
        std::string name = beschreibung(b, i);
        std_vergleichen(b, name);
        cop_vergleichen(b, name);
    }
}

TEST(Referenz, StdplusMatchesOnGeneratedImages)
{
    Zufall z(3);
    for (int i = 0; i < 2500; ++i) {
        Bild b = erzeugen(z, i);
        stdplus_vergleichen(b, beschreibung(b, i));
    }
}

TEST(Referenz, LargerSeatedFramesMatch)
{
    // Frames of the sizes the benchmarks use, with random mounds.
    Zufall z(4);
    for (int i = 0; i < 24; ++i) {
        Bild b;
        b.n_y = b.n_x = 16 << (i % 4);
        b.werte.assign((size_t)b.n_y * b.n_x, 0);
        double hy = (0.3 + 0.3 * z.anteil()) * b.n_y, h = b.n_x / 2.0;
        for (int r = 0; r < b.n_y; ++r)
            for (int c = 0; c < b.n_x; ++c) {
                double d1 = std::hypot(r - hy, c - 0.3 * b.n_x) / h;
                double d2 = std::hypot(r - hy, c - 0.7 * b.n_x) / h;
                int v = (int)(80 * std::exp(-8 * d1 * d1) + 70 * std::exp(-8 * d2 * d2) +
                              3 * z.anteil());
                b.werte[(size_t)r * b.n_x + c] = v < 3 ? 0 : v;
            }
        std::string name = "Sitzbild " + std::to_string(b.n_y);
        std_vergleichen(b, name);
        stdplus_vergleichen(b, name);
        cop_vergleichen(b, name);
    }
}

// The diagnostics of both evaluations at one level, compared byte for byte.
void protokolle_vergleichen(Bild& b, DBLD_LOGLEVEL level, const std::string& name)
{
    DBLD d = b.dbld();
    AUSWERTUNGSERGEBNIS e1, e2;
    std::string schnell = mit_protokoll(level, [&] {
        DBLD_auswertung_std(&e1, &d);
        DBLD_auswertung_stdplus(&e1, &d);
    });
    std::string referenz = mit_protokoll(level, [&] {
        referenz::auswertung_std(&e2, &d);
        referenz::auswertung_stdplus(&e2, &d);
    });
    if (schnell != referenz) {
        // The first difference with some text around it.
        size_t i = 0;
        while (i < schnell.size() && i < referenz.size() && schnell[i] == referenz[i])
            ++i;
        size_t von = i > 80 ? i - 80 : 0;
        ADD_FAILURE() << name << " level " << level << ": diagnostics differ at byte " << i
                      << "\nfast:      " << schnell.substr(von, 160)
                      << "\nreference: " << referenz.substr(von, 160);
    }
    if (level < DBLD_LOGLEVEL_DBG) {
        EXPECT_EQ(schnell, "") << name;
    }
}

TEST(Referenz, CountsWithoutCells)
{
    // Zero and negative counts, as a direct caller may pass them.
    const int formen[][2] = {{0, 0}, {0, 5}, {5, 0}, {-2, -3}, {-2, 3}, {2, -3}, {-1, -1}};
    for (const auto& f : formen) {
        Bild b;
        b.n_y = f[0];
        b.n_x = f[1];
        b.werte.assign(8, 3);
        b.maske.assign(8, 0);
        std::string name = std::to_string(f[0]) + " x " + std::to_string(f[1]);
        std_vergleichen(b, name);
        stdplus_vergleichen(b, name);
        cop_vergleichen(b, name);
        protokolle_vergleichen(b, DBLD_LOGLEVEL_DBG2, name);
    }
}

TEST(Referenz, DiagnosticsMatchAtEveryLevel)
{
    Zufall z(5);
    int mit_ringzeilen = 0;
    for (int i = 0; i < 64; ++i) {
        Bild b = erzeugen(z, i);
        std::string name = beschreibung(b, i);
        protokolle_vergleichen(b, DBLD_LOGLEVEL_DBG2, name);
        protokolle_vergleichen(b, (DBLD_LOGLEVEL)(i % 4), name);
        DBLD d = b.dbld();
        AUSWERTUNGSERGEBNIS e;
        std::string text =
            mit_protokoll(DBLD_LOGLEVEL_DBG2, [&] { DBLD_auswertung_stdplus(&e, &d); });
        if (text.find("\xb0 => x=") != std::string::npos)
            ++mit_ringzeilen;
    }
    // The per-sample lines were really written and compared.
    EXPECT_GT(mit_ringzeilen, 40);
}

// The bundled recordings, read with DBLD_get (masks from the -1 cells).
std::vector<Bild> aufnahmen()
{
    std::string quelle = __FILE__;
    const char* umgebung = getenv("DBLD_SOURCE_DIR");
    std::string ordner = umgebung ? std::string(umgebung)
                                  : quelle.substr(0, quelle.rfind("/tests/unit/"));
    ordner += "/data/seated/";
    std::vector<Bild> bilder;
    for (const char* datei :
         {"cabseat_u125_bef74db6_seat12x10.txt", "cabseat_u134_d3271105_seat12x10.txt",
          "cabseat_u136_b37c6351_seat12x10.txt", "cabseat_u82_4b2a3ea0_seat12x10.txt"}) {
        FILE* fp = fopen((ordner + datei).c_str(), "r");
        EXPECT_TRUE(fp) << ordner + datei;
        if (!fp)
            continue;
        while (DBLD* d = DBLD_get(fp)) {
            Bild b;
            b.n_y = d->n_rows;
            b.n_x = d->n_cols;
            size_t n = (size_t)b.n_y * b.n_x;
            b.werte.assign(d->dbld, d->dbld + n);
            b.maske.assign(d->mask, d->mask + n);
            b.art = datei;
            bilder.push_back(std::move(b));
            DBLD_delete(&d);
        }
        fclose(fp);
    }
    return bilder;
}

TEST(Referenz, BundledRecordingsMatch)
{
    std::vector<Bild> bilder = aufnahmen();
    EXPECT_GE(bilder.size(), 30u);
    for (size_t i = 0; i < bilder.size(); ++i) {
        Bild& b = bilder[i];
        std::string name = beschreibung(b, (int)i);
        std_vergleichen(b, name);
        stdplus_vergleichen(b, name);
        cop_vergleichen(b, name);
        // Also with an all-zero mask, as the command passes it.
        Bild ohne;
        ohne.n_y = b.n_y;
        ohne.n_x = b.n_x;
        ohne.werte = b.werte;
        cop_vergleichen(ohne, name + " ohne Maske");
        if (i % 4 == 0)
            protokolle_vergleichen(b, DBLD_LOGLEVEL_DBG2, name);
    }
}

// ---- The fast sampler against DBLD_dbldvalsq ------------------------------

// Positions near and on cell centres, halfway points, the borders, far off
// the grid, and the non-finite and huge ones.
float position(Zufall& z, int n)
{
    static const float besondere[] = {
        0.0f, -0.0f, 0.5f, -0.5f, -1.0f, -1.5f, -1.4999999f, -0.99999994f, 0.49999997f,
        1e10f, -1e10f, 2147483648.0f, -2147483648.0f, 2147483520.0f, 4e9f,
        std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
        std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::denorm_min()};
    switch (z.zahl(0, 9)) {
    case 0: return besondere[z.zahl(0, sizeof besondere / sizeof besondere[0] - 1)];
    case 1: return (float)n - 0.5f + (float)z.zahl(-2, 2) * 1e-6f;
    case 2: return (float)z.zahl(-2, n + 1) * 0.5f;
    case 3: {
        uint32_t bits = (uint32_t)z.naechste();
        float f;
        memcpy(&f, &bits, sizeof f);
        return f;
    }
    default: return (float)(-3 + z.anteil() * (n + 6));
    }
}

TEST(Abtaster, SameValueAsDbldvalsqEverywhere)
{
    Zufall z(6);
    long verglichen = 0, positiv = 0;
    for (int i = 0; i < 1500; ++i) {
        Bild b = erzeugen(z, i);
        DBLD d = b.dbld();
        // val_min as the record functions leave it, and a few others.
        switch (i % 4) {
        case 0: d.val_min = 0; break;
        case 1: d.val_min = (int)z.zahl(1, 60); break;
        case 2: d.val_min = -(int)z.zahl(1, 60); break;
        default: DBLD_min_max(&d); break;
        }
        dbld_intern::ABTASTER abtaster;
        ASSERT_TRUE(abtaster.anlegen(d.dbld, d.n_rows, d.n_cols, d.val_min));
        const dbld_intern::ABTASTSICHT sicht = abtaster.sicht();
        for (int k = 0; k < 400; ++k) {
            float x = position(z, b.n_x), y = position(z, b.n_y);
            float schnell = sicht.wert(x, y), referenz = DBLD_dbldvalsq(&d, x, y);
            // The same through the split for many positions of one x.
            float geteilt = sicht.wert(sicht.spalte(x), y);
            ++verglichen;
            positiv += referenz > 0;
            ASSERT_EQ(memcmp(&schnell, &referenz, sizeof schnell), 0)
                << beschreibung(b, i) << " at (" << x << ", " << y << "): " << schnell
                << " / " << referenz;
            ASSERT_EQ(memcmp(&geteilt, &referenz, sizeof geteilt), 0)
                << beschreibung(b, i) << " at (" << x << ", " << y << "), split: " << geteilt
                << " / " << referenz;
        }
    }
    EXPECT_GT(positiv, verglichen / 10);
}

TEST(Abtaster, EmptyAndNegativeCounts)
{
    int wert = 5;
    const int formen[][2] = {{0, 0}, {0, 3}, {3, 0}, {-1, 4}, {4, -1}};
    for (const auto& f : formen) {
        dbld_intern::ABTASTER abtaster;
        ASSERT_TRUE(abtaster.anlegen(&wert, f[0], f[1], 0));
        EXPECT_EQ(abtaster.sicht().wert(0, 0), 0.0f);
        EXPECT_EQ(abtaster.sicht().wert(-0.75f, -0.75f), 0.0f);
        // -0.75 + 0.5 truncates to column 0, which an empty image does not
        // have: no cell at all, not a read beside the grid.
        EXPECT_FALSE(abtaster.sicht().spalte(-0.75f).im_raster);
        EXPECT_FALSE(abtaster.sicht().spalte(0).im_raster);
    }
    {
        int eins = 7;
        dbld_intern::ABTASTER abtaster;
        ASSERT_TRUE(abtaster.anlegen(&eins, 1, 1, 0));
        EXPECT_TRUE(abtaster.sicht().spalte(-0.75f).im_raster);
        EXPECT_FALSE(abtaster.sicht().spalte(0.5f).im_raster);
    }
    // A later anlegen replaces the earlier image; raster() and fertig() are
    // the same as anlegen() with the values written by the caller.
    dbld_intern::ABTASTER abtaster;
    int drei[9] = {0, 0, 0, 0, 100, 0, 0, 0, 0};
    ASSERT_TRUE(abtaster.anlegen(drei, 3, 3, 0));
    EXPECT_EQ(abtaster.sicht().wert(1.5f, 1.5f), 25.0f);
    ASSERT_TRUE(abtaster.anlegen(&wert, 1, 1, 0));
    EXPECT_EQ(abtaster.sicht().wert(0, 0), 5.0f);
    EXPECT_EQ(abtaster.sicht().wert(1.5f, 1.5f), 0.0f);
    float* raster = abtaster.raster(3, 3);
    ASSERT_TRUE(raster);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            raster[r * abtaster.abstand() + c] = (float)drei[r * 3 + c];
    abtaster.fertig(30);
    EXPECT_EQ(abtaster.sicht().wert(1.5f, 1.5f), 0.0f); // 25 < val_min
    EXPECT_EQ(abtaster.sicht().wert(1.5f, 1.0f), 50.0f);
}

} // namespace
