// C-level benchmark of the seat score on square frames.
#include "dbld.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

// Two sit-bone mounds on a low background, n x n cells.
std::vector<int> sitzbild(int n)
{
    std::vector<int> werte((size_t)n * n);
    double h = n / 2.0;
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) {
            double d1 = std::hypot(r - 0.45 * n, c - 0.3 * n) / h;
            double d2 = std::hypot(r - 0.45 * n, c - 0.7 * n) / h;
            int v = (int)(80 * std::exp(-8 * d1 * d1) + 70 * std::exp(-8 * d2 * d2));
            werte[(size_t)r * n + c] = v < 3 ? 0 : v;
        }
    return werte;
}

void BM_kalvora(benchmark::State& state)
{
    int n = (int)state.range(0);
    std::vector<int> werte = sitzbild(n);
    std::vector<int> maske(werte.size(), 0);
    DBLD dbld = {n, n, werte.data(), 0, 0, maske.data()};
    for (auto _ : state)
        benchmark::DoNotOptimize(DBLD_kalvora(&dbld));
}

} // namespace

BENCHMARK(BM_kalvora)->RangeMultiplier(2)->Range(16, 64);
