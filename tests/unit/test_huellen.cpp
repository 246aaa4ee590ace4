// Hull evaluation: pseudo-angle, hull search, chart and listing, and
// DBLD_auswertung_huellen on crafted images.
#include "bild_helfer.h"
#include "dbld_huellen_intern.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace dbld_huellen_intern;

const std::string ue = "\xdc" "berg";

// Saves and restores the process-wide settings the evaluation reads and
// changes.
class Huellen : public ::testing::Test {
protected:
    DBLD_LOGLEVEL alt_stufe = dbld_loglevel;
    int alt_prozent = huelle_bei_prozent;
    int alt_raster = n_rasterpunkte;
    void TearDown() override
    {
        dbld_loglevel = alt_stufe;
        huelle_bei_prozent = alt_prozent;
        n_rasterpunkte = alt_raster;
    }
};


UEBERGAENGE_BLOCK sammlung(std::initializer_list<PUNKT> punkte)
{
    UEBERGAENGE_BLOCK u(uebergaenge_new(n_rasterpunkte));
    for (PUNKT p : punkte)
        uebergaenge_append(u.get(), p.x, p.y);
    u->mitte.x = (float)(u->x_min + u->x_max) / 2.0f;
    u->mitte.y = (float)(u->y_min + u->y_max) / 2.0f;
    return u;
}

// The hull search over the given points: the hull list in raster units and
// the caller's HUELLE.
struct Suche {
    UEBERGAENGE_BLOCK u;
    HUELLE huelle{0, nullptr};
    std::vector<std::pair<int, int>> liste;
    std::string log;
    ~Suche() { free(huelle.punkte); }
};

void suchen(Suche* s, std::initializer_list<PUNKT> punkte)
{
    s->u = sammlung(punkte);
    testing::internal::CaptureStderr();
    int n = uebergaenge_wrap(&s->huelle, s->u.get());
    s->log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(n, s->u->n_huelle);
    EXPECT_EQ(s->huelle.n_punkte, n);
    for (int i = 0; i < n; ++i)
        s->liste.emplace_back(s->u->punkte[i].x, s->u->punkte[i].y);
}

using Liste = std::vector<std::pair<int, int>>;

// One run of the evaluation with its standard output and log.
struct Lauf {
    AUSWERTUNGSERGEBNIS e;
    int rc = -1;
    std::string aus, log;
    ~Lauf() { DBLD_huellen_freigeben(&e.huellen); }
};

void auswerten(Lauf* l, const DBLD* d)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    l->rc = DBLD_auswertung_huellen(&l->e, d);
    l->log = testing::internal::GetCapturedStderr();
    l->aus = testing::internal::GetCapturedStdout();
}

std::string gnuplot_leer(int x_offset, const char* mitte)
{
    return "# " + ue + "aenge f\xfcr gnuplot, x_offset = " + std::to_string(x_offset)
        + "\n# F\xfcr korrekte Darstellung:\n# gnuplot> set size ratio -1\n"
          "# Mittelpunkt:\n" + mitte + "\n# Ende: " + ue + "aenge f\xfcr gnuplot\n";
}

// The point lines of a gnuplot listing, in order.
std::vector<std::string> punktzeilen(const std::string& listing)
{
    std::vector<std::string> zeilen;
    std::istringstream in(listing);
    std::string z;
    while (std::getline(in, z))
        if (!z.empty() && z[0] != '#')
            zeilen.push_back(z);
    return zeilen;
}

std::string zeile(float x, float y)
{
    char puffer[64];
    snprintf(puffer, sizeof puffer, "%5.2f\t%5.2f", x, y);
    return puffer;
}

TEST_F(Huellen, TuningDefaults)
{
    EXPECT_EQ(huelle_bei_prozent, 75);
    EXPECT_EQ(n_rasterpunkte, 8);
    UEBERGAENGE_BLOCK u(uebergaenge_new(8));
    ASSERT_TRUE(u);
    EXPECT_EQ(u->max, 800);
    EXPECT_EQ(u->n_punkte, 0);
    EXPECT_EQ(u->x_min, -1);
    EXPECT_EQ(u->y_max, -1);
    EXPECT_FALSE(uebergaenge_new(0));
    EXPECT_FALSE(uebergaenge_new(INT_MAX / 100 + 1));
}

