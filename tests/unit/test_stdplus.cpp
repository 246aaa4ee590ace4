// Extended evaluation: ring analysis, centroid correction, sit-bone angles
// and ellipses, checked through DBLD_auswertung_stdplus.
#include <gtest/gtest.h>

#include "dbld.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A pressure image owned by the test; dbld() lends a record over it the way
// a command does (no mask, no value range: the evaluation reads neither).
struct Bild {
    int n_y;
    int n_x;
    std::vector<int> werte;

    Bild(int ny, int nx) : n_y(ny), n_x(nx), werte((size_t)ny * nx, 0) {}

    int& at(int zeile, int spalte) { return werte[(size_t)zeile * n_x + spalte]; }

    DBLD dbld()
    {
        DBLD d;
        d.n_rows = n_y;
        d.n_cols = n_x;
        d.dbld = werte.data();
        d.val_min = 0;
        d.val_max = 0;
        d.mask = nullptr;
        return d;
    }
};

// Pressure of a drawing character: H = 100, D = 90, L = 71, anything else 0.
int druck(char z)
{
    switch (z) {
    case 'H': return 100;
    case 'D': return 90;
    case 'L': return 71;
    default: return 0;
    }
}

// Draws text rows into the image, row 0 first, starting at column spalte0
// and running to higher columns, or to lower ones when gespiegelt.
void zeichnen(Bild& bild, int spalte0, const std::vector<const char*>& zeilen,
              bool gespiegelt = false)
{
    for (size_t r = 0; r < zeilen.size(); ++r)
        for (size_t c = 0; c < std::strlen(zeilen[r]); ++c) {
            int spalte = gespiegelt ? spalte0 - (int)c : spalte0 + (int)c;
            if (druck(zeilen[r][c]))
                bild.at((int)r, spalte) = druck(zeilen[r][c]);
        }
}

// Runs the evaluation at the given log level and returns what it wrote to
// standard error.
std::string auswerten_mit_protokoll(DBLD_LOGLEVEL level, AUSWERTUNGSERGEBNIS* ergebnis,
                                    Bild& bild)
{
    DBLD d = bild.dbld();
    DBLD_LOGLEVEL alt = dbld_loglevel;
    dbld_loglevel = level;
    testing::internal::CaptureStderr();
    int rc = DBLD_auswertung_stdplus(ergebnis, &d);
    std::string text = testing::internal::GetCapturedStderr();
    dbld_loglevel = alt;
    EXPECT_EQ(rc, 1);
    return text;
}

AUSWERTUNG_STDPLUS auswerten(Bild& bild)
{
    AUSWERTUNGSERGEBNIS ergebnis;
    std::memset(&ergebnis, 0, sizeof ergebnis);
    DBLD d = bild.dbld();
    EXPECT_EQ(DBLD_auswertung_stdplus(&ergebnis, &d), 1);
    return ergebnis.stdplus;
}

size_t zaehlen(const std::string& text, const std::string& muster)
{
    size_t n = 0;
    for (size_t p = text.find(muster); p != std::string::npos; p = text.find(muster, p + 1))
        ++n;
    return n;
}

void erwarte_punkt(const MATTENPUNKT& p, double x, double y, const char* name)
{
    SCOPED_TRACE(name);
    EXPECT_NEAR(p.x, x, 1e-4);
    EXPECT_NEAR(p.y, y, 1e-4);
}

// Left sit-bone region, point-symmetric about row 5, column 3: a peak of 100
// in a 3 x 3 block of 71, and a three-cell-wide ridge along the
// anti-diagonal that is a little higher two cells out.  The ratio 71 / 100
// puts the end of the plateau at the ring of radius 1, and the ridge makes
// 135 degrees the heaviest axis, carrying pressure over its whole length.
const std::vector<const char*> diagonaler_kamm = {
    "........", "........", "........", "....LDL.", "..LLLLL.", "..LHL...",
    "LLLLL...", "LDL.....", "........", "........", "........",
};

Bild kamm_bild()
{
    Bild bild(11, 16);
    zeichnen(bild, 0, diagonaler_kamm);
    zeichnen(bild, 15, diagonaler_kamm, true);
    return bild;
}

