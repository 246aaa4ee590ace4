// The cosines, sines and tangents that the extended evaluation takes at
// fixed arguments are constants of the code (dbld_winkeltabellen.h), so no
// result depends on the maths library of the machine.  These tests check
// the tables themselves: the ring angles are the evaluation's, and every
// value lies within one unit in the last place of the true value (taken in
// long double).  The tables hold the values of Debian 12's glibc; a table
// made elsewhere would pass here and change results, which the comparison
// of platforms and the std+ cases catch.
#include "druckmessung/dbld_winkeltabellen.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double pi = 3.14159265358979323846;

// Whether f is at most one unit in the last place (of f) away from exakt.
bool auf_eine_stelle(float f, long double exakt)
{
    float ulp = std::nextafter(std::fabs(f), INFINITY) - std::fabs(f);
    return std::fabs((long double)f - exakt) <= (long double)ulp;
}

TEST(Mathe, RingAnglesAreTheEvaluationsAndTheirValuesExact)
{
    const float STEP_RAD = (float)(10 * pi / 180);
    float w = 0;
    int i = 0;
    for (; 2 * pi - (double)w > 0.01; ++i, w += STEP_RAD) {
        ASSERT_LT(i, dbld_winkel::RING_N);
        const dbld_winkel::RINGWINKEL& r = dbld_winkel::ring[i];
        EXPECT_EQ(r.w, w) << "ring angle " << i;
        EXPECT_TRUE(auf_eine_stelle(r.cos_w, cosl(w))) << "cos of ring angle " << i;
        EXPECT_TRUE(auf_eine_stelle(r.sin_w, sinl(w))) << "sin of ring angle " << i;
    }
    EXPECT_EQ(i, dbld_winkel::RING_N);
}

TEST(Mathe, WholeDegreeValuesExact)
{
    for (int g = dbld_winkel::GRAD_MIN; g <= dbld_winkel::GRAD_MAX; ++g) {
        const dbld_winkel::GRADWINKEL& t = dbld_winkel::grad[g - dbld_winkel::GRAD_MIN];
        long double rad = (float)(g * pi / 180);
        EXPECT_TRUE(auf_eine_stelle(t.cos_w, cosl(rad))) << "cos of " << g << " degrees";
        EXPECT_TRUE(auf_eine_stelle(t.sin_w, sinl(rad))) << "sin of " << g << " degrees";
        EXPECT_TRUE(auf_eine_stelle(t.tan_w, tanl(rad))) << "tan of " << g << " degrees";
    }
}

} // namespace