TEST_F(Huellen, ThetaDirections)
{
    const PUNKT o{3, 4};
    struct Fall {
        int dx, dy;
        float winkel;
    } faelle[] = {{1, 0, 0},    {1, 1, 45},   {0, 1, 90},   {-1, 1, 135},
                  {-1, 0, 180}, {-1, -1, 225}, {0, -1, 270}, {1, -1, 315},
                  {0, 0, 0},    {5, 0, 0},    {0, -7, 270}};
    for (const Fall& f : faelle)
        EXPECT_EQ(theta(o, PUNKT{o.x + f.dx, o.y + f.dy}), f.winkel) << f.dx << "," << f.dy;
    // Not an angle but its pseudo-angle: (2, 1) gives 90 * 1/3, not 26.57.
    EXPECT_EQ(theta(o, PUNKT{5, 5}), 90.0f * (1.0f / 3.0f));
    EXPECT_EQ(theta(o, PUNKT{1, 5}), 90.0f * (2.0f - 1.0f / 3.0f));

    dbld_loglevel = DBLD_LOGLEVEL_DBG;
    testing::internal::CaptureStderr();
    theta(o, PUNKT{4, 5});
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    dbld_loglevel = DBLD_LOGLEVEL_DBG2;
    testing::internal::CaptureStderr();
    theta(o, PUNKT{4, 5});
    theta(o, PUNKT{1, 4});
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "W([3,4][4,5])= 45\xb0;W([3,4][1,4])=180\xb0;");
}

TEST_F(Huellen, FourPointExamples)
{
    {
        Suche s;
        suchen(&s, {{0, 0}, {2, 0}, {0, 2}, {2, 2}});
        EXPECT_EQ(s.liste, (Liste{{0, 0}, {2, 2}, {0, 2}}));
        ASSERT_EQ(s.huelle.n_punkte, 3);
        EXPECT_EQ(s.huelle.punkte[0].x, 0.0f);
        EXPECT_EQ(s.huelle.punkte[1].x, 0.25f);
        EXPECT_EQ(s.huelle.punkte[1].y, 0.25f);
        EXPECT_EQ(s.huelle.punkte[2].x, 0.0f);
        EXPECT_EQ(s.huelle.punkte[2].y, 0.25f);
        // Polar form around the centre (1, 1): equal distances, so every
        // deviation from the mean is (nearly) 0.
        const float pi = 3.14159265f;
        const float w[3] = {5 * pi / 4, pi / 4, 3 * pi / 4};
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(s.u->huelle[i].w, w[i], 1e-6) << i;
            EXPECT_NEAR(s.u->huelle[i].d, 0.0f, 1e-6) << i;
        }
    }
    {
        // The same points in the order the transition search stores them
        // (rows from the top down).
        Suche s;
        suchen(&s, {{0, 2}, {2, 2}, {0, 0}, {2, 0}});
        EXPECT_EQ(s.liste, (Liste{{0, 0}, {2, 2}, {0, 2}}));
    }
    {
        Suche s;
        suchen(&s, {{0, 0}, {4, 0}, {1, 2}, {5, 2}});
        EXPECT_EQ(s.liste, (Liste{{0, 0}, {5, 2}, {1, 2}}));
    }
}