TEST(StdplusEllipse, DiagonalRidgeGivesWorkedEllipse)
{
    Bild bild = kamm_bild();
    AUSWERTUNG_STDPLUS e = auswerten(bild);

    const ELLIPSE& l = e.ellipse_links;
    EXPECT_EQ(l.w, 135.0f);
    EXPECT_EQ(e.sitzknochenwinkel_links, 45.0f);
    erwarte_punkt(l.mitte, 3, 5, "mitte");
    EXPECT_NEAR(l.a, 2, 1e-4);
    EXPECT_NEAR(l.b, 1, 1e-4);
    EXPECT_EQ(l.a, 2 * l.b);
    erwarte_punkt(l.s1, 4.4142, 3.5858, "s1");
    erwarte_punkt(l.s2, 1.5858, 6.4142, "s2");
    erwarte_punkt(l.n1, 2.2929, 4.2929, "n1");
    erwarte_punkt(l.n2, 3.7071, 5.7071, "n2");
    erwarte_punkt(l.f1, 4.2247, 3.7753, "f1");
    erwarte_punkt(l.f2, 1.7753, 6.2247, "f2");
    erwarte_punkt(l.r1, 3.7071, 2.8787, "r1");
    erwarte_punkt(l.r2, 5.1213, 4.2929, "r2");
    erwarte_punkt(l.r3, 2.2929, 7.1213, "r3");
    erwarte_punkt(l.r4, 0.8787, 5.7071, "r4");
    EXPECT_EQ(e.schwerpunkt1.x, l.mitte.x);
    EXPECT_EQ(e.schwerpunkt1.y, l.mitte.y);

    // The mirrored region on the right leans the other way: direction 45.
    const ELLIPSE& r = e.ellipse_rechts;
    EXPECT_EQ(r.w, 45.0f);
    EXPECT_EQ(e.sitzknochenwinkel_rechts, 45.0f);
    EXPECT_EQ(e.sitzknochenwinkel, 90.0f);
    erwarte_punkt(r.mitte, 12, 5, "rechts mitte");
    EXPECT_NEAR(r.b, 1, 1e-4);
    erwarte_punkt(r.s1, 10.5858, 3.5858, "rechts s1");
    erwarte_punkt(r.s2, 13.4142, 6.4142, "rechts s2");
    erwarte_punkt(r.n1, 11.2929, 5.7071, "rechts n1");
    erwarte_punkt(r.n2, 12.7071, 4.2929, "rechts n2");
    erwarte_punkt(r.f1, 10.7753, 3.7753, "rechts f1");
    erwarte_punkt(r.f2, 13.2247, 6.2247, "rechts f2");
    erwarte_punkt(r.r1, 9.8787, 4.2929, "rechts r1");
    erwarte_punkt(r.r2, 11.2929, 2.8787, "rechts r2");
    erwarte_punkt(r.r3, 14.1213, 5.7071, "rechts r3");
    erwarte_punkt(r.r4, 12.7071, 7.1213, "rechts r4");
    EXPECT_NEAR(e.sitzknochenabstand, 9, 1e-4);
}

TEST(StdplusEllipse, DiagonalRidgeDiagnostics)
{
    Bild bild = kamm_bild();
    AUSWERTUNGSERGEBNIS ergebnis;
    std::string text = auswerten_mit_protokoll(DBLD_LOGLEVEL_DBG2, &ergebnis, bild);

    // The ring of radius 1 leaves the plateau: axis lengths 2 and 4.
    EXPECT_EQ(zaehlen(text, "L\xe4nge der Nebenachse: 2.00 cm\n"), 2u);
    EXPECT_EQ(zaehlen(text, "Vermutete L\xe4nge der Hauptachse: 4.00 cm\n"), 2u);
    // Radius 1, so max_r = 2 and 21 samples per half along the ridge.
    // The mean sample along the ridge is about 78: 100 at the peak, falling
    // to the ridge values 71 ... 74 further out.
    EXPECT_EQ(zaehlen(text, " 45\xb0: l1=2.1 l2=2.1 l =  4.2;   g1=78."), 2u);
    // At 105 degrees (75 on the right) the line runs nearly along the
    // column: 1.035 from the centre it leaves the block rows towards an
    // empty cell, so samples 0.0 ... 1.0 count, 11 per half.
    EXPECT_EQ(zaehlen(text, " 15\xb0: l1=1.1 l2=1.1 l =  2.2;"), 2u);
    EXPECT_NE(text.find("l = 4.2 cm; Yw_links = 45\xb0\n"), std::string::npos);
    EXPECT_NE(text.find("l = 4.2 cm; Yw_rechts = 45\xb0\n"), std::string::npos);
    EXPECT_NE(text.find("YWinkel = 45 + 45 = 90\xb0\n"), std::string::npos);
    EXPECT_NE(text.find("Exzentrizit\xe4t links: 1.7\n"), std::string::npos);
    // One line per searched angle and side.
    EXPECT_EQ(zaehlen(text, ": l1="), 82u);
}

