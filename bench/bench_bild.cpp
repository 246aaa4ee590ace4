// C-level benchmarks of the rendering: the whole JPEG writer, its raster
// alone, and libjpeg alone compressing that raster (the share of the
// writer's time spent in compression).
#include "dbld.h"

#include <benchmark/benchmark.h>

#include <jpeglib.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// Two sit-bone mounds on a low background, n x n cells.
std::vector<int> huegel(int n)
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

struct Rahmen {
    int n;
    std::vector<int> werte, maske;
    DBLD dbld;
    BILDPARAMETER par = {20, 0, 0, 0, 80};
    explicit Rahmen(int groesse)
        : n(groesse), werte(huegel(groesse)), maske(werte.size(), 0),
          dbld{groesse, groesse, werte.data(), 0, 0, maske.data()}
    {
        DBLD_min_max(&dbld);
    }
    std::vector<unsigned char> raster() const
    {
        int w, h;
        DBLD_pixsize(&w, &h, &dbld, par.resolution, par.frame);
        std::vector<unsigned char> rgb(3 * (size_t)w * h);
        unsigned char* position = rgb.data();
        DBLD_put_gen(&position, schreiben, &dbld, &par);
        return rgb;
    }
    static void schreiben(void* ausgabe, int, int, const unsigned char* farbe)
    {
        unsigned char** p = (unsigned char**)ausgabe;
        (*p)[0] = farbe[0];
        (*p)[1] = farbe[1];
        (*p)[2] = farbe[2];
        *p += 3;
    }
};

// libjpeg alone, with the same calls as the writer, on the same raster.
unsigned long komprimieren(const std::vector<unsigned char>& rgb, int w, int quality)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr fehler;
    cinfo.err = jpeg_std_error(&fehler);
    jpeg_create_compress(&cinfo);
    unsigned char* puffer = nullptr;
    unsigned long laenge = 0;
    jpeg_mem_dest(&cinfo, &puffer, &laenge);
    cinfo.image_width = w;
    cinfo.image_height = w;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW zeile = (JSAMPROW)rgb.data() + (size_t)cinfo.next_scanline * 3 * w;
        jpeg_write_scanlines(&cinfo, &zeile, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    free(puffer);
    return laenge;
}

// The whole writer; the counter Kompression is the share of its time that
// libjpeg alone needs for the same raster (timed beside it, untimed).
void BM_to_jpeg(benchmark::State& state)
{
    using Uhr = std::chrono::steady_clock;
    Rahmen r((int)state.range(0));
    std::vector<unsigned char> rgb = r.raster();
    int w = r.n * r.par.resolution;
    double ganz = 0, kompression = 0;
    for (auto _ : state) {
        Uhr::time_point t0 = Uhr::now();
        unsigned char* puffer = nullptr;
        unsigned long laenge = 0;
        DBLD_to_jpeg(&puffer, &laenge, &r.dbld, &r.par);
        benchmark::DoNotOptimize(laenge);
        free(puffer);
        Uhr::time_point t1 = Uhr::now();
        state.PauseTiming();
        Uhr::time_point t2 = Uhr::now();
        benchmark::DoNotOptimize(komprimieren(rgb, w, r.par.quality));
        Uhr::time_point t3 = Uhr::now();
        state.ResumeTiming();
        ganz += std::chrono::duration<double>(t1 - t0).count();
        kompression += std::chrono::duration<double>(t3 - t2).count();
    }
    state.counters["Kompression"] = ganz > 0 ? kompression / ganz : 0;
}

void BM_raster(benchmark::State& state)
{
    Rahmen r((int)state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(r.raster().data());
}

void BM_libjpeg_allein(benchmark::State& state)
{
    Rahmen r((int)state.range(0));
    std::vector<unsigned char> rgb = r.raster();
    for (auto _ : state)
        benchmark::DoNotOptimize(komprimieren(rgb, r.n * r.par.resolution, r.par.quality));
}

} // namespace

BENCHMARK(BM_to_jpeg)->Arg(32)->Arg(64)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_raster)->Arg(32)->Arg(64)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_libjpeg_allein)->Arg(32)->Arg(64)->Unit(benchmark::kMicrosecond);
