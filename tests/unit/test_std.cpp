// Standard evaluation: cleaning, side centroids, distance, shares.
#include "bild_helfer.h"
#include "dbld_intern.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

AUSWERTUNG_STD std_von(const TestBild& b)
{
    AUSWERTUNGSERGEBNIS e;
    EXPECT_EQ(DBLD_auswertung_std(&e, &b.dbld), 1);
    return e.std;
}

std::vector<int> bereinigt(const TestBild& b)
{
    std::vector<int> aus(b.werte.size(), -99);
    dbld_intern::druckbild_bereinigen(aus.data(), b.werte.data(), b.n_y, b.n_x);
    return aus;
}

TEST(Cleaning, IsolatedCellsAndThinLinesGo)
{
    TestBild b(9, 9, {{4, 4, 7}});
    EXPECT_EQ(bereinigt(b)[4 * 9 + 4], 0);

    TestBild linie(9, 9);
    linie.block(4, 4, 1, 7, 5); // horizontal line one cell thick
    for (int v : bereinigt(linie))
        EXPECT_EQ(v, 0);

    TestBild diagonale(9, 9);
    for (int i = 1; i < 8; ++i)
        diagonale.setze(i, i, 5);
    for (int v : bereinigt(diagonale))
        EXPECT_EQ(v, 0);
}

TEST(Cleaning, TwoByTwoBlockSurvivesWhole)
{
    TestBild b(6, 6);
    b.block(2, 3, 2, 3, 9);
    std::vector<int> aus = bereinigt(b);
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 6; ++c)
            EXPECT_EQ(aus[r * 6 + c], b.wert(r, c)) << r << "," << c;
}

TEST(Cleaning, WalkOrderDecidesConsecutiveNeighbours)
{
    TestBild b(10, 10, {{5, 4, 3}, {5, 5, 4}, {6, 4, 5}});
    std::vector<int> aus = bereinigt(b);
    EXPECT_EQ(aus[6 * 10 + 4], 5); // upper-right and upper follow each other
    EXPECT_EQ(aus[5 * 10 + 5], 0); // left and lower-left do not (no wrap)
    EXPECT_EQ(aus[5 * 10 + 4], 0); // right and lower are not consecutive
}

TEST(Cleaning, NegativeCellsAreExaminedButNeverCountAsNeighbours)
{
    TestBild b(6, 6);
    b.block(2, 3, 2, 3, 9);
    b.setze(2, 2, -4);
    std::vector<int> aus = bereinigt(b);
    EXPECT_EQ(aus[2 * 6 + 2], -4); // lower and lower-right follow each other
    EXPECT_EQ(aus[2 * 6 + 3], 9);  // lower-left and lower
    // (3,3): upper, then the negative upper-left breaks the run, then left:
    // two positive neighbours, not consecutive.
    EXPECT_EQ(aus[3 * 6 + 3], 0);
}

TEST(Std, TwoBlocksTenBySixteen)
{
    TestBild b(10, 16);
    b.block(4, 5, 2, 3, 10);
    b.block(4, 5, 12, 13, 30);
    AUSWERTUNG_STD e = std_von(b);
    EXPECT_EQ(e.schwerpunkt1.x, 2.5f);
    EXPECT_EQ(e.schwerpunkt1.y, 4.5f);
    EXPECT_EQ(e.schwerpunkt2.x, 12.5f);
    EXPECT_EQ(e.schwerpunkt2.y, 4.5f);
    EXPECT_EQ(e.sitzknochenabstand, 10.0f);
    EXPECT_EQ(e.schwerpunkt.x, 10.0f);
    EXPECT_EQ(e.schwerpunkt.y, 4.5f);
    EXPECT_EQ(e.gewicht1, 25.0f);
    EXPECT_EQ(e.gewicht2, 75.0f);
}