TEST(StdplusEllipse, EmptyImageGivesSmallestAngles)
{
    Bild bild(6, 8);
    AUSWERTUNG_STDPLUS e = auswerten(bild);
    EXPECT_EQ(e.sitzknochenwinkel_links, 15.0f);
    EXPECT_EQ(e.sitzknochenwinkel_rechts, 15.0f);
    EXPECT_EQ(e.sitzknochenwinkel, 30.0f);
    EXPECT_EQ(e.ellipse_links.w, 105.0f);
    EXPECT_EQ(e.ellipse_rechts.w, 75.0f);
    // Both halves keep the centroid (0, 0); the first ring is empty.
    EXPECT_EQ(e.schwerpunkt1.x, 0.0f);
    EXPECT_EQ(e.schwerpunkt1.y, 0.0f);
    EXPECT_EQ(e.schwerpunkt2.x, 0.0f);
    EXPECT_EQ(e.schwerpunkt2.y, 0.0f);
    EXPECT_EQ(e.sitzknochenabstand, 0.0f);
    EXPECT_EQ(e.ellipse_links.b, 0.5f);
    EXPECT_EQ(e.ellipse_links.a, 1.0f);
    EXPECT_EQ(e.ellipse_rechts.b, 0.5f);
    EXPECT_EQ(e.ellipse_links.mitte.x, 0.0f);
    EXPECT_EQ(e.ellipse_links.mitte.y, 0.0f);
    // Vertices at distance a from the centre along direction 105 degrees.
    erwarte_punkt(e.ellipse_links.s2, -0.2588, 0.9659, "s2");
}

TEST(StdplusDiagnose, EmptyImageDebugLog)
{
    Bild bild(4, 6);
    AUSWERTUNGSERGEBNIS ergebnis;
    std::string text = auswerten_mit_protokoll(DBLD_LOGLEVEL_DBG, &ergebnis, bild);
    EXPECT_EQ(text, "Erweiterte Standardauswertung\n"
                    "Schwerpunkt links: x=0.0; y=0.0\n"
                    "Schwerpunkt rechts: x=0.0; y=0.0\n"
                    "Innenkreisradien: links=0.5 cm; rechts=0.5 cm\n"
                    "Schwerpunktkorrektur links nach 0 Schritten auf (0.00; 0.00)\n"
                    "Schwerpunktkorrektur rechts nach 0 Schritten auf (0.00; 0.00)\n"
                    "SkA nach Schwerpunktkorrektur: 0.0 cm\n"
                    "Exzentrizit\xe4t links: 0.9\n"
                    "l = 0.0 cm; Yw_links = 15\xb0\n"
                    "Exzentrizit\xe4t rechts: 0.9\n"
                    "l = 0.0 cm; Yw_rechts = 15\xb0\n"
                    "YWinkel = 15 + 15 = 30\xb0\n");
}