TEST_F(Huellen, SearchLog)
{
    dbld_loglevel = DBLD_LOGLEVEL_DBG;
    Suche s;
    suchen(&s, {{0, 0}, {2, 0}, {0, 2}, {2, 2}});
    const std::string schritte =
        "i_min =   0, x=0, y=0, v=  0, th=  0, n_huelle=  0\n"
        "i_min =   3, x=2, y=2, v=  0, th= 45, n_huelle=  1\n"
        "i_min =   2, x=0, y=2, v= 45, th=180, n_huelle=  2\n"
        "i_min =   3, x=2, y=0, v=180, th=315, n_huelle=  3\n"
        "\nAbbruch: i_min =   4, x=0, y=0, v=315, th=360, n_huelle=  3\n";
    ASSERT_EQ(s.log.substr(0, schritte.size()), schritte);
    std::vector<std::string> polar = punktzeilen(s.log.substr(schritte.size()));
    ASSERT_EQ(polar.size(), 3u);
    EXPECT_EQ(polar[0].substr(0, 5), "3.93 ");
    EXPECT_EQ(polar[1].substr(0, 5), "0.79 ");
    EXPECT_EQ(polar[2].substr(0, 5), "2.36 ");

    // At DBG2 every angle is logged; a chosen candidate's twice.
    dbld_loglevel = DBLD_LOGLEVEL_DBG2;
    Suche s2;
    suchen(&s2, {{0, 0}, {1, 1}});
    const std::string anfang = "\ni_min =   0, x=0, y=0, v=  0, th=  0, n_huelle=  0\n"
                               "W([0,0][1,1])= 45\xb0;W([0,0][1,1])= 45\xb0;\n";
    EXPECT_EQ(s2.log.substr(0, anfang.size()), anfang);
}

TEST_F(Huellen, FewPoints)
{
    dbld_loglevel = DBLD_LOGLEVEL_ERR;
    {
        Suche s;
        suchen(&s, {});
        EXPECT_TRUE(s.liste.empty());
        EXPECT_EQ(s.huelle.punkte, nullptr);
        // Without a point, the log level stays.
        EXPECT_EQ(dbld_loglevel, DBLD_LOGLEVEL_ERR);
    }
    {
        Suche s;
        suchen(&s, {{4, 3}});
        EXPECT_TRUE(s.liste.empty());
        EXPECT_EQ(s.huelle.punkte, nullptr);
        EXPECT_EQ(dbld_loglevel, DBLD_LOGLEVEL_DBG);
    }
    dbld_loglevel = DBLD_LOGLEVEL_ERR;
    {
        Suche s;
        suchen(&s, {{3, 5}, {1, 2}});
        EXPECT_EQ(s.liste, (Liste{{1, 2}}));
        ASSERT_EQ(s.huelle.n_punkte, 1);
        EXPECT_EQ(s.huelle.punkte[0].x, 0.125f);
        EXPECT_EQ(s.huelle.punkte[0].y, 0.25f);
    }
    {
        // The second point lies at exactly 0 degrees.
        Suche s;
        suchen(&s, {{1, 2}, {6, 2}});
        EXPECT_TRUE(s.liste.empty());
    }
}

TEST_F(Huellen, CapacityIs799)
{
    UEBERGAENGE_BLOCK u(uebergaenge_new(8));
    testing::internal::CaptureStderr();
    for (int i = 0; i < 799; ++i)
        ASSERT_TRUE(uebergaenge_append(u.get(), i % 40, i / 40));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(uebergaenge_append(u.get(), 100, 100));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Zu viele " + ue + "\xe4nge.\n");
    EXPECT_EQ(u->n_punkte, 799);
    EXPECT_EQ(u->x_max, 39);
    EXPECT_EQ(u->y_max, 19);
}