TEST(Std, MissingSideAndEmptyImage)
{
    TestBild b(10, 16);
    b.block(4, 5, 12, 13, 30);
    AUSWERTUNG_STD e = std_von(b);
    EXPECT_EQ(e.schwerpunkt1.x, -1.0f);
    EXPECT_EQ(e.schwerpunkt1.y, -1.0f);
    EXPECT_EQ(e.schwerpunkt.x, -1.0f);
    EXPECT_EQ(e.schwerpunkt.y, -1.0f);
    EXPECT_EQ(e.sitzknochenabstand, -1.0f);
    EXPECT_EQ(e.gewicht1, 0.0f);
    EXPECT_EQ(e.gewicht2, 100.0f);

    TestBild leer(10, 16);
    e = std_von(leer);
    EXPECT_EQ(e.schwerpunkt2.x, -1.0f);
    EXPECT_EQ(e.gewicht1, -1.0f);
    EXPECT_EQ(e.gewicht2, -1.0f);
    EXPECT_EQ(e.sitzknochenabstand, -1.0f);

    TestBild nichts(0, 0);
    e = std_von(nichts);
    EXPECT_EQ(e.schwerpunkt1.x, -1.0f);
    EXPECT_EQ(e.gewicht1, -1.0f);
}

TEST(Std, OddColumnCountPutsMiddleColumnRight)
{
    // 15 columns: column 7 belongs to the right half.
    TestBild b(6, 15);
    b.block(2, 3, 7, 8, 10);
    AUSWERTUNG_STD e = std_von(b);
    EXPECT_EQ(e.schwerpunkt1.x, -1.0f);
    EXPECT_EQ(e.schwerpunkt2.x, 7.5f);
    EXPECT_EQ(e.gewicht2, 100.0f);
}

TEST(Std, PressureAtRowAndColumnZeroCountsAsPresent)
{
    TestBild b(6, 8);
    b.block(0, 1, 0, 1, 10);
    b.block(0, 1, 4, 5, 10);
    AUSWERTUNG_STD e = std_von(b);
    EXPECT_EQ(e.schwerpunkt1.x, 0.5f);
    EXPECT_EQ(e.schwerpunkt1.y, 0.5f);
    EXPECT_EQ(e.sitzknochenabstand, 4.0f);

    TestBild ecke(6, 8);
    ecke.block(0, 1, 0, 1, 10);
    ecke.setze(0, 0, 0);
    ecke.block(0, 1, 4, 5, 10);
    // Row 0, column 0 itself is empty; the left centroid stays positive.
    EXPECT_GE(std_von(ecke).sitzknochenabstand, 0.0f);
}

TEST(Std, RunningCentroidIsWeightedMeanInSinglePrecision)
{
    // Unequal weights: the running form must give the weighted mean.
    TestBild b(6, 8);
    b.block(1, 2, 1, 2, 10);
    b.setze(2, 2, 40);
    b.block(1, 2, 5, 6, 10);
    AUSWERTUNG_STD e = std_von(b);
    // rows: (1*10 + 1*10 + 2*10 + 2*40) / 70 = 120/70
    EXPECT_NEAR(e.schwerpunkt1.y, 120.0 / 70.0, 1e-6);
    EXPECT_NEAR(e.schwerpunkt1.x, 120.0 / 70.0, 1e-6);
    EXPECT_NEAR(e.gewicht1, 100.0 * 70 / 110, 1e-5);
}

TEST(Std, LargeValuesDoNotOverflowTheWeights)
{
    // Four cells of INT_MAX on each side: 32-bit sums would overflow.
    TestBild b(4, 8);
    b.block(1, 2, 1, 2, INT_MAX);
    b.block(1, 2, 5, 6, INT_MAX);
    AUSWERTUNG_STD e = std_von(b);
    EXPECT_EQ(e.schwerpunkt1.x, 1.5f);
    EXPECT_EQ(e.schwerpunkt2.x, 5.5f);
    EXPECT_EQ(e.gewicht1, 50.0f);
    EXPECT_EQ(e.gewicht2, 50.0f);
    EXPECT_EQ(e.schwerpunkt.x, 3.5f);
}

TEST(Std, DebugLineAtDebugLevel)
{
    DBLD_LOGLEVEL alt = dbld_loglevel;
    dbld_loglevel = DBLD_LOGLEVEL_DBG;
    TestBild b(2, 2);
    testing::internal::CaptureStderr();
    std_von(b);
    std::string log = testing::internal::GetCapturedStderr();
    dbld_loglevel = alt;
    EXPECT_EQ(log, "Standardauswertung\n");
}

