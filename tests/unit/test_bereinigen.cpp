// Cleaning of single images: DBLD_bereinigen.
#include "bild_helfer.h"
#include "dbld_speicher.h"
#include "dbld_intern.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <vector>

namespace {

using dbld_speicher::DBLD_BLOCK;

DBLD_BLOCK bereinigen(const TestBild& b)
{
    DBLD_BLOCK d(DBLD_bereinigen(&b.dbld));
    EXPECT_TRUE(d);
    if (d) {
        EXPECT_EQ(d->n_rows, b.n_y);
        EXPECT_EQ(d->n_cols, b.n_x);
    }
    return d;
}

int zelle(const DBLD* d, int r, int c) { return d->dbld[r * d->n_cols + c]; }

// Whether the centre of a 3 x 3 image with the given positive neighbours
// (row, column) survives.
bool mitte_bleibt(std::initializer_list<std::pair<int, int>> nachbarn)
{
    TestBild b(3, 3, {{1, 1, 50}});
    for (auto [r, c] : nachbarn)
        b.setze(r, c, 9);
    DBLD_BLOCK d = bereinigen(b);
    return d && zelle(d.get(), 1, 1) == 50;
}

TEST(Bereinigen, FewerThanThreeNeighboursNeverSurvive)
{
    EXPECT_FALSE(mitte_bleibt({}));
    const std::pair<int, int> ring[8] = {{2, 0}, {2, 1}, {2, 2}, {1, 2},
                                         {0, 2}, {0, 1}, {0, 0}, {1, 0}};
    for (int i = 0; i < 8; ++i) {
        EXPECT_FALSE(mitte_bleibt({ring[i]})) << i;
        for (int j = i + 1; j < 8; ++j)
            EXPECT_FALSE(mitte_bleibt({ring[i], ring[j]})) << i << "," << j;
    }
}

TEST(Bereinigen, ThreeInARowSurviveDiagonalsAlone)
{
    // The row i_y + 1: accepted at the third neighbour.
    EXPECT_TRUE(mitte_bleibt({{2, 0}, {2, 1}, {2, 2}}));
    // Upper, upper left and left: a run of three.
    EXPECT_TRUE(mitte_bleibt({{0, 1}, {0, 0}, {1, 0}}));
    // Four diagonal neighbours: four counted, but no run of two.
    EXPECT_FALSE(mitte_bleibt({{2, 0}, {2, 2}, {0, 2}, {0, 0}}));
    // Left, lower left and upper: the pair left / lower left does not join
    // across the end of the walk.
    EXPECT_FALSE(mitte_bleibt({{1, 0}, {2, 0}, {0, 1}}));
}

TEST(Bereinigen, StricterThanTheEvaluationsCleaning)
{
    // The evaluations keep a cell with three positive neighbours or a run of
    // two; DBLD_bereinigen needs both.
    TestBild b(3, 3, {{1, 1, 50}, {1, 0, 9}, {2, 0, 9}, {0, 1, 9}});
    std::vector<int> locker(9);
    dbld_intern::druckbild_bereinigen(locker.data(), b.werte.data(), 3, 3);
    EXPECT_EQ(locker[1 * 3 + 1], 50);
    DBLD_BLOCK d = bereinigen(b);
    EXPECT_EQ(zelle(d.get(), 1, 1), 0);
}

TEST(Bereinigen, AllPositiveLosesOnlyTheCornerInRowZeroAndTheLastColumn)
{
    const int groessen[][2] = {{2, 2}, {3, 4}, {5, 5}, {4, 2}};
    for (auto [n_y, n_x] : groessen) {
        TestBild b(n_y, n_x);
        b.block(0, n_y - 1, 0, n_x - 1, 20);
        DBLD_BLOCK d = bereinigen(b);
        for (int r = 0; r < n_y; ++r)
            for (int c = 0; c < n_x; ++c) {
                int erwartet = r == 0 && c == n_x - 1 ? 0 : 20;
                EXPECT_EQ(zelle(d.get(), r, c), erwartet)
                    << n_y << "x" << n_x << " at " << r << "," << c;
            }
        EXPECT_EQ(d->val_min, 20);
        EXPECT_EQ(d->val_max, 20);
    }
}

TEST(Bereinigen, SingleRowOrColumnIsCleanedToZeros)
{
    for (auto [n_y, n_x] : {std::pair<int, int>{1, 6}, {6, 1}}) {
        TestBild b(n_y, n_x);
        b.block(0, n_y - 1, 0, n_x - 1, 40);
        DBLD_BLOCK d = bereinigen(b);
        for (int i = 0; i < n_y * n_x; ++i)
            EXPECT_EQ(d->dbld[i], 0) << n_y << "x" << n_x << " " << i;
        EXPECT_EQ(d->val_min, 0);
        EXPECT_EQ(d->val_max, 0);
    }
}

TEST(Bereinigen, NegativeCellIsExaminedButNotCounted)
{
    TestBild b(3, 3, {{1, 1, -5}, {2, 0, 10}, {2, 1, 10}, {2, 2, 10}});
    DBLD_BLOCK d = bereinigen(b);
    EXPECT_EQ(zelle(d.get(), 1, 1), -5);
    // The row of tens itself: the -5 breaks their runs, so none survives.
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(zelle(d.get(), 2, c), 0);
    EXPECT_EQ(d->val_min, 0);
    EXPECT_EQ(d->val_max, 0);
}

TEST(Bereinigen, MaskIsIgnoredAndSourceUnchanged)
{
    TestBild b(2, 2);
    b.block(0, 1, 0, 1, 30);
    b.maske = {1, 1, 0, 1};
    std::vector<int> vorher = b.werte;
    DBLD_BLOCK d = bereinigen(b);
    EXPECT_EQ(zelle(d.get(), 0, 0), 30); // masked, positive: kept
    EXPECT_EQ(zelle(d.get(), 0, 1), 0);
    EXPECT_EQ(zelle(d.get(), 1, 1), 30);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(d->mask[i], 0) << i;
    EXPECT_EQ(b.werte, vorher);
    EXPECT_EQ(b.maske, (std::vector<int>{1, 1, 0, 1}));
}

TEST(Bereinigen, ValueRangeOfTheKeptCells)
{
    // 2 x 2: row 0 = 5, 300; row 1 = 7, 9.  300 sits in the lost corner.
    TestBild b(2, 2, {{0, 0, 5}, {0, 1, 300}, {1, 0, 7}, {1, 1, 9}});
    DBLD_BLOCK d = bereinigen(b);
    EXPECT_EQ(zelle(d.get(), 0, 1), 0);
    EXPECT_EQ(d->val_min, 5);
    EXPECT_EQ(d->val_max, 9);

    // The running minimum starts at 256.
    TestBild h(2, 2);
    h.block(0, 1, 0, 1, 300);
    DBLD_BLOCK dh = bereinigen(h);
    EXPECT_EQ(dh->val_min, 256);
    EXPECT_EQ(dh->val_max, 300);

    TestBild z(3, 4);
    DBLD_BLOCK dz = bereinigen(z);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(dz->dbld[i], 0);
    EXPECT_EQ(dz->val_min, 0);
    EXPECT_EQ(dz->val_max, 0);
}

TEST(Bereinigen, ImageWithoutCellsAtOnce)
{
    // Zero columns under the largest row count, and the other way round:
    // an empty record at once (walking 2^31 rows of nothing took seconds).
    for (auto [n_y, n_x] : {std::pair<int, int>{INT_MAX, 0}, {0, INT_MAX}}) {
        TestBild b(n_y, n_x);
        DBLD_BLOCK d;
        EXPECT_LT(sekunden([&] { d = bereinigen(b); }), 0.5) << n_y << " x " << n_x;
        ASSERT_TRUE(d);
        EXPECT_EQ(d->val_min, 0);
        EXPECT_EQ(d->val_max, 0);
    }
}

} // namespace
