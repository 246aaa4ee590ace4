// Seat score: how many of the unmasked cells, taken from the highest
// pressure downwards, keep the running mean within 10 percent of the running
// average of that mean.
#include "dbld.h"
#include "dbld_speicher.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

// A deviation above this many whole percent ends the scan.
const int grenze_prozent = 10;

// qsort comparator for ints in descending order.
int compar(const void* v1, const void* v2)
{
    int a = *(const int*)v1;
    int b = *(const int*)v2;
    if (a > b)
        return -1;
    if (a == b)
        return 0;
    return 1;
}

// Number of cells of the image; a product that is not positive has none.
// Formed in 64 bits, so that the product of two int counts cannot overflow.
long long zellen(const DBLD* dbld)
{
    long long n = (long long)dbld->n_rows * dbld->n_cols;
    return n > 0 ? n : 0;
}

// Deviation of the running mean avg from its running average avg2 in whole
// percent of avg, rounded half away from zero: |avg - avg2| * 100 / avg.
// Callers have ruled out avg2 == 0.  A mean of 0 under a nonzero average is
// an infinite deviation, stored as the largest int; quotients beyond the int
// range are clamped to it, which keeps their side of the threshold.
int abweichung_prozent(int avg, int avg2)
{
    if (avg == 0)
        return INT_MAX;
    // The difference of two ints needs 33 bits; it is exact in a double.
    long long differenz = (long long)avg - avg2;
    if (differenz < 0)
        differenz = -differenz;
    double prozent = std::round((double)differenz * 100.0 / (double)avg);
    if (prozent >= (double)INT_MAX)
        return INT_MAX;
    if (prozent <= (double)INT_MIN)
        return INT_MIN;
    return (int)prozent;
}

} // namespace

double DBLD_kalvora(const DBLD* dbld)
{
    const long long l_dbld = zellen(dbld);

    long long l_values = 0;
    for (long long i = 0; i < l_dbld; ++i)
        if (dbld->mask[i] == 0)
            ++l_values;
    // No value, or a single one: nothing can depart from its own mean.
    if (l_values < 2)
        return 100.0;

    dbld_speicher::C_BLOCK<int[]> values((int*)malloc((size_t)l_values * sizeof(int)));
    if (!values)
        return -1.0;
    long long n = 0;
    for (long long i = 0; i < l_dbld; ++i)
        if (dbld->mask[i] == 0)
            values[n++] = dbld->dbld[i];
    qsort(values.get(), (size_t)l_values, sizeof(int), compar);

    // Running mean avg and running mean of the mean avg2, both truncated
    // toward zero, over 64-bit sums: a mean of ints is an int again, but
    // their sum is not.  The scan stops at the first deviation above the
    // threshold; the means beyond it do not matter.
    long long sum = 0, sum2 = 0;
    long long i = 0;
    for (; i < l_values; ++i) {
        sum += values[i];
        int avg = (int)(sum / (i + 1));
        sum2 += avg;
        int avg2 = (int)(sum2 / (i + 1));
        int scoreline = avg2 == 0 ? 0 : abweichung_prozent(avg, avg2);
        if (scoreline > grenze_prozent)
            break;
    }
    if (i == l_values)
        return 100.0;
    return (double)(i - 1) * 100.0 / (double)(l_values - 1);
}