TEST_F(Huellen, Chart)
{
    UEBERGAENGE_BLOCK u = sammlung({{1, 2}, {3, 2}, {2, 0}});
    dbld_loglevel = DBLD_LOGLEVEL_LOG;
    testing::internal::CaptureStderr();
    uebergaenge_plot(u.get());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "\n      1 2 3"
              "\n  2:  *   *"
              "\n  1: "
              "\n  0:    *"
              "\n      1 2 3\n");

    UEBERGAENGE_BLOCK leer = sammlung({});
    testing::internal::CaptureStderr();
    uebergaenge_plot(leer.get());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(Huellen, GnuplotListing)
{
    UEBERGAENGE_BLOCK u = sammlung({{1, 2}, {3, 4}});
    u->x_offset = 64;
    char* text = nullptr;
    size_t laenge = 0;
    FILE* fp = open_memstream(&text, &laenge);
    uebergaenge_gnuplot(fp, u.get());
    fclose(fp);
    std::string s(text, laenge);
    free(text);
    EXPECT_EQ(s, "# " + ue + "aenge f\xfcr gnuplot, x_offset = 64\n"
                 "# F\xfcr korrekte Darstellung:\n# gnuplot> set size ratio -1\n"
                 " 8.12\t 0.25\n 8.38\t 0.50\n"
                 "# Mittelpunkt:\n 8.25\t 0.38\n"
                 "# Ende: " + ue + "aenge f\xfcr gnuplot\n");
}

TEST_F(Huellen, EmptyImageAndWindowSizes)
{
    TestBild b(10, 16);
    dbld_loglevel = DBLD_LOGLEVEL_DBG;
    Lauf l;
    auswerten(&l, &b.dbld);
    EXPECT_EQ(l.rc, 1);
    EXPECT_EQ(l.e.huellen.huelle_links.n_punkte, 0);
    EXPECT_EQ(l.e.huellen.huelle_links.punkte, nullptr);
    EXPECT_EQ(l.e.huellen.huelle_rechts.n_punkte, 0);
    EXPECT_EQ(l.aus, gnuplot_leer(0, "-0.12\t-0.12") + gnuplot_leer(64, " 7.88\t-0.12"));

    std::string zeile9 = " 9: ";
    for (int i = 0; i < 8; ++i)
        zeile9 += "   0.0";
    const std::string links = "Uebergaenge (seite == links)\n" + zeile9 + "\n";
    EXPECT_EQ(l.log.substr(0, links.size()), links);
    EXPECT_NE(l.log.find("val_max = 0 => 75% bei 0 \n"
                         "x (8 x gerastert) 0 ... 63\n"
                         "y (8 x gerastert) 0 ... 79\n"),
              std::string::npos);
    EXPECT_NE(l.log.find("Uebergaenge (seite == rechts)\n"), std::string::npos);
    EXPECT_NE(l.log.find("x (8 x gerastert) 64 ... 127\n"
                         "y (8 x gerastert) 0 ... 79\n"),
              std::string::npos);

    // No transition: the log level is left alone.
    dbld_loglevel = DBLD_LOGLEVEL_WARN;
    Lauf l2;
    auswerten(&l2, &b.dbld);
    EXPECT_EQ(dbld_loglevel, DBLD_LOGLEVEL_WARN);
    EXPECT_EQ(l2.log, "");
}

TEST_F(Huellen, ThresholdTruncates)
{
    TestBild b(10, 16, {{4, 3, 199}});
    dbld_loglevel = DBLD_LOGLEVEL_DBG;
    Lauf l;
    auswerten(&l, &b.dbld);
    EXPECT_NE(l.log.find("val_max = 199 => 75% bei 149 \n"), std::string::npos);
    huelle_bei_prozent = 50;
    Lauf l2;
    auswerten(&l2, &b.dbld);
    EXPECT_NE(l2.log.find("val_max = 199 => 50% bei 99 \n"), std::string::npos);
}

// A hull list runs counter-clockwise (y up): every turn is to the left.
void pruefe_konvex(const HUELLE& h)
{
    for (int i = 0; i + 2 < h.n_punkte; ++i) {
        const MATTENPUNKT &a = h.punkte[i], &b = h.punkte[i + 1], &c = h.punkte[i + 2];
        float kreuz = (b.x - a.x) * (c.y - b.y) - (b.y - a.y) * (c.x - b.x);
        EXPECT_GE(kreuz, 0.0f) << "at " << i;
    }
}

