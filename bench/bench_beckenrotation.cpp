// C-level benchmarks of the pelvic rotation log and fit.
#include "dbld.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

// A wandering centre of pressure, n points.
void loggen(int n)
{
    for (int i = 0; i < n; ++i)
        BROT_log(16 + 2.0 * std::sin(i * 0.1), 12 + 1.5 * std::cos(i * 0.13));
}

void BM_brot_log(benchmark::State& state)
{
    OVAL o;
    BROT_result(&o);
    double x = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(BROT_log(x, 1.0));
        x += 0.25;
    }
    BROT_result(&o);
}

void BM_brot_logcop(benchmark::State& state)
{
    int n = (int)state.range(0);
    std::vector<int> werte((size_t)n * n), maske(werte.size(), 0);
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
            werte[(size_t)r * n + c] = (r * 7 + c * 13) % 50;
    DBLD dbld = {n, n, werte.data(), 0, 0, maske.data()};
    OVAL o;
    BROT_result(&o);
    for (auto _ : state)
        benchmark::DoNotOptimize(BROT_logcop(&dbld));
    BROT_result(&o);
}

// The fit runs when a report closes a recording: each round logs the full
// log of 600 points with the timer paused.
void BM_brot_result_600(benchmark::State& state)
{
    OVAL o;
    BROT_result(&o);
    for (auto _ : state) {
        state.PauseTiming();
        loggen(600);
        state.ResumeTiming();
        benchmark::DoNotOptimize(BROT_result(&o));
    }
}

void BM_brot_json_600(benchmark::State& state)
{
    char text[512];
    OVAL o;
    BROT_result(&o);
    for (auto _ : state) {
        state.PauseTiming();
        loggen(600);
        state.ResumeTiming();
        benchmark::DoNotOptimize(BROT_json_result(text, sizeof text));
    }
}

} // namespace

BENCHMARK(BM_brot_log);
BENCHMARK(BM_brot_logcop)->Arg(32);
BENCHMARK(BM_brot_result_600);
BENCHMARK(BM_brot_json_600);