TEST(StdplusDiagnose, EmptyFirstRingEndsAnalysisWithoutSummary)
{
    Bild bild(4, 6);
    AUSWERTUNGSERGEBNIS ergebnis;
    std::string text = auswerten_mit_protokoll(DBLD_LOGLEVEL_DBG2, &ergebnis, bild);
    EXPECT_EQ(zaehlen(text, "Kreisanalyse um x=0.0, y=0.0\n"), 2u);
    EXPECT_EQ(text.find("Kreisanalyse um x=0.0, y=0.0\n"
                        "r= 0.5 w= 0\xb0 => x=0.5;y=0.0 => val=0\n"
                        "r= 0.5 w=10\xb0 => x=0.5;y=0.1 => val=0\n"),
              text.find("Kreisanalyse"));
    // 36 samples of the first ring per side, then nothing more of the ring
    // analysis: no summary line, no axis lengths.
    EXPECT_EQ(zaehlen(text, " => val="), 72u);
    EXPECT_EQ(zaehlen(text, "r=0.50:"), 0u);
    EXPECT_EQ(zaehlen(text, "Nebenachse"), 0u);
    // An empty circle gives its centre back: the correction settles at once.
    EXPECT_EQ(zaehlen(text, "Schwerpunktkorrektur (0.00; 0.00) -> (0.00; 0.00)\n\n"), 2u);
    EXPECT_EQ(zaehlen(text, ": l1=0.0 l2=0.0 l =  0.0;"), 82u);
}

TEST(StdplusRinganalyse, PlateauWiderThanLargestRing)
{
    // A plateau of 50 over the whole mat.  Two corner blocks of 10 keep the
    // smallest value low, so that samples that float rounding puts a hair
    // below 50 still count along the axes.
    Bild bild(40, 60);
    for (int& v : bild.werte)
        v = 50;
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c)
            bild.at(r, c) = bild.at(r, 59 - c) = 10;
    AUSWERTUNGSERGEBNIS ergebnis;
    std::string text = auswerten_mit_protokoll(DBLD_LOGLEVEL_DBG2, &ergebnis, bild);
    const AUSWERTUNG_STDPLUS& e = ergebnis.stdplus;
    EXPECT_EQ(e.ellipse_links.b, 3.0499983f);
    EXPECT_EQ(e.ellipse_rechts.b, 3.0499983f);
    EXPECT_EQ(e.ellipse_links.a, 6.0999966f);
    // All 51 rings of each side lie inside the plateau.
    EXPECT_EQ(zaehlen(text, " <-\n"), 102u);
    EXPECT_EQ(zaehlen(text, "r=3.00:"), 2u);
    EXPECT_EQ(zaehlen(text, "Nebenachse"), 0u);
    EXPECT_EQ(zaehlen(text, "Hauptachse"), 0u);
    EXPECT_NE(text.find("Innenkreisradien: links=3.0 cm; rechts=3.0 cm\n"), std::string::npos);
    // max_r = 6.0999966 and 6.0999966 / 0.1 rounds to 61: every axis takes
    // 62 samples per half.
    EXPECT_EQ(zaehlen(text, ": l1=6.2 l2=6.2 l = 12.4;"), 82u);
    EXPECT_NE(text.find("l = 12.4 cm; Yw_links = "), std::string::npos);
    EXPECT_NE(text.find("l = 12.4 cm; Yw_rechts = "), std::string::npos);
}

TEST(StdplusRinganalyse, RingWithNewMaximumStaysInPlateau)
{
    // A block of 100 with spikes of 400 left and right of the centroid
    // (row 5, column 3).  Each ring up to radius 1 reaches further into the
    // spikes and so holds a new maximum, whatever its low average.
    Bild bild(11, 16);
    for (int r = 3; r <= 7; ++r)
        for (int c = 1; c <= 5; ++c)
            bild.at(r, c) = 100;
    bild.at(5, 2) = bild.at(5, 4) = 400;
    AUSWERTUNGSERGEBNIS ergebnis;
    std::string text = auswerten_mit_protokoll(DBLD_LOGLEVEL_DBG2, &ergebnis, bild);

    EXPECT_NE(text.find("r=0.50: min=100.0; max=250.0; min_k=100.0; max_k=250.0; "
                        "avg_k=171.6 (69% bzw. 69%)  <-\n"),
              std::string::npos);
    // The first ring past the spikes: average relative to the overall
    // maximum, then to the ring's own maximum.
    EXPECT_NE(text.find("r=1.05: min=100.0; max=400.0; min_k=100.0; max_k=385.0; "
                        "avg_k=192.5 (48% bzw. 50%) \n"
                        "L\xe4nge der Nebenachse: 2.10 cm\n"
                        "Vermutete L\xe4nge der Hauptachse: 4.20 cm\n"),
              std::string::npos);
    EXPECT_EQ(ergebnis.stdplus.ellipse_links.b, 1.05000007f);
}

