// C-level benchmark of the seat score on square frames.
#include "dbld.h"

#include "sitzbild.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

void BM_kalvora(benchmark::State& state)
{
    SITZRAHMEN r((int)state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(DBLD_kalvora(&r.dbld));
}

} // namespace

BENCHMARK(BM_kalvora)->RangeMultiplier(2)->Range(16, 64);