// The log of one std evaluation at the debug level.
std::string std_protokoll(const TestBild& b, AUSWERTUNG_STD* e)
{
    DBLD_LOGLEVEL alt = dbld_loglevel;
    dbld_loglevel = DBLD_LOGLEVEL_DBG;
    testing::internal::CaptureStderr();
    *e = std_von(b);
    std::string log = testing::internal::GetCapturedStderr();
    dbld_loglevel = alt;
    return log;
}

TEST(Std, CentroidThatIsNotFiniteCountsAsMissing)
{
    // The -1 of a cell without measurement: in the right half the weights
    // 1 and -1 cancel, the running mean divides by 0 (NaN).  The side is
    // missing, so are the combined centroid and the distance; its weight
    // still counts for the shares (3 left, 4 right).
    TestBild b(3, 3);
    b.werte = {1, -1, 1, 1, 1, 1, 1, 1, 1};
    AUSWERTUNG_STD e;
    EXPECT_EQ(std_protokoll(b, &e), "Standardauswertung\nSchwerpunkt rechts nicht endlich.\n");
    EXPECT_EQ(e.schwerpunkt1.x, 0.0f);
    EXPECT_EQ(e.schwerpunkt1.y, 1.0f);
    EXPECT_EQ(e.schwerpunkt2.x, -1.0f);
    EXPECT_EQ(e.schwerpunkt2.y, -1.0f);
    EXPECT_EQ(e.schwerpunkt.x, -1.0f);
    EXPECT_EQ(e.schwerpunkt.y, -1.0f);
    EXPECT_EQ(e.sitzknochenabstand, -1.0f);
    EXPECT_FLOAT_EQ(e.gewicht1, 300.0f / 7);
    EXPECT_FLOAT_EQ(e.gewicht2, 400.0f / 7);
}

TEST(Std, WeightsCancellingToZeroGiveNoCombinedCentroidNorShares)
{
    // Both centroids finite, the side weights 2 and -2: the combined
    // centroid and the shares would divide by 0 and are missing; the
    // distance stays.
    TestBild b(3, 4);
    b.werte = {2, 0, 2, 2, -3, -2, 0, 2, 2, 3, 1, 1};
    AUSWERTUNG_STD e;
    EXPECT_EQ(std_protokoll(b, &e), "Standardauswertung\nGemeinsamer Schwerpunkt nicht endlich.\n"
                                    "Gewichte nicht endlich.\n");
    EXPECT_FLOAT_EQ(e.schwerpunkt1.x, 0.4f);
    EXPECT_EQ(e.schwerpunkt1.y, 1.0f);
    EXPECT_FLOAT_EQ(e.schwerpunkt2.x, 2.4f);
    EXPECT_FLOAT_EQ(e.schwerpunkt2.y, 0.8f);
    EXPECT_FLOAT_EQ(e.sitzknochenabstand, 2.0099752f);
    EXPECT_EQ(e.schwerpunkt.x, -1.0f);
    EXPECT_EQ(e.schwerpunkt.y, -1.0f);
    EXPECT_EQ(e.gewicht1, -1.0f);
    EXPECT_EQ(e.gewicht2, -1.0f);
}