// Bounds of a hull in cells.
struct Rahmen {
    float x0 = 1e9f, x1 = -1e9f, y0 = 1e9f, y1 = -1e9f;
};
Rahmen rahmen(const HUELLE& h)
{
    Rahmen r;
    for (int i = 0; i < h.n_punkte; ++i) {
        r.x0 = std::min(r.x0, h.punkte[i].x);
        r.x1 = std::max(r.x1, h.punkte[i].x);
        r.y0 = std::min(r.y0, h.punkte[i].y);
        r.y1 = std::max(r.y1, h.punkte[i].y);
    }
    return r;
}

// Left: block rows 3..5, columns 2..4 of 100; right: rows 4..6, columns
// 10..12 of 80.  The 75 % line lies a quarter cell outside the block's
// outer cell centres.
void bloecke(TestBild* b)
{
    b->block(3, 5, 2, 4, 100);
    b->block(4, 6, 10, 12, 80);
}

TEST_F(Huellen, BlocksGiveARingAndItsHull)
{
    TestBild b(10, 16);
    bloecke(&b);
    dbld_loglevel = DBLD_LOGLEVEL_LOG;
    Lauf l;
    auswerten(&l, &b.dbld);
    EXPECT_EQ(l.rc, 1);
    EXPECT_EQ(dbld_loglevel, DBLD_LOGLEVEL_DBG);

    const HUELLE* seiten[2] = {&l.e.huellen.huelle_links, &l.e.huellen.huelle_rechts};
    const float erwartet[2][4] = {{1.75f, 4.25f, 2.75f, 5.25f}, {9.75f, 12.25f, 3.75f, 6.25f}};
    std::vector<std::string> zeilen = punktzeilen(l.aus);
    size_t k = 0;
    for (int s = 0; s < 2; ++s) {
        const HUELLE& h = *seiten[s];
        ASSERT_GE(h.n_punkte, 4) << s;
        Rahmen r = rahmen(h);
        EXPECT_NEAR(r.x0, erwartet[s][0], 0.13f) << s;
        EXPECT_NEAR(r.x1, erwartet[s][1], 0.13f) << s;
        EXPECT_NEAR(r.y0, erwartet[s][2], 0.13f) << s;
        EXPECT_NEAR(r.y1, erwartet[s][3], 0.13f) << s;
        // The search starts at the lowest point.
        EXPECT_EQ(h.punkte[0].y, r.y0) << s;
        pruefe_konvex(h);
        // The listing holds the same points, then the centre.
        for (int i = 0; i < h.n_punkte; ++i, ++k) {
            ASSERT_LT(k, zeilen.size());
            EXPECT_EQ(zeilen[k], zeile(h.punkte[i].x, h.punkte[i].y)) << s << " " << i;
        }
        ++k; // centre
    }
    EXPECT_EQ(k, zeilen.size());

    // The log: count and bounds, the chart, the hull size.
    std::string gefunden = ue + "\xe4nge gefunden. ([";
    size_t a = l.log.find(gefunden);
    ASSERT_NE(a, std::string::npos);
    EXPECT_NE(l.log.find(gefunden, a + 1), std::string::npos);
    EXPECT_NE(l.log.find("\nH\xfclle mit " + std::to_string(seiten[0]->n_punkte)
                         + " Punkten ermittelt.\n"),
              std::string::npos);
    EXPECT_NE(l.log.find(" *"), std::string::npos);
}

TEST_F(Huellen, LargeRasterUsesTheHeapWindow)
{
    TestBild b(10, 16);
    bloecke(&b);
    n_rasterpunkte = 100; // 800 values per window row
    ASSERT_GT(8 * n_rasterpunkte, fenster_stapel);
    Lauf l;
    auswerten(&l, &b.dbld);
    EXPECT_EQ(l.rc, 1);
    Rahmen r = rahmen(l.e.huellen.huelle_links);
    EXPECT_NEAR(r.x0, 1.75f, 0.02f);
    EXPECT_NEAR(r.x1, 4.25f, 0.02f);
    EXPECT_NEAR(r.y0, 2.75f, 0.02f);
    EXPECT_NEAR(r.y1, 5.25f, 0.02f);
    pruefe_konvex(l.e.huellen.huelle_links);
    pruefe_konvex(l.e.huellen.huelle_rechts);
    EXPECT_GT(l.e.huellen.huelle_rechts.n_punkte, 4);
}

