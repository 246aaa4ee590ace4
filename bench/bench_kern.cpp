// C-level benchmarks of the evaluations, each beside the point-by-point
// reference it must equal bit for bit (tests/unit/referenz_auswertung.cpp):
// BM_std, BM_stdplus, BM_cop and BM_*_referenz on square seated-like frames.
// items_per_second counts cells, so that linear growth shows as a constant.
#include "dbld.h"
#include "referenz_auswertung.h"

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

// The frame as a command hands it over: an all-zero mask, no value range.
struct Rahmen {
    int n;
    std::vector<int> werte, maske;
    DBLD dbld;
    explicit Rahmen(int groesse)
        : n(groesse), werte(bild(groesse)), maske(werte.size(), 0),
          dbld{groesse, groesse, werte.data(), 0, 0, maske.data()}
    {
    }
};

template <int (*auswertung)(AUSWERTUNGSERGEBNIS*, const DBLD*)>
void auswertung_messen(benchmark::State& state)
{
    Rahmen r((int)state.range(0));
    AUSWERTUNGSERGEBNIS ergebnis;
    for (auto _ : state) {
        benchmark::DoNotOptimize(auswertung(&ergebnis, &r.dbld));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * (int64_t)r.werte.size());
}

template <int (*auswertung)(double*, double*, const DBLD*)>
void cop_messen(benchmark::State& state)
{
    Rahmen r((int)state.range(0));
    double x, y;
    for (auto _ : state) {
        benchmark::DoNotOptimize(auswertung(&x, &y, &r.dbld));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * (int64_t)r.werte.size());
}

void BM_std(benchmark::State& s) { auswertung_messen<DBLD_auswertung_std>(s); }
void BM_std_referenz(benchmark::State& s) { auswertung_messen<referenz::auswertung_std>(s); }
void BM_stdplus(benchmark::State& s) { auswertung_messen<DBLD_auswertung_stdplus>(s); }
void BM_stdplus_referenz(benchmark::State& s)
{
    auswertung_messen<referenz::auswertung_stdplus>(s);
}
void BM_cop(benchmark::State& s) { cop_messen<DBLD_auswertung_cop>(s); }
void BM_cop_referenz(benchmark::State& s) { cop_messen<referenz::auswertung_cop>(s); }

} // namespace

BENCHMARK(BM_std)->RangeMultiplier(2)->Range(16, 128);
BENCHMARK(BM_std_referenz)->RangeMultiplier(2)->Range(16, 128);
BENCHMARK(BM_stdplus)->RangeMultiplier(2)->Range(16, 128);
BENCHMARK(BM_stdplus_referenz)->RangeMultiplier(2)->Range(16, 128);
BENCHMARK(BM_cop)->RangeMultiplier(2)->Range(16, 128);
BENCHMARK(BM_cop_referenz)->RangeMultiplier(2)->Range(16, 128);
