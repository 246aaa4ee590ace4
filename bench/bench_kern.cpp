// C-level benchmarks of the core and the evaluations.
#include "dbld.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

// Two sit-bone mounds on a low background, n x n cells.
std::vector<int> bild(int n)
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

template <int (*auswertung)(AUSWERTUNGSERGEBNIS*, const DBLD*)>
void BM_auswertung(benchmark::State& state)
{
    int n = (int)state.range(0);
    std::vector<int> werte = bild(n);
    std::vector<int> maske(werte.size(), 0);
    DBLD dbld = {n, n, werte.data(), 0, 0, maske.data()};
    AUSWERTUNGSERGEBNIS ergebnis;
    for (auto _ : state)
        benchmark::DoNotOptimize(auswertung(&ergebnis, &dbld));
}

void BM_cop(benchmark::State& state)
{
    int n = (int)state.range(0);
    std::vector<int> werte = bild(n);
    std::vector<int> maske(werte.size(), 0);
    DBLD dbld = {n, n, werte.data(), 0, 0, maske.data()};
    double x, y;
    for (auto _ : state)
        benchmark::DoNotOptimize(DBLD_auswertung_cop(&x, &y, &dbld));
}

} // namespace

BENCHMARK_TEMPLATE(BM_auswertung, DBLD_auswertung_std)->RangeMultiplier(2)->Range(16, 128);
BENCHMARK_TEMPLATE(BM_auswertung, DBLD_auswertung_stdplus)->RangeMultiplier(2)->Range(16, 128);
BENCHMARK(BM_cop)->RangeMultiplier(2)->Range(16, 128);