TEST_F(Huellen, RasterOutsideItsLimitsIsRefused)
{
    TestBild b(10, 16);
    bloecke(&b);
    for (int n : {0, -3, INT_MAX / 100 + 1}) {
        n_rasterpunkte = n;
        dbld_loglevel = DBLD_LOGLEVEL_ERR;
        Lauf l;
        auswerten(&l, &b.dbld);
        EXPECT_EQ(l.rc, 0) << n;
        EXPECT_EQ(l.aus, "") << n;
        EXPECT_EQ(l.log, "n_rasterpunkte (" + std::to_string(n)
                             + ") au\xdf" "erhalb des zul\xe4ssigen Bereichs.\n");
        EXPECT_EQ(l.e.huellen.huelle_links.punkte, nullptr);
        EXPECT_EQ(l.e.huellen.huelle_rechts.n_punkte, 0);
        EXPECT_EQ(dbld_loglevel, DBLD_LOGLEVEL_ERR);
    }

    // A raster whose columns do not fit an int.
    TestBild breit(2, 200);
    n_rasterpunkte = 20000000;
    Lauf l;
    auswerten(&l, &breit.dbld);
    EXPECT_EQ(l.rc, 0);
    EXPECT_EQ(l.log, "Druckbild 2 x 200 mit 20000000 Rasterpunkten je Zelle nicht auswertbar.\n");

    // Rasters beyond the point limit are refused before any sampling;
    // the limit itself is evaluated.
    const struct {
        int n_y, n_x, n;
    } zu_gross[] = {{2, 2, 2049}, {2, 2, 3000}, {1, 2, 2897}, {1, 2, 21474836}};
    for (const auto& z : zu_gross) {
        TestBild klein(z.n_y, z.n_x);
        klein.block(0, z.n_y - 1, 0, z.n_x - 1, 50);
        n_rasterpunkte = z.n;
        Lauf l;
        auswerten(&l, &klein.dbld);
        const std::string name = std::to_string(z.n_y) + " x " + std::to_string(z.n_x);
        EXPECT_EQ(l.rc, 0) << name << ", " << z.n;
        EXPECT_EQ(l.aus, "") << name;
        EXPECT_EQ(l.log, "Druckbild " + name + " mit " + std::to_string(z.n)
                             + " Rasterpunkten je Zelle: mehr als 16777216 Rasterpunkte.\n");
    }
    // A single column samples nothing (its halves have no whole raster
    // column), so the limit itself costs no time here.
    TestBild spalte(1, 1);
    for (int n : {4096, 4097}) {
        n_rasterpunkte = n;
        dbld_loglevel = DBLD_LOGLEVEL_ERR;
        Lauf l;
        auswerten(&l, &spalte.dbld);
        EXPECT_EQ(l.rc, n == 4096 ? 1 : 0) << n;
        EXPECT_EQ(l.log.find("Rasterpunkte.\n") != std::string::npos, n == 4097) << n;
    }
}

TEST_F(Huellen, ImageWithoutCellsReturnsAtOnce)
{
    // A million rows of no columns at 2000 raster points per cell edge:
    // two thousand million raster rows of nothing (107 s before); and a
    // million columns of no rows.  The result of an empty image at once:
    // no transitions, both listings with their centre only.
    n_rasterpunkte = 2000;
    TestBild zeilen(1000000, 0);
    dbld_loglevel = DBLD_LOGLEVEL_DBG;
    Lauf l;
    EXPECT_LT(sekunden([&] { auswerten(&l, &zeilen.dbld); }), 0.5);
    EXPECT_EQ(l.rc, 1);
    EXPECT_EQ(l.e.huellen.huelle_links.n_punkte, 0);
    EXPECT_EQ(l.e.huellen.huelle_rechts.n_punkte, 0);
    EXPECT_EQ(l.aus, gnuplot_leer(0, "-0.00\t-0.00") + gnuplot_leer(0, "-0.00\t-0.00"));
    EXPECT_NE(l.log.find("val_max = 0 => 75% bei 0 \nx (2000 x gerastert) 0 ... -1\n"
                         "y (2000 x gerastert) 0 ... 1999999999\n"),
              std::string::npos);
    EXPECT_NE(l.log.find("0 " + ue + "\xe4nge gefunden. ([-1,-1] ... [-1,-1])\n"),
              std::string::npos);

    TestBild spalten(0, 1000000);
    Lauf l2;
    EXPECT_LT(sekunden([&] { auswerten(&l2, &spalten.dbld); }), 0.5);
    EXPECT_EQ(l2.rc, 1);
    EXPECT_EQ(l2.e.huellen.huelle_rechts.n_punkte, 0);
    EXPECT_EQ(punktzeilen(l2.aus).size(), 2u);
}