// Left half: 2 x 2 blocks of 250 (columns 3, 4) and 150 (columns 7, 8) whose
// centroid, column 5, lies in the gap between them; the right half mirrors
// it.  The first ring (radius 0.5) reads nothing, so the inscribed radius is
// 0.5 and the correction circle has radius 1: its only point with pressure
// lies exactly on the circle, at column 4.
Bild zwei_bloecke()
{
    Bild bild(10, 20);
    for (int r = 4; r <= 5; ++r) {
        bild.at(r, 3) = bild.at(r, 4) = 250;
        bild.at(r, 7) = bild.at(r, 8) = 150;
        bild.at(r, 15) = bild.at(r, 16) = 250;
        bild.at(r, 11) = bild.at(r, 12) = 150;
    }
    return bild;
}

TEST(StdplusKorrektur, RadiusIsTwiceInscribedRadiusAndIncludesRim)
{
    Bild bild = zwei_bloecke();
    AUSWERTUNGSERGEBNIS ergebnis;
    std::string text = auswerten_mit_protokoll(DBLD_LOGLEVEL_DBG2, &ergebnis, bild);
    const AUSWERTUNG_STDPLUS& e = ergebnis.stdplus;

    EXPECT_EQ(e.ellipse_links.b, 0.5f);
    EXPECT_EQ(e.ellipse_rechts.b, 0.5f);
    EXPECT_NE(text.find("Schwerpunkt links: x=5.0; y=4.5\n"), std::string::npos);
    // First circle: only the rim point (4, 4.5) carries pressure.
    EXPECT_NE(text.find("Schwerpunktkorrektur (5.00; 4.50) -> (4.00; 4.50)\n"
                        "Schwerpunktkorrektur (4.00; 4.50) -> (3.64; 4.50)\n"),
              std::string::npos);
    EXPECT_NE(text.find("Schwerpunktkorrektur (14.00; 4.50) -> (15.00; 4.50)\n"),
              std::string::npos);
    EXPECT_NE(text.find("Schwerpunktkorrektur links nach 3 Schritten auf (3.54; 4.50)\n"),
              std::string::npos);
    EXPECT_NE(text.find("Schwerpunktkorrektur rechts nach 3 Schritten auf (15.46; 4.50)\n"),
              std::string::npos);
    // The corrected centroids sit in the heavier blocks.
    EXPECT_GT(e.schwerpunkt1.x, 3.0f);
    EXPECT_LT(e.schwerpunkt1.x, 4.0f);
    EXPECT_EQ(e.schwerpunkt1.y, 4.5f);
    EXPECT_GT(e.schwerpunkt2.x, 15.0f);
    EXPECT_LT(e.schwerpunkt2.x, 16.0f);
    EXPECT_EQ(e.ellipse_links.mitte.x, e.schwerpunkt1.x);
    EXPECT_EQ(e.ellipse_rechts.mitte.x, e.schwerpunkt2.x);
    float dx = e.schwerpunkt1.x - e.schwerpunkt2.x;
    float dy = e.schwerpunkt1.y - e.schwerpunkt2.y;
    EXPECT_EQ(e.sitzknochenabstand, sqrtf(dx * dx + dy * dy));
}