TEST(Cop, Basics)
{
    double x, y;
    TestBild null(3, 6);
    EXPECT_EQ(DBLD_auswertung_cop(&x, &y, &null.dbld), 0);
    EXPECT_EQ(x, -1.0);
    EXPECT_EQ(y, -1.0);

    TestBild eins(4, 6, {{2, 5, 7}});
    EXPECT_EQ(DBLD_auswertung_cop(&x, &y, &eins.dbld), 1);
    EXPECT_EQ(x, 5.0);
    EXPECT_EQ(y, 2.0);

    TestBild paar(1, 5, {{0, 1, 4}, {0, 3, 4}});
    DBLD_auswertung_cop(&x, &y, &paar.dbld);
    EXPECT_EQ(x, 2.0);

    TestBild gewichtet(1, 5, {{0, 0, 1}, {0, 4, 3}});
    EXPECT_EQ(DBLD_auswertung_cop(&x, &y, &gewichtet.dbld), 1);
    EXPECT_EQ(x, 3.0);

    TestBild spalte0(3, 3, {{0, 0, 2}, {2, 0, 6}});
    EXPECT_EQ(DBLD_auswertung_cop(&x, &y, &spalte0.dbld), 0);
    EXPECT_EQ(x, 0.0);
    EXPECT_EQ(y, 1.5);

    TestBild leer(0, 4);
    EXPECT_EQ(DBLD_auswertung_cop(&x, &y, &leer.dbld), 0);
    EXPECT_EQ(x, -1.0);
}

TEST(Cop, MaskedCellsAreIgnored)
{
    double x, y;
    TestBild b(2, 4, {{0, 1, 5}, {1, 3, 9}});
    b.maske[1 * 4 + 3] = 1;
    EXPECT_EQ(DBLD_auswertung_cop(&x, &y, &b.dbld), 1);
    EXPECT_EQ(x, 1.0);
    EXPECT_EQ(y, 0.0);
    b.maske.assign(b.maske.size(), 1);
    EXPECT_EQ(DBLD_auswertung_cop(&x, &y, &b.dbld), 0);
    EXPECT_EQ(x, -1.0);
    EXPECT_EQ(y, -1.0);
}

TEST(Cop, NegativeWeightsNeverDivideByZero)
{
    double x, y;
    // The running weight returns to 0 after the second cell; the third
    // starts the centre afresh.
    TestBild b(1, 6, {{0, 1, 5}, {0, 2, -5}, {0, 4, 3}});
    EXPECT_EQ(DBLD_auswertung_cop(&x, &y, &b.dbld), 1);
    EXPECT_EQ(x, 4.0);
    EXPECT_EQ(y, 0.0);
}

TEST(Cop, LargeValuesDoNotOverflowTheWeight)
{
    double x, y;
    TestBild b(1, 4, {{0, 1, INT_MAX}, {0, 3, INT_MAX}});
    EXPECT_EQ(DBLD_auswertung_cop(&x, &y, &b.dbld), 1);
    EXPECT_EQ(x, 2.0);
}

TEST(LeeresBild, EveryEvaluationReturnsAtOnceWhateverTheOtherCount)
{
    // Zero columns under the largest row count and the other way round:
    // the results of an image without cells, at once (walking 2^31 rows of
    // nothing took seconds, under the sanitizer half a minute).
    for (auto [n_y, n_x] : {std::pair<int, int>{INT_MAX, 0}, {0, INT_MAX}}) {
        TestBild b(n_y, n_x);
        AUSWERTUNGSERGEBNIS std_e, plus_e;
        double x = 7, y = 7;
        int cop = -1;
        double dauer = sekunden([&] {
            EXPECT_EQ(DBLD_auswertung_std(&std_e, &b.dbld), 1);
            EXPECT_EQ(DBLD_auswertung_stdplus(&plus_e, &b.dbld), 1);
            cop = DBLD_auswertung_cop(&x, &y, &b.dbld);
        });
        EXPECT_LT(dauer, 0.5) << n_y << " x " << n_x;
        EXPECT_EQ(std_e.std.sitzknochenabstand, -1.0f);
        EXPECT_EQ(std_e.std.gewicht1, -1.0f);
        EXPECT_EQ(std_e.std.schwerpunkt2.x, -1.0f);
        // std+ around the corner (0, 0) of an empty mat: the smallest
        // plateau and the first angles searched
        EXPECT_EQ(plus_e.stdplus.ellipse_links.b, 0.5f);
        EXPECT_EQ(plus_e.stdplus.sitzknochenwinkel, 30.0f);
        EXPECT_EQ(plus_e.stdplus.sitzknochenabstand, 0.0f);
        EXPECT_EQ(cop, 0);
        EXPECT_EQ(x, -1.0);
        EXPECT_EQ(y, -1.0);
    }
}

} // namespace
