// Seat score: sorting, running means, the whole-percent deviation and the
// scan with its threshold of 10.
#include "dbld.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

// Score of an n_y x n_x image; an empty mask means every cell takes part.
double score(int n_y, int n_x, std::vector<int> werte, std::vector<int> maske = {})
{
    if (maske.empty())
        maske.assign(werte.size(), 0);
    DBLD dbld = {n_y, n_x, werte.data(), 0, 0, maske.data()};
    return DBLD_kalvora(&dbld);
}

// One row of values, all taking part.
double score(std::vector<int> werte)
{
    return score(1, (int)werte.size(), werte);
}

TEST(Kalvora, WorkedExample)
{
    // Sorted 10 10 10 10 2: means 10 10 10 10 8, their averages
    // 10 10 10 10 9, deviation 12.5 -> 13 at index 4: 3 * 100 / 4.
    EXPECT_EQ(score({10, 10, 2, 10, 10}), 75.0);
    // A sixth, masked cell does not count, whatever it holds.
    EXPECT_EQ(score(2, 3, {10, 10, 2, 10, 10, 1000}, {0, 0, 0, 0, 0, 1}), 75.0);
    EXPECT_EQ(score(2, 3, {10, 10, 2, 10, 10, -7}, {0, 0, 0, 0, 0, 1}), 75.0);
    // The masked cell may stand anywhere in storage order.
    EXPECT_EQ(score(2, 3, {500, 10, 10, 2, 10, 10}, {1, 0, 0, 0, 0, 0}), 75.0);
}

TEST(Kalvora, NothingToDepartFrom)
{
    EXPECT_EQ(score(2, 2, {4, 9, 1, 7}, {1, 1, 1, 1}), 100.0);
    EXPECT_EQ(score(0, 5, {}), 100.0);
    EXPECT_EQ(score(3, 0, {}), 100.0);
    EXPECT_EQ(score(2, 2, {4, 9, 1, 7}, {1, 0, 1, 1}), 100.0);
    EXPECT_EQ(score({42, 42, 42, 42, 42, 42}), 100.0);
    EXPECT_EQ(score({0, 0, 0}), 100.0);
}

TEST(Kalvora, OnePeakOverZeros)
{
    // Means 5 2 1 1 1 0, averages 5 3 2 2 2 1: 50 percent at index 1.
    EXPECT_EQ(score(2, 3, {0, 0, 5, 0, 0, 0}), 0.0);
}

TEST(Kalvora, DeviationRoundsHalfAwayFromZero)
{
    // 151, 99: means 151 125, averages 151 138: 13 * 100 / 125 = 10.4 -> 10,
    // which does not stop the scan.
    EXPECT_EQ(score({151, 99}), 100.0);
    // 242, 158: means 242 200, averages 242 221: 21 * 100 / 200 = 10.5 -> 11.
    EXPECT_EQ(score({242, 158}), 0.0);
}

TEST(Kalvora, AnyNonzeroMaskValueExcludes)
{
    // Unmasked, the zeros stop the scan at index 2 of 4: means 5 5 3 2,
    // averages 5 5 4 3.
    EXPECT_EQ(score(1, 4, {5, 0, 5, 0}, {0, 2, 0, -1}), 100.0);
    EXPECT_EQ(score(1, 4, {5, 0, 5, 0}, {0, INT_MIN, 0, INT_MAX}), 100.0);
    EXPECT_EQ(score(1, 4, {5, 0, 5, 0}, {0, 0, 0, 0}), 100.0 / 3.0);
}

TEST(Kalvora, ZeroMeanUnderPositiveAverageStops)
{
    // Ten 10s and -100: the eleventh mean is 0 under an average of 9, an
    // infinite deviation; the scan stops at index 10: 9 * 100 / 10.
    std::vector<int> werte(10, 10);
    werte.push_back(-100);
    EXPECT_EQ(score(werte), 90.0);
}

TEST(Kalvora, NegativeMeanDividesBySignedMean)
{
    // Means -1 -1 -1 -25, averages -1 -1 -1 -7: 18 * 100 / -25 = -72, which
    // is below the threshold.
    EXPECT_EQ(score({-1, -100, -1, -1}), 100.0);
}

TEST(Kalvora, SumsBeyond32Bits)
{
    // The worked example scaled by 2e8: the sums pass 2^31 from the second
    // value on.  Means 2e9 .. 1.68e9, averages 2e9 .. 1.936e9: 15 percent.
    EXPECT_EQ(score({2000000000, 2000000000, 400000000, 2000000000, 2000000000}), 75.0);
    EXPECT_EQ(score(std::vector<int>(7, INT_MAX)), 100.0);
    EXPECT_EQ(score(std::vector<int>(7, INT_MIN)), 100.0);
}

