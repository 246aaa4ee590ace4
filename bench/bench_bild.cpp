// C-level benchmarks of the rendering on seated-like frames of 16 x 16 to
// 128 x 128 cells at resolution 20, quality 80:
// - BM_to_jpeg: the JPEG writer, and libjpeg alone compressing the same
//   raster, timed in turn in the same loop.  Counters: the medians of both
//   (jpeg_us, libjpeg_us), their ratio (Verhaeltnis), and the growth with
//   the number of cells (BigO / RMS lines); the memory of one call of each,
//   counted outside the timing by this program's own malloc: the bytes
//   allocated (jpeg_bytes, libjpeg_bytes) and the peak of the bytes in use
//   (jpeg_spitze, libjpeg_spitze), the JPEG data included, libjpeg's input
//   raster not;
// - BM_put_gen: the raster through the pixel-writer interface;
// - BM_punktweise: the raster sampled pixel by pixel through DBLD_dbldvalsq,
//   as the rasteriser is defined (what the row raster replaced);
// - BM_jpeg_an_der_grenze: the size of the largest JPEG found at the pixel
//   limit (8192 x 8192 pixels, 8190 x 8190 at resolution 3; quality 100): cells drawn at random in the
//   brightest colour of the scale or below 0 on a black background, the
//   hardest the colour scale offers libjpeg; one call each at resolution
//   1, 2 and 3 (counters jpeg_bytes, bytes_je_punkt, and jpeg_spitze, the
//   peak of the bytes in use during the call, libjpeg's buffer included).
#include "dbld.h"
#include "druckmessung/dbld_bild_intern.h"

#include "sitzbild.h"

#include <benchmark/benchmark.h>

#include <jpeglib.h>

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

// ---- Counting the heap of one call ------------------------------------------
//
// This program's malloc, calloc, realloc and free (which libjpeg and the
// library's writers call too) go to glibc's and, while counting is on, add
// up the bytes requested and follow the bytes in use (as glibc rounds them)
// and their peak.

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);
}

namespace {

struct HALDE {
    bool an = false;
    size_t angefordert = 0, aufrufe = 0;
    long long belegt = 0, spitze = 0;
} halde;

void dazu(void* p, size_t n)
{
    if (!halde.an || !p)
        return;
    halde.angefordert += n;
    ++halde.aufrufe;
    halde.belegt += (long long)malloc_usable_size(p);
    halde.spitze = std::max(halde.spitze, halde.belegt);
}

void weg(void* p)
{
    if (halde.an && p)
        halde.belegt -= (long long)malloc_usable_size(p);
}

// Bytes requested and the peak in use during f().
template <class F> void zaehlen(F f, size_t* angefordert, long long* spitze)
{
    halde = HALDE{};
    halde.an = true;
    f();
    halde.an = false;
    *angefordert = halde.angefordert;
    *spitze = halde.spitze;
}

} // namespace

extern "C" DBLD_EXPORT void* malloc(size_t n)
{
    void* p = __libc_malloc(n);
    dazu(p, n);
    return p;
}

extern "C" DBLD_EXPORT void* calloc(size_t n, size_t groesse)
{
    void* p = __libc_calloc(n, groesse);
    dazu(p, n * groesse);
    return p;
}

extern "C" DBLD_EXPORT void* realloc(void* alt, size_t n)
{
    weg(alt);
    void* p = __libc_realloc(alt, n);
    dazu(p, n);
    return p;
}

extern "C" DBLD_EXPORT void free(void* p)
{
    weg(p);
    __libc_free(p);
}

namespace {

using Uhr = std::chrono::steady_clock;

void kopieren(void* ausgabe, int, int, const unsigned char* farbe)
{
    unsigned char** p = (unsigned char**)ausgabe;
    memcpy(*p, farbe, 3);
    *p += 3;
}

// A frame as the image command hands it over: values, no mask, the range
// from DBLD_min_max, the command's default parameters.
struct Rahmen : SITZRAHMEN {
    BILDPARAMETER par = {20, 0, 0, 0, 80};
    int breite = 0, hoehe = 0;