TEST(StdplusKorrektur, GridEndsAtTheFloatSum)
{
    // Left half: std centroid (0.5, 0.5), inscribed radius 0.5, circles of
    // radius 1.  The first circle moves the centroid to (5/6, 0.5) as float.
    // The second circle's grid starts at 5/6 - 1 (exact in float) and its
    // column 4 lies at 5/6 + 1, on the rim at the centre's row.  The bound
    // is the float sum 5/6 + 1, which rounds below that column: the rim
    // point stays out, the circle centroid stays put and the correction
    // settles after one step.  (A bound summed in double would take the
    // point and move on to about (2.10, 0.11), left angle 27.)
    Bild bild(2, 4);
    bild.werte = {2, 0, 6, 3, 4, 2, 0, 4};
    const float x0 = (float)(5.0 / 6);
    ASSERT_LT((double)(float)(x0 + 1.0f), (double)(float)(x0 - 1.0f) + 4 * 0.5);
    AUSWERTUNGSERGEBNIS ergebnis;
    std::string text = auswerten_mit_protokoll(DBLD_LOGLEVEL_DBG2, &ergebnis, bild);
    const AUSWERTUNG_STDPLUS& e = ergebnis.stdplus;
    EXPECT_NE(text.find("Schwerpunktkorrektur (0.50; 0.50) -> (0.83; 0.50)\n"
                        "Schwerpunktkorrektur (0.83; 0.50) -> (0.83; 0.50)\n\n"),
              std::string::npos);
    EXPECT_NE(text.find("Schwerpunktkorrektur links nach 1 Schritten auf (0.83; 0.50)\n"),
              std::string::npos);
    EXPECT_EQ(e.schwerpunkt1.x, x0);
    EXPECT_EQ(e.schwerpunkt1.y, 0.5f);
    EXPECT_EQ(e.sitzknochenwinkel_links, 15.0f);
}

TEST(StdplusKorrektur, EmptyCircleKeepsItsCentre)
{
    // Equal blocks far apart: the centroid (5, 4.5) lies in an empty gap,
    // the first ring reads nothing and the circle of radius 1 neither.
    Bild bild(10, 20);
    for (int r = 4; r <= 5; ++r) {
        bild.at(r, 1) = bild.at(r, 2) = 100;
        bild.at(r, 8) = bild.at(r, 9) = 100;
    }
    AUSWERTUNGSERGEBNIS ergebnis;
    std::string text = auswerten_mit_protokoll(DBLD_LOGLEVEL_DBG, &ergebnis, bild);
    EXPECT_NE(text.find("Schwerpunktkorrektur links nach 0 Schritten auf (5.00; 4.50)\n"),
              std::string::npos);
    EXPECT_EQ(ergebnis.stdplus.ellipse_links.b, 0.5f);
    EXPECT_EQ(ergebnis.stdplus.schwerpunkt1.x, 5.0f);
    EXPECT_EQ(ergebnis.stdplus.schwerpunkt1.y, 4.5f);
}

TEST(StdplusKorrektur, UnsettledCorrectionKeepsStandardCentroid)
{
    // Around the ridge regions the circle centroid keeps jumping back and
    // forth by about 0.3: the sampling grid is anchored at the circle's
    // corner, and points on the edge of the ridge, whose interpolated values
    // lie right at the smallest value of the image, drop in and out.
    Bild bild = kamm_bild();
    AUSWERTUNGSERGEBNIS ergebnis;
    std::string text = auswerten_mit_protokoll(DBLD_LOGLEVEL_DBG2, &ergebnis, bild);
    AUSWERTUNG_STDPLUS e = ergebnis.stdplus;

    EXPECT_NE(text.find("Schwerpunktkorrektur links divergiert.\n"), std::string::npos);
    EXPECT_NE(text.find("Schwerpunktkorrektur rechts divergiert.\n"), std::string::npos);
    EXPECT_EQ(zaehlen(text, "Schwerpunktkorrektur ("), 40u);
    EXPECT_EQ(zaehlen(text, "Schritten"), 0u);

    AUSWERTUNGSERGEBNIS standard;
    DBLD d = bild.dbld();
    ASSERT_EQ(DBLD_auswertung_std(&standard, &d), 1);
    EXPECT_EQ(e.schwerpunkt1.x, standard.std.schwerpunkt1.x);
    EXPECT_EQ(e.schwerpunkt1.y, standard.std.schwerpunkt1.y);
    EXPECT_EQ(e.schwerpunkt2.x, standard.std.schwerpunkt2.x);
    EXPECT_EQ(e.schwerpunkt2.y, standard.std.schwerpunkt2.y);
    EXPECT_EQ(e.ellipse_links.mitte.x, standard.std.schwerpunkt1.x);
    EXPECT_EQ(e.ellipse_rechts.mitte.y, standard.std.schwerpunkt2.y);
}