TEST(Kalvora, DeviationsBeyondIntRange)
{
    // Means INT_MAX 1, averages INT_MAX 2^30: about 1.07e11 percent, which
    // stays above the threshold.
    EXPECT_EQ(score({INT_MAX, -INT_MAX + 2}), 0.0);
    // Means INT_MAX-1 -1, averages INT_MAX-1 2^30-1: about -1.07e11 percent,
    // which stays below it.
    EXPECT_EQ(score({INT_MAX - 1, INT_MIN}), 100.0);
    // Mean 0 under an average of 2^30.
    EXPECT_EQ(score({INT_MAX, INT_MIN}), 0.0);
}

TEST(Kalvora, NegativeCountsWithPositiveProduct)
{
    EXPECT_EQ(score(-1, -5, {10, 10, 2, 10, 10}), 75.0);
    EXPECT_EQ(score(-1, 5, {}), 100.0);
}

// The score as the plain four-array procedure computes it, with every
// deviation formed before the scan; for comparison on random images.
double score_vierfeld(const std::vector<int>& werte, const std::vector<int>& maske)
{
    std::vector<int> values;
    for (size_t i = 0; i < werte.size(); ++i)
        if (maske[i] == 0)
            values.push_back(werte[i]);
    std::sort(values.begin(), values.end(), [](int a, int b) { return a > b; });
    size_t n = values.size();
    std::vector<long long> avg(n), avg2(n);
    std::vector<double> scoreline(n);
    long long sum = 0;
    for (size_t i = 0; i < n; ++i)
        avg[i] = (sum += values[i]) / (long long)(i + 1);
    sum = 0;
    for (size_t i = 0; i < n; ++i)
        avg2[i] = (sum += avg[i]) / (long long)(i + 1);
    for (size_t i = 0; i < n; ++i)
        scoreline[i] = avg2[i] == 0 ? 0.0
                       : avg[i] == 0 ? INFINITY
                                     : std::round(std::fabs((double)(avg[i] - avg2[i])) *
                                                  100.0 / (double)avg[i]);
    size_t i = 0;
    while (i < n && !(scoreline[i] > 10.0))
        ++i;
    return i == n ? 100.0 : (double)(i - 1) * 100.0 / (double)(n - 1);
}

TEST(Kalvora, AgreesWithFourArrayProcedure)
{
    std::mt19937 zufall(4711);
    int gestoppt = 0;
    for (int runde = 0; runde < 2000; ++runde) {
        int n_y = 1 + (int)(zufall() % 12), n_x = 1 + (int)(zufall() % 12);
        std::vector<int> werte((size_t)n_y * n_x), maske(werte.size());
        // Mostly gentle images (long scans), some peaked ones, a few with
        // negative values.
        int spanne = runde % 3 == 0 ? 1000 : 20;
        int basis = runde % 3 == 0 ? 0 : 100;
        for (size_t i = 0; i < werte.size(); ++i) {
            werte[i] = basis + (int)(zufall() % spanne) - (runde % 10 == 0 ? 500 : 0);
            maske[i] = zufall() % 4 == 0 ? (int)(zufall() % 3) : 0;
        }
        double erwartet = score_vierfeld(werte, maske);
        if (erwartet < 100.0)
            ++gestoppt;
        ASSERT_EQ(score(n_y, n_x, werte, maske), erwartet) << "round " << runde;
    }
    // Both outcomes of the scan occur.
    EXPECT_GT(gestoppt, 200);
    EXPECT_LT(gestoppt, 1800);
}

// AddressSanitizer reserves far more address space than a cap allows.
#if defined(__SANITIZE_ADDRESS__)
#define KALVORA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KALVORA_ASAN 1
#endif
#endif

#ifndef KALVORA_ASAN
// Runs in a child process: caps the address space just above its current
// size, so that the 64 MiB work array cannot be obtained, and exits with 0
// when the score reports the failure.
void score_ohne_speicher()
{
    const int n = 4096 * 4096;
    std::vector<int> werte(n, 1), maske(n, 0);
    DBLD dbld = {4096, 4096, werte.data(), 0, 0, maske.data()};
    long seiten = 0;
    FILE* f = fopen("/proc/self/statm", "r");
    if (!f || fscanf(f, "%ld", &seiten) != 1)
        _exit(2);
    fclose(f);
    rlim_t grenze = (rlim_t)seiten * sysconf(_SC_PAGESIZE) + 16 * 1024 * 1024;
    struct rlimit rl = {grenze, grenze};
    if (setrlimit(RLIMIT_AS, &rl) != 0)
        _exit(3);
    _exit(DBLD_kalvora(&dbld) == -1.0 ? 0 : 1);
}

TEST(KalvoraDeathTest, WorkMemoryFailureIsReported)
{
    EXPECT_EXIT(score_ohne_speicher(), ::testing::ExitedWithCode(0), "");
}
#endif

} // namespace