    explicit Rahmen(int groesse) : SITZRAHMEN(groesse)
    {
        DBLD_min_max(&dbld);
        DBLD_pixsize(&breite, &hoehe, &dbld, par.resolution, par.frame);
    }
    std::vector<unsigned char> raster() const
    {
        std::vector<unsigned char> rgb(3 * (size_t)breite * hoehe);
        unsigned char* position = rgb.data();
        DBLD_put_gen(&position, kopieren, &dbld, &par);
        return rgb;
    }
};

// libjpeg alone, with the same calls as the writer, on a raster.
std::vector<unsigned char> komprimieren(const std::vector<unsigned char>& rgb, int breite,
                                        int hoehe, int quality)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr fehler;
    cinfo.err = jpeg_std_error(&fehler);
    jpeg_create_compress(&cinfo);
    unsigned char* puffer = nullptr;
    unsigned long laenge = 0;
    jpeg_mem_dest(&cinfo, &puffer, &laenge);
    cinfo.image_width = breite;
    cinfo.image_height = hoehe;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW zeile = (JSAMPROW)rgb.data() + (size_t)cinfo.next_scanline * 3 * breite;
        jpeg_write_scanlines(&cinfo, &zeile, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<unsigned char> daten(puffer, puffer + laenge);
    free(puffer);
    return daten;
}

std::vector<unsigned char> to_jpeg(const Rahmen& r)
{
    unsigned char* puffer = nullptr;
    unsigned long laenge = 0;
    DBLD_to_jpeg(&puffer, &laenge, &r.dbld, &r.par);
    std::vector<unsigned char> daten(puffer, puffer + laenge);
    free(puffer);
    return daten;
}

double median(std::vector<double> werte)
{
    if (werte.empty())
        return 0;
    std::sort(werte.begin(), werte.end());
    size_t h = werte.size() / 2;
    return werte.size() % 2 ? werte[h] : (werte[h - 1] + werte[h]) / 2;
}

double sekunden(Uhr::time_point a, Uhr::time_point b)
{
    return std::chrono::duration<double>(b - a).count();
}

void BM_to_jpeg(benchmark::State& state)
{
    Rahmen r((int)state.range(0));
    const std::vector<unsigned char> rgb = r.raster();
    if (to_jpeg(r) != komprimieren(rgb, r.breite, r.hoehe, r.par.quality)) {
        state.SkipWithError("the writer's bytes differ from libjpeg's of the raster");
        return;
    }
    size_t bytes_jpeg, bytes_libjpeg;
    long long spitze_jpeg, spitze_libjpeg;
    zaehlen([&r] { to_jpeg(r); }, &bytes_jpeg, &spitze_jpeg);
    zaehlen([&] { komprimieren(rgb, r.breite, r.hoehe, r.par.quality); }, &bytes_libjpeg,
            &spitze_libjpeg);
    state.counters["jpeg_bytes"] = (double)bytes_jpeg;
    state.counters["jpeg_spitze"] = (double)spitze_jpeg;
    state.counters["libjpeg_bytes"] = (double)bytes_libjpeg;
    state.counters["libjpeg_spitze"] = (double)spitze_libjpeg;
    std::vector<double> jpeg, libjpeg;
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
        benchmark::DoNotOptimize(komprimieren(rgb, r.breite, r.hoehe, r.par.quality).size());
        Uhr::time_point t3 = Uhr::now();
        state.ResumeTiming();
        jpeg.push_back(sekunden(t0, t1));
        libjpeg.push_back(sekunden(t2, t3));
    }
    const double m_jpeg = median(jpeg), m_libjpeg = median(libjpeg);
    state.counters["jpeg_us"] = m_jpeg * 1e6;
    state.counters["libjpeg_us"] = m_libjpeg * 1e6;
    state.counters["Verhaeltnis"] = m_libjpeg > 0 ? m_jpeg / m_libjpeg : 0;
    state.SetComplexityN((int64_t)r.n * r.n);
}

void BM_put_gen(benchmark::State& state)
{
    Rahmen r((int)state.range(0));
    std::vector<unsigned char> rgb(3 * (size_t)r.breite * r.hoehe);
    for (auto _ : state) {
        unsigned char* position = rgb.data();
        DBLD_put_gen(&position, kopieren, &r.dbld, &r.par);
        benchmark::DoNotOptimize(rgb.data());
    }
    state.SetComplexityN((int64_t)r.n * r.n);
}

void BM_punktweise(benchmark::State& state)
{
    Rahmen r((int)state.range(0));
    std::vector<unsigned char> rgb(3 * (size_t)r.breite * r.hoehe);
    for (auto _ : state) {
        unsigned char* position = rgb.data();
        dbld_bild::raster_punktweise(&position, kopieren, &r.dbld, &r.par);
        benchmark::DoNotOptimize(rgb.data());
    }
    state.SetComplexityN((int64_t)r.n * r.n);
}

void BM_jpeg_an_der_grenze(benchmark::State& state)
{
    const int res = (int)state.range(0);
    const int n = 8192 / res;
    std::vector<int> werte((size_t)n * n), maske(werte.size(), 0);
    // Level 196 gives the scale's yellow (255, 255, 0); -1 the background.
    uint32_t z = 20261212;
    for (int& v : werte) {
        z = z * 1664525u + 1013904223u;
        v = (z >> 31) ? 196 : -1;
    }
    DBLD dbld = {n, n, werte.data(), 0, 0, maske.data()};
    DBLD_min_max(&dbld);
    BILDPARAMETER par = {res, 0, 0, 0, 100};
    int rot, gruen, blau;
    DBLD_get_bgcolor(&rot, &gruen, &blau);
    DBLD_set_bgcolor(0, 0, 0);
    unsigned long laenge = 0;
    size_t angefordert = 0;
    long long spitze = 0;
    for (auto _ : state) {
        zaehlen(
            [&] {
                unsigned char* puffer = nullptr;
                laenge = 0;
                if (!DBLD_to_jpeg(&puffer, &laenge, &dbld, &par))
                    state.SkipWithError("no JPEG");
                free(puffer);
            },
            &angefordert, &spitze);
    }
    DBLD_set_bgcolor(rot, gruen, blau);
    state.counters["jpeg_bytes"] = (double)laenge;
    state.counters["jpeg_spitze"] = (double)spitze;
    state.counters["bytes_je_punkt"] = (double)laenge / ((double)n * res * n * res);
}

} // namespace

BENCHMARK(BM_to_jpeg)->RangeMultiplier(2)->Range(16, 128)->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_put_gen)->RangeMultiplier(2)->Range(16, 128)->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_punktweise)->RangeMultiplier(2)->Range(16, 128)->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_jpeg_an_der_grenze)->DenseRange(1, 3)->Iterations(1)->Unit(benchmark::kMillisecond);