TEST(StdplusKorrektur, NonFiniteCentroidFinishes)
{
    // Opposite values make the running mean of the left half divide by a
    // zero weight: its centroid comes out (-inf, inf).  It counts as the
    // centroid of a side without pressure, (0, 0), from which the ring
    // analysis and the correction run; the evaluation finishes with finite
    // values only.
    Bild bild(3, 6);
    bild.werte = {-5, -5, -5, -5, -5, 5, 5, 5, 5, -5, -5, -5, 0, 5, 0, -5, 0, 0};
    AUSWERTUNGSERGEBNIS ergebnis;
    std::string text = auswerten_mit_protokoll(DBLD_LOGLEVEL_DBG, &ergebnis, bild);
    const AUSWERTUNG_STDPLUS& e = ergebnis.stdplus;
    EXPECT_NE(text.find("Schwerpunkt links nicht endlich.\nSchwerpunkt links: x=0.0; y=0.0\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Schwerpunktkorrektur links nach 1 Schritten auf (0.00; 1.00)\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(e.schwerpunkt1.x, 0.0f);
    EXPECT_EQ(e.schwerpunkt1.y, 1.0f);
    EXPECT_EQ(e.ellipse_links.b, 0.5f);
    EXPECT_EQ(e.sitzknochenwinkel_links, 15.0f);
    const float* f = (const float*)&e.ellipse_links;
    for (size_t i = 0; i < sizeof(ELLIPSE) / sizeof(float); ++i)
        EXPECT_TRUE(std::isfinite(f[i])) << i;
}

TEST(StdplusErgebnis, LeavesCombinedCentroidAndWeightsAlone)
{
    Bild bild = kamm_bild();
    AUSWERTUNGSERGEBNIS ergebnis;
    std::memset(&ergebnis, 0, sizeof ergebnis);
    ergebnis.stdplus.schwerpunkt.x = -7.25f;
    ergebnis.stdplus.schwerpunkt.y = 11.5f;
    ergebnis.stdplus.gewicht1 = 12345;
    ergebnis.stdplus.gewicht2 = -999;
    DBLD d = bild.dbld();
    ASSERT_EQ(DBLD_auswertung_stdplus(&ergebnis, &d), 1);
    EXPECT_EQ(ergebnis.stdplus.schwerpunkt.x, -7.25f);
    EXPECT_EQ(ergebnis.stdplus.schwerpunkt.y, 11.5f);
    EXPECT_EQ(ergebnis.stdplus.gewicht1, 12345);
    EXPECT_EQ(ergebnis.stdplus.gewicht2, -999);
    // ... while the fields it owns were written.
    EXPECT_EQ(ergebnis.stdplus.sitzknochenwinkel, 90.0f);
}

TEST(StdplusErgebnis, InputImageUnchanged)
{
    Bild bild = zwei_bloecke();
    std::vector<int> vorher = bild.werte;
    // A speck that the cleaning removes from the working copy only.
    bild.at(0, 0) = 99;
    vorher[0] = 99;
    auswerten(bild);
    EXPECT_EQ(bild.werte, vorher);
}

// Two elongated pressure regions, 13 columns apart, whose long axes lean
// by the given angle away from the row direction: the left one towards
// lower columns as the row increases, the right one towards higher columns.
Bild zwei_sitzknochen(double neigung)
{
    Bild bild(24, 32);
    auto region = [&](double cx, double cy, double richtung) {
        double ux = std::cos(richtung * M_PI / 180), uy = std::sin(richtung * M_PI / 180);
        for (int r = 0; r < bild.n_y; ++r)
            for (int c = 0; c < bild.n_x; ++c) {
                double dx = c - cx, dy = r - cy;
                double p = dx * ux + dy * uy, q = -dx * uy + dy * ux;
                double v = 180 - 4 * p * p - 20 * q * q;
                if (v > 10)
                    bild.at(r, c) += (int)v;
            }
    };
    region(9, 12, 90 + neigung);
    region(22, 12, 90 - neigung);
    return bild;
}

TEST(StdplusSitzknochen, TwoTiltedRegions)
{
    Bild bild = zwei_sitzknochen(30);
    AUSWERTUNG_STDPLUS e = auswerten(bild);

    EXPECT_NEAR(e.schwerpunkt1.x, 9, 0.1);
    EXPECT_NEAR(e.schwerpunkt1.y, 12, 0.1);
    EXPECT_NEAR(e.schwerpunkt2.x, 22, 0.1);
    EXPECT_NEAR(e.schwerpunkt2.y, 12, 0.1);
    EXPECT_NEAR(e.sitzknochenabstand, 13, 0.1);

    EXPECT_GE(e.sitzknochenwinkel_links, 26.0f);
    EXPECT_LE(e.sitzknochenwinkel_links, 34.0f);
    EXPECT_GE(e.sitzknochenwinkel_rechts, 26.0f);
    EXPECT_LE(e.sitzknochenwinkel_rechts, 34.0f);
    EXPECT_EQ(e.sitzknochenwinkel, e.sitzknochenwinkel_links + e.sitzknochenwinkel_rechts);
    EXPECT_EQ(e.ellipse_links.w, 90 + e.sitzknochenwinkel_links);
    EXPECT_EQ(e.ellipse_rechts.w, 90 - e.sitzknochenwinkel_rechts);
    EXPECT_EQ(std::floor(e.sitzknochenwinkel_links), e.sitzknochenwinkel_links);

    for (const ELLIPSE* el : {&e.ellipse_links, &e.ellipse_rechts}) {
        EXPECT_GE(el->b, 0.5f);
        EXPECT_LE(el->b, 3.0499983f);
        EXPECT_EQ(el->a, 2 * el->b);
        // The vertices lie a away from the centre, the co-vertices b.
        EXPECT_NEAR(std::hypot(el->s1.x - el->mitte.x, el->s1.y - el->mitte.y), el->a, 1e-5);
        EXPECT_NEAR(std::hypot(el->n2.x - el->mitte.x, el->n2.y - el->mitte.y), el->b, 1e-5);
    }
    EXPECT_EQ(e.ellipse_links.mitte.x, e.schwerpunkt1.x);
    EXPECT_EQ(e.ellipse_rechts.mitte.y, e.schwerpunkt2.y);
    // The left axis runs towards lower columns as the row increases.
    EXPECT_LT(e.ellipse_links.s2.x, e.ellipse_links.s1.x);
    EXPECT_GT(e.ellipse_links.s2.y, e.ellipse_links.s1.y);
    EXPECT_GT(e.ellipse_rechts.s2.x, e.ellipse_rechts.s1.x);
    EXPECT_GT(e.ellipse_rechts.s2.y, e.ellipse_rechts.s1.y);
}

TEST(StdplusSitzknochen, AngleFollowsTilt)
{
    Bild flach = zwei_sitzknochen(20);
    Bild steil = zwei_sitzknochen(40);
    AUSWERTUNG_STDPLUS f = auswerten(flach);
    AUSWERTUNG_STDPLUS s = auswerten(steil);
    EXPECT_LE(f.sitzknochenwinkel_links, 25.0f);
    EXPECT_LE(f.sitzknochenwinkel_rechts, 25.0f);
    EXPECT_GE(s.sitzknochenwinkel_links, 36.0f);
    EXPECT_GE(s.sitzknochenwinkel_rechts, 36.0f);
    EXPECT_GT(s.sitzknochenwinkel, f.sitzknochenwinkel);
}

// A uniform 3 x 3 image of 7s: its right axis search compares weights that
// the tangent of 36 degrees decides; a maths library whose tanf differs there
// in the last place (Debian 13's glibc) gave 54 degrees on the right instead
// of 25.  The evaluation takes its tangents from its own table, so the result
// is the same everywhere.
TEST(StdplusSitzknochen, UniformImageAnglesIndependentOfTheMathsLibrary)
{
    Bild bild(3, 3);
    bild.werte.assign(9, 7);
    AUSWERTUNG_STDPLUS e = auswerten(bild);
    EXPECT_EQ(e.sitzknochenwinkel_links, 46.0f);
    EXPECT_EQ(e.sitzknochenwinkel_rechts, 25.0f);
    EXPECT_EQ(e.sitzknochenwinkel, 71.0f);
    EXPECT_EQ(e.ellipse_rechts.w, 65.0f);
    EXPECT_EQ(e.ellipse_rechts.s1.x, 0.020836710929870605f);
    EXPECT_EQ(e.ellipse_rechts.s1.y, -2.1720762252807617f);
}

} // namespace