TEST_F(Huellen, FullCollectionEndsTheSideOnly)
{
    // Left half: a grid of single peaks, far more than 799 transitions.
    TestBild b(30, 60);
    for (int r = 1; r < 30; r += 3)
        for (int c = 1; c < 30; c += 3)
            b.setze(r, c, 100);
    b.block(10, 14, 40, 44, 60);
    dbld_loglevel = DBLD_LOGLEVEL_LOG;
    Lauf l;
    auswerten(&l, &b.dbld);
    EXPECT_EQ(l.rc, 1);
    const std::string voll = "Zu viele " + ue + "\xe4nge.\n";
    size_t a = l.log.find(voll);
    ASSERT_NE(a, std::string::npos);
    EXPECT_EQ(l.log.find(voll, a + 1), std::string::npos);
    EXPECT_EQ(l.log.substr(a + voll.size(), 4 + ue.size()), "799 " + ue);
    EXPECT_GT(l.e.huellen.huelle_links.n_punkte, 2);
    Rahmen r = rahmen(l.e.huellen.huelle_rechts);
    EXPECT_NEAR(r.x0, 39.75f, 0.13f);
    EXPECT_NEAR(r.x1, 44.25f, 0.13f);
}

TEST_F(Huellen, OddColumnCount)
{
    // 17 columns: links 0..7, rechts 8..16, of which raster columns 64..127
    // are sampled.  The right block reaches the last column.
    TestBild b(10, 17);
    b.block(3, 5, 2, 4, 100);
    b.block(3, 5, 13, 16, 100);
    dbld_loglevel = DBLD_LOGLEVEL_DBG;
    Lauf l;
    auswerten(&l, &b.dbld);
    EXPECT_NE(l.log.find("x (8 x gerastert) 0 ... 63\n"), std::string::npos);
    EXPECT_NE(l.log.find("x (8 x gerastert) 64 ... 135\n"), std::string::npos);
    Rahmen r = rahmen(l.e.huellen.huelle_rechts);
    EXPECT_NEAR(r.x0, 12.75f, 0.13f);
    // Scanned up to raster x 64 + 61: the block's right edge is cut.
    EXPECT_LE(r.x1, (64 + 61) / 8.0f);
}

TEST_F(Huellen, FreeingEmptiesBothSides)
{
    TestBild b(10, 16);
    bloecke(&b);
    AUSWERTUNGSERGEBNIS e;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    int rc = DBLD_auswertung_huellen(&e, &b.dbld);
    testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(rc, 1);
    EXPECT_NE(e.huellen.huelle_links.punkte, nullptr);
    DBLD_huellen_freigeben(&e.huellen);
    EXPECT_EQ(e.huellen.huelle_links.punkte, nullptr);
    EXPECT_EQ(e.huellen.huelle_links.n_punkte, 0);
    EXPECT_EQ(e.huellen.huelle_rechts.punkte, nullptr);
    EXPECT_EQ(e.huellen.huelle_rechts.n_punkte, 0);
    DBLD_huellen_freigeben(&e.huellen); // again: nothing left to free
    DBLD_huellen_freigeben(nullptr);
}

} // namespace
