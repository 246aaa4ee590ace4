// C-level benchmarks of the evaluations, each beside the point-by-point
// reference it must equal bit for bit (tests/referenz/referenz_auswertung.cpp):
// BM_std, BM_stdplus, BM_cop and BM_*_referenz on square seated-like frames.
// items_per_second counts cells, so that linear growth shows as a constant.
#include "dbld.h"
#include "referenz_auswertung.h"

#include "sitzbild.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

using Rahmen = SITZRAHMEN;

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
