// Pressure image record, sampling between cells, diagnostic log.
#include "bild_helfer.h"
#include "dbld_speicher.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

using dbld_speicher::DBLD_BLOCK;

TEST(Record, NewIsZeroFilledWithMaskBehindValues)
{
    DBLD_BLOCK d(DBLD_new(3, 4));
    ASSERT_TRUE(d);
    EXPECT_EQ(d->n_rows, 3);
    EXPECT_EQ(d->n_cols, 4);
    EXPECT_EQ(d->val_min, 0);
    EXPECT_EQ(d->val_max, 255);
    EXPECT_EQ(d->mask, d->dbld + 12);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(d->dbld[i], 0);
        EXPECT_EQ(d->mask[i], 0);
    }
}

TEST(Record, NewRejectsSizesThatDoNotFit)
{
    EXPECT_EQ(DBLD_new(-1, 4), nullptr);
    EXPECT_EQ(DBLD_new(65536, 65536), nullptr);
}

TEST(Record, DeleteLeavesPointerNull)
{
    DBLD* d = DBLD_new(2, 2);
    ASSERT_NE(d, nullptr);
    DBLD_delete(&d);
    EXPECT_EQ(d, nullptr);
}

TEST(Record, InitValueRanges)
{
    const int gemischt[] = {0, 5, -3, 200};
    DBLD_BLOCK d(DBLD_init(gemischt, 2, 2));
    ASSERT_TRUE(d);
    const int masken[] = {1, 0, 1, 0};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(d->dbld[i], gemischt[i]);
        EXPECT_EQ(d->mask[i], masken[i]);
    }
    EXPECT_EQ(d->val_min, 5);
    EXPECT_EQ(d->val_max, 200);

    const int nullen[] = {0, 0, 0};
    DBLD_BLOCK z(DBLD_init(nullen, 1, 3));
    EXPECT_EQ(z->val_min, 0);
    EXPECT_EQ(z->val_max, 0);
    EXPECT_EQ(z->mask[0] + z->mask[1] + z->mask[2], 3);

    const int hoch[] = {300, 300};
    DBLD_BLOCK h(DBLD_init(hoch, 1, 2));
    EXPECT_EQ(h->val_min, 256);
    EXPECT_EQ(h->val_max, 300);
}

TEST(Record, MinMaxCountsZeros)
{
    const int werte[] = {0, 5, 200};
    DBLD_BLOCK d(DBLD_init(werte, 1, 3));
    DBLD_min_max(d.get());
    EXPECT_EQ(d->val_min, 0);
    EXPECT_EQ(d->val_max, 200);
}

TEST(Sampling, CentreCellOfThreeByThree)
{
    TestBild b(3, 3, {{1, 1, 100}});
    b.dbld.val_min = 0;
    EXPECT_EQ(DBLD_dbldvalsq(&b.dbld, 1, 1), 100.0f);
    EXPECT_EQ(DBLD_dbldvalsq(&b.dbld, 1.5f, 1), 50.0f);
    EXPECT_EQ(DBLD_dbldvalsq(&b.dbld, 1.5f, 1.5f), 25.0f);
    EXPECT_EQ(DBLD_dbldvalsq(&b.dbld, 0.25f, 1), 25.0f);
    EXPECT_EQ(DBLD_dbldvalsq(&b.dbld, 2.5f, 1), 0.0f);
    b.dbld.val_min = 60;
    EXPECT_EQ(DBLD_dbldvalsq(&b.dbld, 1.5f, 1), 0.0f);
    EXPECT_EQ(DBLD_dbldvalsq(&b.dbld, 1, 1), 100.0f);
}

TEST(Sampling, EdgeColumnAndTruncationTowardZero)
{
    TestBild b(3, 3, {{1, 0, 100}});
    b.dbld.val_min = 0;
    EXPECT_EQ(DBLD_dbldvalsq(&b.dbld, -0.75f, 1), 25.0f);
    EXPECT_EQ(DBLD_dbldvalsq(&b.dbld, -1.5f, 1), 0.0f);
}

TEST(Sampling, EmptyNeighbourhoodReadsZero)
{
    // The nearest cell's 3x3 neighbourhood sums to 0 (one +5, one -5), so
    // the sample is 0 although the cell itself holds 5.
    TestBild b(3, 5, {{1, 2, 5}, {1, 1, -5}});
    b.dbld.val_min = -10;
    EXPECT_EQ(DBLD_dbldvalsq(&b.dbld, 2, 1), 0.0f);
    b.setze(1, 1, 0);
    EXPECT_EQ(DBLD_dbldvalsq(&b.dbld, 2, 1), 5.0f);
}

TEST(Sampling, NonFiniteAndHugeCoordinatesReadZero)
{
    TestBild b(3, 3, {{1, 1, 100}});
    b.dbld.val_min = 0;
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (float v : {inf, -inf, nan, 3e9f, -3e9f, 1e38f}) {
        EXPECT_EQ(DBLD_dbldvalsq(&b.dbld, v, 1), 0.0f) << v;
        EXPECT_EQ(DBLD_dbldvalsq(&b.dbld, 1, v), 0.0f) << v;
    }
}

class Log : public ::testing::Test {
protected:
    DBLD_LOGLEVEL alt = dbld_loglevel;
    void TearDown() override { dbld_loglevel = alt; }
};

TEST_F(Log, GatingByLevel)
{
    dbld_loglevel = DBLD_LOGLEVEL_LOG;
    testing::internal::CaptureStderr();
    dbld_err_msg("E%d", 1);
    dbld_warn_msg("W");
    dbld_log_msg("L");
    dbld_dbg_msg("D");
    dbld_dbg2_msg("2");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "E1WL");

    dbld_loglevel = DBLD_LOGLEVEL_ERR;
    testing::internal::CaptureStderr();
    dbld_err_msg("E");
    dbld_warn_msg("W");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "E");

    dbld_loglevel = DBLD_LOGLEVEL_DBG2;
    testing::internal::CaptureStderr();
    dbld_dbg_msg("D");
    dbld_dbg2_msg("2");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "D2");
}

} // namespace
