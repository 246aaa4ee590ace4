// Rendering: colour settings and scale, rasteriser, PPM / PGM dumps, JPEG.
#include "bild_helfer.h"
#include "referenz_bild.h"
#include "druckmessung/dbld_bild_intern.h"

#include <gtest/gtest.h>

#include <jpeglib.h>
#include <jerror.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <climits>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Farbe = std::array<int, 3>;

Farbe farbe(int level)
{
    Farbe f;
    DBLD_value_to_color(&f[0], &f[1], &f[2], level);
    return f;
}

// The colour settings are process-wide: every test starts and ends with
// contrast 0 and a white background.
class Bild : public ::testing::Test {
protected:
    void SetUp() override { zuruecksetzen(); }
    void TearDown() override { zuruecksetzen(); }
    static void zuruecksetzen()
    {
        DBLD_set_ccontrast(0);
        DBLD_set_bgcolor(255, 255, 255);
    }
};

// Everything a function writes to a stream, as a string.
template <class F> std::string ausgabe(F schreiben)
{
    char* text = nullptr;
    size_t laenge = 0;
    FILE* f = open_memstream(&text, &laenge);
    schreiben(f);
    fclose(f);
    std::string s(text, laenge);
    free(text);
    return s;
}

// The raster DBLD_put_gen hands over, with a check that the pixels come row
// by row from the top left without gaps.
struct Raster {
    int breite = 0, hoehe = 0;
    std::vector<unsigned char> rgb;
    int x_erwartet = 0, y_erwartet = 0;
    bool lueckenlos = true;

    Farbe pixel(int x, int y) const
    {
        size_t i = 3 * ((size_t)y * breite + x);
        return {rgb[i], rgb[i + 1], rgb[i + 2]};
    }
};

void sammeln(void* ausgabe, int x, int y, const unsigned char* f)
{
    Raster* r = (Raster*)ausgabe;
    if (x != r->x_erwartet || y != r->y_erwartet) {
        // a new row starts at x = 0 on the next y
        if (!(x == 0 && y == r->y_erwartet + 1 && r->x_erwartet == r->breite))
            r->lueckenlos = false;
    }
    r->rgb.insert(r->rgb.end(), f, f + 3);
    r->x_erwartet = x + 1;
    r->y_erwartet = y;
}

Raster rastern(const DBLD* dbld, const BILDPARAMETER& par)
{
    Raster r;
    DBLD_pixsize(&r.breite, &r.hoehe, dbld, par.resolution, par.frame);
    DBLD_put_gen(&r, sammeln, dbld, &par);
    return r;
}

BILDPARAMETER parameter(int resolution, int grid = 0, int frame = 0, int mask = 0,
                        int quality = 80)
{
    return BILDPARAMETER{resolution, grid, frame, mask, quality};
}

const Farbe GRAU = {128, 128, 128};
const Farbe RAHMEN = {64, 64, 64};
const Farbe MASKE = {208, 208, 208};

// ---- JPEG helpers: an independent compression and a real decoder ----------

struct TestFehler {
    jpeg_error_mgr pub;
    jmp_buf sprung;
};

void test_fehler_ausgang(j_common_ptr cinfo)
{
    longjmp(((TestFehler*)cinfo->err)->sprung, 1);
}

// The raster compressed with the plain libjpeg sequence (RGB, defaults,
// quality with baseline, all tables, one row per call) into a buffer from
// malloc.  Returns false on a libjpeg error.
bool referenz_jpeg(const unsigned char* rgb, int breite, int hoehe, int quality,
                   unsigned char** puffer, unsigned long* laenge, jpeg_compress_struct* cinfo,
                   TestFehler* fehler)
{
    cinfo->err = jpeg_std_error(&fehler->pub);
    fehler->pub.error_exit = test_fehler_ausgang;
    if (setjmp(fehler->sprung)) {
        jpeg_destroy_compress(cinfo);
        return false;
    }
    jpeg_create_compress(cinfo);
    jpeg_mem_dest(cinfo, puffer, laenge);
    cinfo->image_width = breite;
    cinfo->image_height = hoehe;
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_RGB;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, quality, TRUE);
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW zeile = (JSAMPROW)(rgb + (size_t)cinfo->next_scanline * 3 * breite);
        jpeg_write_scanlines(cinfo, &zeile, 1);
    }
    jpeg_finish_compress(cinfo);
    jpeg_destroy_compress(cinfo);
    return true;
}

std::vector<unsigned char> referenz(const Raster& r, int quality)
{
    jpeg_compress_struct cinfo;
    TestFehler fehler;
    unsigned char* puffer = nullptr;
    unsigned long laenge = 0;
    std::vector<unsigned char> daten;
    if (referenz_jpeg(r.rgb.data(), r.breite, r.hoehe, quality, &puffer, &laenge, &cinfo,
                      &fehler))
        daten.assign(puffer, puffer + laenge);
    free(puffer);
    return daten;
}

struct DEKODIERT {
    int breite, hoehe, komponenten;
    unsigned char* rgb; // malloc
};

bool dekodieren_roh(const unsigned char* daten, unsigned long laenge, DEKODIERT* d,
                    jpeg_decompress_struct* cinfo, TestFehler* fehler)
{
    d->rgb = nullptr;
    cinfo->err = jpeg_std_error(&fehler->pub);
    fehler->pub.error_exit = test_fehler_ausgang;
    if (setjmp(fehler->sprung)) {
        jpeg_destroy_decompress(cinfo);
        free(d->rgb);
        d->rgb = nullptr;
        return false;
    }
    jpeg_create_decompress(cinfo);
    jpeg_mem_src(cinfo, daten, laenge);
    jpeg_read_header(cinfo, TRUE);
    cinfo->out_color_space = JCS_RGB;
    jpeg_start_decompress(cinfo);
    d->breite = (int)cinfo->output_width;
    d->hoehe = (int)cinfo->output_height;
    d->komponenten = cinfo->output_components;
    size_t zeile = (size_t)d->breite * d->komponenten;
    d->rgb = (unsigned char*)malloc(zeile * d->hoehe);
    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW z = d->rgb + cinfo->output_scanline * zeile;
        jpeg_read_scanlines(cinfo, &z, 1);
    }
    jpeg_finish_decompress(cinfo);
    jpeg_destroy_decompress(cinfo);
    return true;
}

// Decodes JPEG data with libjpeg's decompressor; breite 0 when it fails.
Raster dekodieren(const unsigned char* daten, unsigned long laenge)
{
    jpeg_decompress_struct cinfo;
    TestFehler fehler;
    DEKODIERT d{};
    Raster r;
    if (dekodieren_roh(daten, laenge, &d, &cinfo, &fehler) && d.komponenten == 3) {
        r.breite = d.breite;
        r.hoehe = d.hoehe;
        r.rgb.assign(d.rgb, d.rgb + 3 * (size_t)d.breite * d.hoehe);
    }
    free(d.rgb);
    return r;
}

// DBLD_to_jpeg into a vector.
std::vector<unsigned char> jpeg(const DBLD* dbld, const BILDPARAMETER& par)
{
    unsigned char* puffer = nullptr;
    unsigned long laenge = 0;
    std::vector<unsigned char> daten;
    if (DBLD_to_jpeg(&puffer, &laenge, dbld, &par))
        daten.assign(puffer, puffer + laenge);
    free(puffer);
    return daten;
}

// DBLD_put_jpeg into a vector; empty when it fails.
std::vector<unsigned char> jpeg_strom(const DBLD* dbld, const BILDPARAMETER& par)
{
    int gut = 0;
    std::string daten = ausgabe([&](FILE* f) { gut = DBLD_put_jpeg(f, dbld, &par); });
    if (!gut)
        return {};
    return std::vector<unsigned char>(daten.begin(), daten.end());
}

// libjpeg's bytes of a reference raster.
std::vector<unsigned char> referenz(const REFERENZRASTER& ref, int quality)
{
    Raster roh;
    roh.breite = ref.breite;
    roh.hoehe = ref.hoehe;
    roh.rgb = ref.rgb;
    return referenz(roh, quality);
}

// While it lives, the row raster's tables are refused: every writer takes
// its point-by-point path, as when their memory cannot be had.
struct NurPunktweise {
    NurPunktweise() { dbld_bild::zeilenraster_sperren(true); }
    ~NurPunktweise() { dbld_bild::zeilenraster_sperren(false); }
    NurPunktweise(const NurPunktweise&) = delete;
    NurPunktweise& operator=(const NurPunktweise&) = delete;
};

// Both ways of the JPEG writers: the rows drawn as the compressor takes
// them, and the whole raster point by point first (with NurPunktweise).
const bool PUNKTWEISE[] = {false, true};

// A 4 x 5 image with a mound, as the rendering tests draw it.
void huegel(TestBild& b)
{
    b.block(0, 3, 0, 4, 0);
    b.setze(1, 1, 40);
    b.setze(1, 2, 120);
    b.setze(2, 2, 255);
    b.setze(2, 3, 90);
    b.setze(3, 0, 7);
    DBLD_min_max(&b.dbld);
}

// ---- Colour settings and scale -----------------------------------------------

TEST_F(Bild, ColourScaleExamples)
{
    EXPECT_EQ(farbe(255), (Farbe{255, 4, 0}));
    EXPECT_EQ(farbe(197), (Farbe{255, 250, 0}));
    EXPECT_EQ(farbe(196), (Farbe{255, 255, 0}));
    EXPECT_EQ(farbe(136), (Farbe{0, 255, 0}));
    EXPECT_EQ(farbe(100), (Farbe{0, 255, 153}));
    EXPECT_EQ(farbe(76), (Farbe{0, 255, 255}));
    EXPECT_EQ(farbe(16), (Farbe{0, 0, 255}));
    EXPECT_EQ(farbe(1), (Farbe{63, 0, 255}));
    for (int level : {256, 300, 100000, INT_MAX})
        EXPECT_EQ(farbe(level), (Farbe{255, 4, 0})) << level;
}

TEST_F(Bild, ZeroAndNegativeLevelsGiveTheBackground)
{
    DBLD_set_bgcolor(12, 34, 56);
    for (int level : {0, -1, -255, INT_MIN})
        EXPECT_EQ(farbe(level), (Farbe{12, 34, 56})) << level;
    // With a contrast neither 0 nor a negative level is stepped, also not
    // one inside the first band (-5 would step to 15).
    DBLD_set_ccontrast(4);
    for (int level : {0, -1, -5, -15, -16, -17, -1000, INT_MIN})
        EXPECT_EQ(farbe(level), (Farbe{12, 34, 56})) << level;
}

TEST_F(Bild, ContrastBands)
{
    // the plain colours of the band tops
    Farbe f15 = farbe(15), f31 = farbe(31), f127 = farbe(127), f255 = farbe(255);
    DBLD_set_ccontrast(4);
    EXPECT_EQ(farbe(16), f31);
    EXPECT_EQ(farbe(31), f31);
    for (int level = 1; level <= 15; ++level)
        EXPECT_EQ(farbe(level), f15) << level;
    for (int level = 240; level <= 255; ++level)
        EXPECT_EQ(farbe(level), f255) << level;
    EXPECT_NE(farbe(15), farbe(16));

    DBLD_set_ccontrast(7);
    for (int level = 1; level <= 127; ++level)
        EXPECT_EQ(farbe(level), f127) << level;
    for (int level = 128; level <= 255; ++level)
        EXPECT_EQ(farbe(level), f255) << level;
    EXPECT_EQ(farbe(INT_MAX), f255);
}

TEST_F(Bild, LevelsOutsideTheScaleAtEveryContrast)
{
    // the rasteriser cuts levels to 0 .. 255 before its colour table: that
    // must not change a colour, whatever the contrast
    DBLD_set_bgcolor(3, 2, 1);
    for (int c = 0; c <= 7; ++c) {
        DBLD_set_ccontrast(c);
        for (int level : {256, 257, 300, 1000, 1 << 20, INT_MAX - 1, INT_MAX})
            EXPECT_EQ(farbe(level), farbe(255)) << c << ": " << level;
        for (int level : {0, -1, -2, -255, -1000, INT_MIN + 1, INT_MIN})
            EXPECT_EQ(farbe(level), (Farbe{3, 2, 1})) << c << ": " << level;
    }
}

TEST_F(Bild, SettingsAreClamped)
{
    EXPECT_EQ(DBLD_set_ccontrast(9), 7);
    EXPECT_EQ(DBLD_get_ccontrast(), 7);
    EXPECT_EQ(DBLD_set_ccontrast(-2), 0);
    EXPECT_EQ(DBLD_get_ccontrast(), 0);
    EXPECT_EQ(DBLD_set_ccontrast(3), 3);
    EXPECT_EQ(DBLD_get_ccontrast(), 3);
    EXPECT_EQ(DBLD_set_ccontrast(INT_MIN), 0);

    // background: absolute value modulo 256
    int r, g, b;
    DBLD_get_bgcolor(&r, &g, &b);
    EXPECT_EQ((Farbe{r, g, b}), (Farbe{255, 255, 255}));
    DBLD_set_bgcolor(-1, 256, 300);
    DBLD_get_bgcolor(&r, &g, &b);
    EXPECT_EQ((Farbe{r, g, b}), (Farbe{1, 0, 44}));
    DBLD_set_bgcolor(INT_MIN, INT_MAX, -257);
    DBLD_get_bgcolor(&r, &g, &b);
    EXPECT_EQ((Farbe{r, g, b}), (Farbe{0, 255, 1}));
}

// ---- Sizes and the rasteriser --------------------------------------------------

TEST_F(Bild, PixsizeWithBorder)
{
    TestBild b(2, 3);
    int w = 0, h = 0;
    EXPECT_EQ(DBLD_pixsize(&w, &h, &b.dbld, 20, 5), 3500);
    EXPECT_EQ(w, 70);
    EXPECT_EQ(h, 50);
    EXPECT_EQ(DBLD_pixsize(nullptr, &h, &b.dbld, 10, 2), 34 * 24);
    EXPECT_EQ(h, 24);
    EXPECT_EQ(DBLD_pixsize(&w, nullptr, &b.dbld, 1, 0), 6);
    EXPECT_EQ(w, 3);
    // a size that does not fit an int
    EXPECT_EQ(DBLD_pixsize(&w, &h, &b.dbld, INT_MAX, 0), -1);
    EXPECT_EQ(w, -1);
    EXPECT_EQ(h, -1);
    EXPECT_EQ(DBLD_pixsize(&w, &h, &b.dbld, 40000, 0), -1);
}

TEST_F(Bild, BinaryPpmOfTwoByThreeWithBorder)
{
    TestBild b(2, 3, {{0, 0, 50}, {1, 2, 200}});
    DBLD_min_max(&b.dbld);
    BILDPARAMETER par = parameter(20, 0, 5);
    std::string ppm = ausgabe([&](FILE* f) { DBLD_put_ppm(f, &b.dbld, &par); });
    const std::string kopf = "P6\n70 50\n255\n";
    ASSERT_EQ(ppm.size(), kopf.size() + 3 * 70 * 50);
    EXPECT_EQ(ppm.substr(0, kopf.size()), kopf);
    // the same pixels as the rasteriser hands over
    Raster r = rastern(&b.dbld, par);
    EXPECT_TRUE(r.lueckenlos);
    EXPECT_EQ(std::string(r.rgb.begin(), r.rgb.end()), ppm.substr(kopf.size()));
    // a border 5 pixels wide, nothing of it inside
    for (int x = 0; x < 70; ++x)
        for (int y = 0; y < 50; ++y) {
            bool rand = x < 5 || x >= 65 || y < 5 || y >= 45;
            if (rand)
                EXPECT_EQ(r.pixel(x, y), RAHMEN) << x << "," << y;
            else
                EXPECT_NE(r.pixel(x, y), RAHMEN) << x << "," << y;
        }
}

TEST_F(Bild, PlainPpmLayout)
{
    TestBild b(1, 2, {{0, 0, 255}, {0, 1, 255}});
    DBLD_min_max(&b.dbld);
    BILDPARAMETER par = parameter(1, 0, 1);
    std::string ppm = ausgabe([&](FILE* f) { DBLD_put_ppm_plain(f, &b.dbld, &par); });
    // 4 x 3: border rows and columns round two image pixels
    Raster r = rastern(&b.dbld, par);
    auto text = [&](int x, int y) {
        Farbe p = r.pixel(x, y);
        return std::to_string(p[0]) + " " + std::to_string(p[1]) + " " + std::to_string(p[2]);
    };
    std::string rand = "64 64 64 64 64 64 64 64 64 64 64 64\n";
    std::string erwartet = "P3\n4 3\n255\n" + rand + "64 64 64 " + text(1, 1) + " " +
                           text(2, 1) + " 64 64 64\n" + rand;
    EXPECT_EQ(ppm, erwartet);
}

TEST_F(Bild, GridLinesWithResolutionFour)
{
    // 2 x 2 cells: a line in pixel column 3 and pixel row 3, none at the
    // right and lower edge; the dotted grid only on odd pixels of them
    TestBild b(2, 2);
    b.block(0, 1, 0, 1, 200);
    DBLD_min_max(&b.dbld);
    for (int grid : {1, 2}) {
        Raster r = rastern(&b.dbld, parameter(4, grid));
        ASSERT_EQ(r.breite, 8);
        ASSERT_EQ(r.hoehe, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                bool linie = grid == 1 ? x == 3 || y == 3
                                       : (x == 3 && y % 2 == 1) || (y == 3 && x % 2 == 1);
                EXPECT_EQ(r.pixel(x, y) == GRAU, linie) << grid << ": " << x << "," << y;
            }
    }
    // with a border the lines move with the image part
    Raster r = rastern(&b.dbld, parameter(4, 1, 2));
    EXPECT_EQ(r.pixel(5, 2), GRAU);
    EXPECT_EQ(r.pixel(9, 5), GRAU);
    EXPECT_EQ(r.pixel(10, 5), RAHMEN);
}

// The colour the rasteriser must give a pixel sampling (x, y).
Farbe farbe_bei(const DBLD* dbld, float x, float y)
{
    float s = (float)(255.0 / dbld->val_max);
    return farbe((int)(DBLD_dbldvalsq(dbld, x, y) * s));
}

TEST_F(Bild, SampledPositions)
{
    TestBild b(4, 5);
    huegel(b);
    Raster r = rastern(&b.dbld, parameter(2));
    ASSERT_EQ(r.breite, 10);
    ASSERT_EQ(r.hoehe, 8);
    int verschieden = 0;
    for (int i_row = 0; i_row < 4; ++i_row)
        for (int i_col = 0; i_col < 5; ++i_col) {
            float fy0 = (float)(i_row + 0.4);
            float fy1 = fy0 - 0.5f;
            float fx0 = (float)(i_col - 0.5);
            float fx1 = fx0 + 0.5f;
            EXPECT_EQ(fx1, (float)i_col);
            EXPECT_FLOAT_EQ(fy1, i_row - 0.1f);
            int y = 2 * (3 - i_row), x = 2 * i_col; // last record row at the top
            EXPECT_EQ(r.pixel(x, y), farbe_bei(&b.dbld, fx0, fy0));
            EXPECT_EQ(r.pixel(x + 1, y), farbe_bei(&b.dbld, fx1, fy0));
            EXPECT_EQ(r.pixel(x, y + 1), farbe_bei(&b.dbld, fx0, fy1));
            EXPECT_EQ(r.pixel(x + 1, y + 1), farbe_bei(&b.dbld, fx1, fy1));
            verschieden += r.pixel(x, y) != r.pixel(x + 1, y + 1);
        }
    EXPECT_GT(verschieden, 5); // the sub-pixels really differ

    // resolution 1: (i_col - 0.5, i_row + 0.4).  Cell (2, 2) of 255 sampled
    // at (1.5, 2.4): half of it toward the empty cell (2, 1), 0.6 of that
    // toward the empty row 3: 76.5, level 76
    r = rastern(&b.dbld, parameter(1));
    for (int i_row = 0; i_row < 4; ++i_row)
        for (int i_col = 0; i_col < 5; ++i_col)
            EXPECT_EQ(r.pixel(i_col, 3 - i_row),
                      farbe_bei(&b.dbld, (float)(i_col - 0.5), (float)(i_row + 0.4)));
    EXPECT_EQ(r.pixel(2, 1), (Farbe{0, 255, 255}));
    EXPECT_EQ(farbe(76), (Farbe{0, 255, 255}));
}

TEST_F(Bild, ValMaxZeroDrawsBackgroundOnly)
{
    DBLD_set_bgcolor(1, 2, 3);
    TestBild b(2, 2, {{0, 0, -5}});
    b.dbld.val_min = -5;
    b.dbld.val_max = 0;
    Raster r = rastern(&b.dbld, parameter(3));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(r.pixel(x, y), (Farbe{1, 2, 3}));
    // the grid still shows
    r = rastern(&b.dbld, parameter(3, 1));
    EXPECT_EQ(r.pixel(2, 0), GRAU);
}

TEST_F(Bild, MaskedCellsAreLightGreyOnlyWithTheMaskParameter)
{
    TestBild b(2, 2);
    b.block(0, 1, 0, 1, 100);
    b.maske[2] = -1; // row 1, column 0: top left in the picture
    DBLD_min_max(&b.dbld);
    Raster mit = rastern(&b.dbld, parameter(4, 1, 0, 1));
    Raster ohne = rastern(&b.dbld, parameter(4, 1, 0, 0));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            // the grid wins over the mask on the cell's right and lower edge
            Farbe erwartet = x == 3 || y == 3 ? GRAU : MASKE;
            EXPECT_EQ(mit.pixel(x, y), erwartet) << x << "," << y;
            EXPECT_NE(ohne.pixel(x, y), MASKE);
            if (x < 3 && y < 3) {
                EXPECT_NE(ohne.pixel(x, y), GRAU);
            }
        }
    // the other cells are untouched
    for (int y = 0; y < 8; ++y)
        for (int x = 4; x < 8; ++x)
            EXPECT_EQ(mit.pixel(x, y), ohne.pixel(x, y)) << x << "," << y;
}

TEST_F(Bild, NothingIsDrawnForAnImpossibleImage)
{
    TestBild b(2, 2, {{0, 0, 9}});
    DBLD_min_max(&b.dbld);
    for (BILDPARAMETER par : {parameter(0), parameter(-3), parameter(2, 0, -1), parameter(2, 3),
                              parameter(2, -1), parameter(2, INT_MIN)}) {
        EXPECT_TRUE(rastern(&b.dbld, par).rgb.empty());
        EXPECT_EQ(ausgabe([&](FILE* f) { DBLD_put_ppm(f, &b.dbld, &par); }), "");
        EXPECT_EQ(ausgabe([&](FILE* f) { DBLD_put_ppm_plain(f, &b.dbld, &par); }), "");
    }
    TestBild leer(0, 3);
    EXPECT_TRUE(rastern(&leer.dbld, parameter(2)).rgb.empty());
    // no mask array: the mask parameter has nothing to draw
    b.dbld.mask = nullptr;
    EXPECT_EQ(rastern(&b.dbld, parameter(1, 0, 0, 1)).rgb.size(), 12u);
}

TEST_F(Bild, ExtremeValuesAgainstASmallMaximum)
{
    // val_max far below the values: levels far above 255 stay the top colour
    TestBild b(1, 1, {{0, 0, INT_MAX}});
    b.dbld.val_max = 1;
    Raster r = rastern(&b.dbld, parameter(1));
    ASSERT_EQ(r.rgb.size(), 3u);
    EXPECT_EQ(r.pixel(0, 0), farbe(255));
    // and far below zero the background
    TestBild n(1, 3, {{0, 0, -2000000000}, {0, 1, 2100000000}});
    n.dbld.val_min = -2000000000;
    n.dbld.val_max = 1;
    DBLD_set_bgcolor(9, 9, 9);
    r = rastern(&n.dbld, parameter(1));
    ASSERT_EQ(r.rgb.size(), 9u);
    EXPECT_EQ(r.pixel(0, 0), (Farbe{9, 9, 9})); // -6e8 * 255
    EXPECT_EQ(r.pixel(1, 0), farbe(255));        // 3e7 * 255
    EXPECT_EQ(r.pixel(2, 0), farbe(255));        // 6.3e8 * 255
}

// ---- Text dumps ----------------------------------------------------------------

TEST_F(Bild, GreyDumpInvertsRawValuesRowZeroFirst)
{
    TestBild b(2, 2, {{0, 0, 0}, {0, 1, 255}, {1, 0, 10}, {1, 1, -5}});
    EXPECT_EQ(ausgabe([&](FILE* f) { DBLD_print_grey(f, &b.dbld, 1); }),
              "P2\n2 2\n255\n255 0\n245 260\n");
    EXPECT_EQ(ausgabe([&](FILE* f) { DBLD_print_grey(f, &b.dbld, 2); }),
              "P2\n4 4\n255\n255 255 0 0\n255 255 0 0\n245 245 260 260\n245 245 260 260\n");
    TestBild extrem(1, 1, {{0, 0, INT_MIN}});
    EXPECT_EQ(ausgabe([&](FILE* f) { DBLD_print_grey(f, &extrem.dbld, 1); }),
              "P2\n1 1\n255\n2147483903\n");
}

TEST_F(Bild, ColourDumpRawValuesLastRowFirstWithGaps)
{
    TestBild eine(1, 1, {{0, 0, 255}});
    const std::string g = "128 128 128", gg = "  128 128 128", c = "  255 4 0";
    std::string grau_zeile = g + gg + gg + gg + "\n";
    std::string zelle = g + c + c + gg + "\n";
    EXPECT_EQ(ausgabe([&](FILE* f) { DBLD_print_color(f, &eine.dbld, 2, 1); }),
              "P3\n4 4\n255\n" + grau_zeile + zelle + zelle + grau_zeile);

    TestBild b(2, 2, {{0, 0, 1}, {0, 1, 16}, {1, 0, 999}, {1, 1, 0}});
    DBLD_set_bgcolor(1, 2, 3);
    EXPECT_EQ(ausgabe([&](FILE* f) { DBLD_print_color(f, &b.dbld, 1, 0); }),
              "P3\n2 2\n255\n  255 4 0  1 2 3\n  63 0 255  0 0 255\n");
}

// ---- JPEG ----------------------------------------------------------------------

TEST_F(Bild, JpegDecodesToTheImageSize)
{
    TestBild b(2, 3, {{0, 0, 30}, {1, 1, 200}, {1, 2, 90}});
    DBLD_min_max(&b.dbld);
    std::vector<unsigned char> daten = jpeg(&b.dbld, parameter(20));
    ASSERT_GT(daten.size(), 4u);
    EXPECT_EQ(daten[0], 0xff);
    EXPECT_EQ(daten[1], 0xd8);
    EXPECT_EQ(daten[daten.size() - 2], 0xff);
    EXPECT_EQ(daten[daten.size() - 1], 0xd9);
    Raster d = dekodieren(daten.data(), daten.size());
    EXPECT_EQ(d.breite, 60);
    EXPECT_EQ(d.hoehe, 40);

    daten = jpeg(&b.dbld, parameter(10, 0, 2));
    d = dekodieren(daten.data(), daten.size());
    EXPECT_EQ(d.breite, 34);
    EXPECT_EQ(d.hoehe, 24);
}

TEST_F(Bild, JpegBytesAreLibjpegOfTheRaster)
{
    TestBild b(4, 5);
    huegel(b);
    b.maske[7] = 1;
    DBLD_set_ccontrast(2);
    for (BILDPARAMETER par : {parameter(20), parameter(7, 1, 3, 1, 100), parameter(5, 2, 0, 0, 35),
                              parameter(1, 0, 0, 0, 1)}) {
        std::vector<unsigned char> daten = jpeg(&b.dbld, par);
        ASSERT_FALSE(daten.empty());
        EXPECT_EQ(daten, referenz(rastern(&b.dbld, par), par.quality)) << par.resolution;
        // the stream writer writes the same bytes
        std::string strom = ausgabe([&](FILE* f) { EXPECT_EQ(DBLD_put_jpeg(f, &b.dbld, &par), 1); });
        EXPECT_EQ(std::vector<unsigned char>(strom.begin(), strom.end()), daten);
    }
}

// A smooth mound of n x n cells.
void glatter_huegel(TestBild& b)
{
    int n = b.n_x;
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) {
            double d = std::hypot(r - n * 0.45, c - n * 0.35) / (n / 2.0);
            b.setze(r, c, (int)(200 * std::exp(-3 * d * d)));
        }
    DBLD_min_max(&b.dbld);
}

struct Abstand {
    double rgb_mittel;  // mean absolute difference per colour byte
    double luma_mittel; // mean and largest difference of the luminance
    double luma_max;
};

Abstand abstand(const Raster& a, const Raster& b)
{
    Abstand e = {0, 0, 0};
    for (size_t i = 0; i < a.rgb.size(); ++i)
        e.rgb_mittel += std::abs((int)a.rgb[i] - (int)b.rgb[i]);
    for (size_t i = 0; i < a.rgb.size(); i += 3) {
        double ya = 0.299 * a.rgb[i] + 0.587 * a.rgb[i + 1] + 0.114 * a.rgb[i + 2];
        double yb = 0.299 * b.rgb[i] + 0.587 * b.rgb[i + 1] + 0.114 * b.rgb[i + 2];
        e.luma_mittel += std::fabs(ya - yb);
        e.luma_max = std::max(e.luma_max, std::fabs(ya - yb));
    }
    e.rgb_mittel /= a.rgb.size();
    e.luma_mittel /= a.rgb.size() / 3;
    return e;
}

TEST_F(Bild, QualityHundredLiesCloseToTheRaster)
{
    TestBild b(12, 12);
    glatter_huegel(b);
    BILDPARAMETER par = parameter(20, 0, 0, 0, 100);
    Raster r = rastern(&b.dbld, par);
    std::vector<unsigned char> daten = jpeg(&b.dbld, par);
    Raster d = dekodieren(daten.data(), daten.size());
    ASSERT_EQ(d.breite, r.breite);
    ASSERT_EQ(d.hoehe, r.hoehe);
    Abstand e = abstand(r, d);
    EXPECT_LT(e.rgb_mittel, 1.5);
    EXPECT_LT(e.luma_mittel, 1.0);
    EXPECT_LE(e.luma_max, 24.0);

    // Grid lines and border: the colour is subsampled, so their edges
    // bleed, but the brightness stays close everywhere.
    par = parameter(12, 1, 3, 0, 100);
    r = rastern(&b.dbld, par);
    daten = jpeg(&b.dbld, par);
    d = dekodieren(daten.data(), daten.size());
    ASSERT_EQ(d.rgb.size(), r.rgb.size());
    e = abstand(r, d);
    EXPECT_LT(e.luma_mittel, 1.0);
    EXPECT_LE(e.luma_max, 24.0);

    // quality 10 is visibly further off
    par.quality = 10;
    daten = jpeg(&b.dbld, par);
    d = dekodieren(daten.data(), daten.size());
    EXPECT_GT(abstand(r, d).luma_mittel, 2.0);
}

TEST_F(Bild, JpegDebugLog)
{
    TestBild b(2, 3, {{0, 0, 3}});
    DBLD_min_max(&b.dbld);
    // both writers, both ways: the same lines and the same bytes
    std::vector<unsigned char> erste;
    for (bool punktweise : PUNKTWEISE) {
        std::unique_ptr<NurPunktweise> sperre(punktweise ? new NurPunktweise : nullptr);
        for (auto schreiber : {jpeg, jpeg_strom}) {
            DBLD_LOGLEVEL alt = dbld_loglevel;
            dbld_loglevel = DBLD_LOGLEVEL_DBG;
            ::testing::internal::CaptureStderr();
            std::vector<unsigned char> daten = schreiber(&b.dbld, parameter(20));
            std::string log = ::testing::internal::GetCapturedStderr();
            dbld_loglevel = alt;
            EXPECT_FALSE(daten.empty());
            if (erste.empty())
                erste = daten;
            EXPECT_TRUE(daten == erste) << punktweise;
            EXPECT_EQ(log, "40 x 60 = 2400 => Puffergroesse: 7200\nAnfang: 0\nEnde: 7200\n")
                << punktweise;
        }
    }
}

// ---- JPEG failures ---------------------------------------------------------------

TEST_F(Bild, ImpossibleSizesAreRefusedBeforeAnyAllocation)
{
    // dbld points nowhere: a writer that touched the values would crash
    DBLD riesig = {2, 70000, nullptr, 0, 255, nullptr};
    DBLD hoch = {65501, 1, nullptr, 0, 255, nullptr};
    DBLD leer = {0, 3, nullptr, 0, 255, nullptr};
    DBLD klein = {2, 2, nullptr, 0, 255, nullptr};
    DBLD rand1 = {1, 1, nullptr, 0, 255, nullptr};
    struct Fall {
        const DBLD* dbld;
        BILDPARAMETER par;
        const char* grund;
    } faelle[] = {
        {&riesig, parameter(1), "Bildbreite > 65500"},
        {&hoch, parameter(1), "Bildhoehe > 65500"},
        {&klein, parameter(1, 0, 32750), "Bildbreite > 65500"},
        {&klein, parameter(INT_MAX), "Bildbreite > 65500"},
        {&leer, parameter(1), "n_rows < 1"},
        {&klein, parameter(0), "resolution < 1"},
        {&klein, parameter(2, 0, -1), "frame < 0"},
        {&klein, parameter(2, -1), "grid < 0"},
        {&klein, parameter(2, 3), "grid > 2"},
        {&klein, parameter(2, INT_MAX), "grid > 2"},
        // within JPEG's sides, beyond the pixel limit
        {&rand1, parameter(8193), "Bildpunkte > 67108864"},
        {&rand1, parameter(40000), "Bildpunkte > 67108864"},
        {&rand1, parameter(1, 0, 32749), "Bildpunkte > 67108864"},
        {&klein, parameter(1, 0, 32748), "Bildpunkte > 67108864"},
    };
    for (const Fall& f : faelle) {
        int w, h;
        size_t n;
        const char* grund = dbld_bild::jpeg_masse(f.dbld, &f.par, &w, &h, &n);
        ASSERT_NE(grund, nullptr);
        EXPECT_STREQ(grund, f.grund);
        unsigned char* puffer = nullptr;
        unsigned long laenge = 0;
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(DBLD_to_jpeg(&puffer, &laenge, f.dbld, &f.par), 0);
        std::string log = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(log, std::string("DBLD_to_jpeg: ") + f.grund + "\n");
        EXPECT_EQ(puffer, nullptr);
        EXPECT_EQ(laenge, 0u);
    }
    // the pixel limit itself, and the widest image, pass the check
    int w, h;
    size_t n;
    BILDPARAMETER par = parameter(8192);
    EXPECT_EQ(dbld_bild::jpeg_masse(&rand1, &par, &w, &h, &n), nullptr);
    EXPECT_EQ(n, 3 * (size_t)DBLD_BILDPUNKTE_MAX);
    DBLD breit = {1024, 65500, nullptr, 0, 255, nullptr};
    par = parameter(1);
    EXPECT_EQ(dbld_bild::jpeg_masse(&breit, &par, &w, &h, &n), nullptr);
    EXPECT_EQ(w, 65500);
}

TEST_F(Bild, WriteErrorOfTheStreamIsReportedNotFatal)
{
    TestBild b(4, 5);
    huegel(b);
    BILDPARAMETER par = parameter(20, 1, 0, 0, 100);
    FILE* voll = fopen("/dev/full", "wb");
    if (!voll)
        GTEST_SKIP() << "/dev/full is missing";
    char meldung[dbld_bild::MELDUNG_MAX];
    EXPECT_FALSE(dbld_bild::jpeg_in_datei(voll, &b.dbld, &par, meldung));
    EXPECT_NE(std::string(meldung).find("write"), std::string::npos) << meldung;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(DBLD_put_jpeg(voll, &b.dbld, &par), 0);
    std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(log.rfind("DBLD_put_jpeg: ", 0), 0u) << log;
    fclose(voll);
}

// A progress monitor that lets libjpeg fail at a chosen scan line, as it
// does when memory runs out half way through.
struct Abbruch {
    jpeg_progress_mgr pub;
    long bei_zeile;
};

void abbrechen(j_common_ptr cinfo)
{
    Abbruch* a = (Abbruch*)cinfo->progress;
    if (a->pub.pass_counter < a->bei_zeile)
        return;
    cinfo->err->msg_code = JERR_OUT_OF_MEMORY;
    cinfo->err->msg_parm.i[0] = 99;
    (*cinfo->err->error_exit)(cinfo);
}

// The image of the failure tests: 16 x 16 cells of varied values.
void streifen(TestBild& b)
{
    for (int r = 0; r < b.n_y; ++r)
        for (int c = 0; c < b.n_x; ++c)
            b.setze(r, c, (r * 37 + c * 91) % 256);
    DBLD_min_max(&b.dbld);
}

TEST_F(Bild, FailureHalfWayFreesTheGrownBufferAndRestoresTheCaller)
{
    TestBild b(16, 16);
    streifen(b);
    BILDPARAMETER par = parameter(20, 2, 0, 0, 100); // 320 x 320, far over 4096 bytes
    for (bool punktweise : PUNKTWEISE) {
        std::unique_ptr<NurPunktweise> sperre(punktweise ? new NurPunktweise : nullptr);
        for (long zeile : {0L, 1L, 150L, 319L}) {
            Abbruch a = {};
            a.pub.progress_monitor = abbrechen;
            a.bei_zeile = zeile;
            unsigned char* puffer = nullptr;
            unsigned long laenge = 0;
            char meldung[dbld_bild::MELDUNG_MAX];
            EXPECT_FALSE(
                dbld_bild::jpeg_in_speicher(&puffer, &laenge, &b.dbld, &par, meldung, &a.pub));
            EXPECT_EQ(puffer, nullptr) << punktweise;
            EXPECT_EQ(laenge, 0u);
            EXPECT_STREQ(meldung, "Insufficient memory (case 99)");
            // the stream writer fails the same way
            FILE* f = tmpfile();
            ASSERT_NE(f, nullptr);
            EXPECT_FALSE(dbld_bild::jpeg_in_datei(f, &b.dbld, &par, meldung, &a.pub));
            EXPECT_STREQ(meldung, "Insufficient memory (case 99)");
            fclose(f);
        }
        // a buffer of the caller's own stays the caller's
        unsigned char eigener[16];
        unsigned char* puffer = eigener;
        unsigned long laenge = sizeof eigener;
        Abbruch a = {};
        a.pub.progress_monitor = abbrechen;
        a.bei_zeile = 200;
        char meldung[dbld_bild::MELDUNG_MAX];
        EXPECT_FALSE(
            dbld_bild::jpeg_in_speicher(&puffer, &laenge, &b.dbld, &par, meldung, &a.pub));
        EXPECT_EQ(puffer, eigener);
        EXPECT_EQ(laenge, sizeof eigener);
        // and without the failure the data land in a buffer of libjpeg's
        EXPECT_TRUE(dbld_bild::jpeg_in_speicher(&puffer, &laenge, &b.dbld, &par, meldung));
        EXPECT_NE(puffer, eigener);
        EXPECT_GT(laenge, 4096u);
        if (puffer != eigener)
            free(puffer);
    }
}

// Which failures of the memory writer are a want of memory: libjpeg's
// "Insufficient memory", not a refused size; a success is none.
TEST_F(Bild, MemoryFailureIsToldApartFromOtherFailures)
{
    TestBild b(16, 16);
    streifen(b);
    char meldung[dbld_bild::MELDUNG_MAX];
    // (ergebnis, speichermangel) of one call, the flag preset to the
    // opposite of what is expected
    auto schreiben = [&](const BILDPARAMETER& par, jpeg_progress_mgr* fortschritt,
                         bool vorher) {
        unsigned char* puffer = nullptr;
        unsigned long laenge = 0;
        bool mangel = vorher;
        bool gut = dbld_bild::jpeg_in_speicher(&puffer, &laenge, &b.dbld, &par, meldung,
                                               fortschritt, &mangel);
        free(puffer);
        return std::make_pair(gut, mangel);
    };
    Abbruch a = {};
    a.pub.progress_monitor = abbrechen;
    a.bei_zeile = 10;
    EXPECT_EQ(schreiben(parameter(20), &a.pub, false), std::make_pair(false, true));
    EXPECT_EQ(schreiben(parameter(20), nullptr, true), std::make_pair(true, false));
    EXPECT_EQ(schreiben(parameter(5000), nullptr, true), std::make_pair(false, false));
    EXPECT_STREQ(meldung, "Bildbreite > 65500");
}

// The debug lines of a compression that fails at scan line 150 of 320: the
// rows are drawn as the compressor takes them, so fewer than all are drawn;
// the point-by-point way draws the whole raster first.
TEST_F(Bild, FailureHalfWayLogsTheBytesDrawn)
{
    TestBild b(16, 16);
    streifen(b);
    BILDPARAMETER par = parameter(20);
    const size_t zeile = 3 * 320, alle = 320 * zeile;
    for (bool punktweise : PUNKTWEISE) {
        std::unique_ptr<NurPunktweise> sperre(punktweise ? new NurPunktweise : nullptr);
        Abbruch a = {};
        a.pub.progress_monitor = abbrechen;
        a.bei_zeile = 150;
        unsigned char* puffer = nullptr;
        unsigned long laenge = 0;
        char meldung[dbld_bild::MELDUNG_MAX];
        DBLD_LOGLEVEL alt = dbld_loglevel;
        dbld_loglevel = DBLD_LOGLEVEL_DBG;
        ::testing::internal::CaptureStderr();
        bool gut = dbld_bild::jpeg_in_speicher(&puffer, &laenge, &b.dbld, &par, meldung, &a.pub);
        std::string log = ::testing::internal::GetCapturedStderr();
        dbld_loglevel = alt;
        EXPECT_FALSE(gut);
        const std::string kopf = "320 x 320 = 102400 => Puffergroesse: 307200\nAnfang: 0\nEnde: ";
        ASSERT_EQ(log.substr(0, kopf.size()), kopf) << log;
        ASSERT_EQ(log.back(), '\n');
        const size_t ende = std::stoul(log.substr(kopf.size()));
        EXPECT_EQ(log, kopf + std::to_string(ende) + "\n");
        if (punktweise) {
            EXPECT_EQ(ende, alle);
        } else {
            EXPECT_EQ(ende % zeile, 0u) << ende;
            EXPECT_GE(ende, 151 * zeile); // the rows handed over, 0 .. 150
            EXPECT_LT(ende, alle);
        }
    }
}

// ---- The row raster against the point-by-point reference -----------------------

// One generated image with its parameters and colour settings.
struct FALL {
    int n_y = 1, n_x = 1;
    std::vector<int> werte, maske;
    DBLD dbld = {};
    BILDPARAMETER par = {};
    int kontrast = 0;
    int bg[3] = {255, 255, 255};
    int wertart = 0, bereichsart = 0;

    void einstellen() const
    {
        DBLD_set_ccontrast(kontrast);
        DBLD_set_bgcolor(bg[0], bg[1], bg[2]);
    }
    std::string text() const
    {
        std::ostringstream t;
        t << n_y << "x" << n_x << " werte " << wertart << " bereich " << bereichsart
          << " val_min " << dbld.val_min << " val_max " << dbld.val_max << " res "
          << par.resolution << " grid " << par.grid << " frame " << par.frame << " mask "
          << par.mask << (dbld.mask ? "" : " (kein Feld)") << " kontrast " << kontrast;
        return t.str();
    }
};

// Images of every kind the rasteriser meets, and some it should never meet:
// sizes from 1 x 1 (one row or column, odd sizes), values of the mat,
// sparse images with empty neighbourhoods, negative values, values near the
// ends of int and where float loses integers, uniform images whose val_min
// is their value, neighbourhoods that cancel out; val_max 0, negative or far
// below the values, val_min anywhere; every grid style, frames, masks (with
// and without the flag array), resolutions 1 to 20, contrast 0 to 7 and any
// background.
void zufallsfall(std::mt19937& zufall, FALL& f)
{
    auto bis = [&zufall](int n) { return (int)(zufall() % (unsigned)n); };
    auto zwischen = [&bis](int a, int b) { return a + bis(b - a + 1); };

    f.par.resolution = bis(4) == 0 ? 1 : zwischen(1, 20);
    const int groesste = std::max(1, std::min(24, 160 / f.par.resolution));
    switch (bis(6)) {
    case 0: f.n_y = 1; f.n_x = zwischen(1, groesste); break;
    case 1: f.n_y = zwischen(1, groesste); f.n_x = 1; break;
    default:
        f.n_y = zwischen(1, std::min(groesste, 13));
        f.n_x = zwischen(1, std::min(groesste, 13));
    }
    const size_t n = (size_t)f.n_y * f.n_x;
    f.werte.assign(n, 0);
    f.maske.assign(n, 0);

    f.wertart = bis(9);
    const double z_r = zwischen(0, f.n_y), z_c = zwischen(0, f.n_x);
    const double hoehe = zwischen(1, 400);
    for (int r = 0; r < f.n_y; ++r)
        for (int c = 0; c < f.n_x; ++c) {
            int& v = f.werte[(size_t)r * f.n_x + c];
            switch (f.wertart) {
            case 0: v = bis(256); break;
            case 1: { // a mound on an empty mat
                double d = std::hypot(r - z_r, c - z_c) / std::max(2.0, f.n_x / 3.0);
                v = (int)(hoehe * std::exp(-d * d));
                v = v < 3 ? 0 : v;
                break;
            }
            case 2: v = bis(7) == 0 ? zwischen(1, 300) : 0; break;
            case 3: v = zwischen(-300, 300); break;
            case 4: v = (int)zufall(); break;
            case 5: { // near the ends of int, and neighbours that cancel out
                const int werte[] = {INT_MAX, INT_MIN, INT_MAX - 1, INT_MIN + 1, 1 << 30,
                                     -(1 << 30), 0, 1, -1};
                v = werte[bis(9)];
                break;
            }
            case 6: v = 100; break;           // uniform (a corner 0 below)
            case 7: v = 16777216 + bis(9); break; // float no longer holds every integer
            default: v = bis(3) == 0 ? -bis(50) : bis(60); break;
            }
        }
    if (f.wertart == 6 && bis(2) == 0)
        f.werte[0] = 0;

    f.dbld = DBLD{f.n_y, f.n_x, f.werte.data(), 0, 0, f.maske.data()};
    DBLD_min_max(&f.dbld);
    f.bereichsart = bis(10);
    switch (f.bereichsart) {
    case 0: f.dbld.val_max = 0; break;
    case 1: f.dbld.val_max = -zwischen(1, 300); break;
    case 2: f.dbld.val_max = zwischen(1, 10); break;
    case 3: f.dbld.val_min = zwischen(-100, 300); break;
    case 4: f.dbld.val_max = std::max(f.dbld.val_max, zwischen(0, 1000)); break; // -maximum
    case 5: f.dbld.val_min = INT_MIN; f.dbld.val_max = INT_MAX; break;
    default: break; // as the image command sets them
    }

    // (other numbers are refused by every writer, see
    // NothingIsDrawnForAnImpossibleImage)
    const int gitter[] = {0, 0, 1, 2, 1, 2, 0, 1, 2, 0};
    f.par.grid = gitter[bis(10)];
    f.par.frame = bis(3) == 0 ? 0 : zwischen(0, 4);
    f.par.mask = bis(2);
    f.par.quality = zwischen(1, 100);
    for (int& m : f.maske)
        m = bis(5) == 0 ? zwischen(-1, 5) : 0;
    if (bis(10) == 0)
        f.dbld.mask = nullptr;
    f.kontrast = bis(8);
    for (int& b : f.bg)
        b = bis(256);
}

// Whether a raster has more than a few colours (so that a comparison of it
// means something).
bool bunt(const std::vector<unsigned char>& rgb)
{
    std::vector<unsigned> farben;
    for (size_t i = 0; i + 2 < rgb.size() && farben.size() < 6; i += 3) {
        unsigned f = rgb[i] << 16 | rgb[i + 1] << 8 | rgb[i + 2];
        if (std::find(farben.begin(), farben.end(), f) == farben.end())
            farben.push_back(f);
    }
    return farben.size() >= 6;
}

// The binary PPM of a case: the header and the reference raster.
::testing::AssertionResult ppm_wie_referenz(const FALL& f, const REFERENZRASTER& ref)
{
    std::string ppm = ausgabe([&](FILE* d) { DBLD_put_ppm(d, &f.dbld, &f.par); });
    std::string kopf =
        "P6\n" + std::to_string(ref.breite) + " " + std::to_string(ref.hoehe) + "\n255\n";
    if (ppm != kopf + std::string(ref.rgb.begin(), ref.rgb.end()))
        return ::testing::AssertionFailure() << "PPM differs";
    return ::testing::AssertionSuccess();
}

// Both JPEG writers of a case: libjpeg's bytes of the reference raster.
::testing::AssertionResult jpeg_wie_referenz(const FALL& f, const REFERENZRASTER& ref)
{
    const std::vector<unsigned char> erwartet = referenz(ref, f.par.quality);
    if (erwartet.empty())
        return ::testing::AssertionFailure() << "no reference JPEG";
    if (jpeg(&f.dbld, f.par) != erwartet)
        return ::testing::AssertionFailure() << "DBLD_to_jpeg differs";
    if (jpeg_strom(&f.dbld, f.par) != erwartet)
        return ::testing::AssertionFailure() << "DBLD_put_jpeg differs";
    return ::testing::AssertionSuccess();
}

TEST_F(Bild, RowRasterMatchesThePointByPointReference)
{
    std::mt19937 zufall(20240611);
    const int faelle = 3000;
    int bunte = 0, mit_jpeg = 0;
    for (int i = 0; i < faelle; ++i) {
        FALL f;
        zufallsfall(zufall, f);
        f.einstellen();
        REFERENZRASTER ref = referenz_raster(&f.dbld, f.par);
        Raster r = rastern(&f.dbld, f.par);
        ASSERT_EQ(r.breite, ref.breite) << f.text();
        ASSERT_EQ(r.hoehe, ref.hoehe) << f.text();
        ASSERT_TRUE(r.lueckenlos) << f.text();
        ASSERT_TRUE(r.rgb == ref.rgb) << "Fall " << i << ": " << f.text();
        bunte += bunt(ref.rgb);

        // the binary PPM writes the same pixels
        if (i % 4 == 0) {
            ASSERT_TRUE(ppm_wie_referenz(f, ref)) << "Fall " << i << ": " << f.text();
        }
        // both JPEG writers, drawing the rows as the compressor takes them,
        // give the bytes libjpeg makes of the reference
        if (i % 12 == 0) {
            ASSERT_TRUE(jpeg_wie_referenz(f, ref)) << "Fall " << i << ": " << f.text();
            ++mit_jpeg;
        }
    }
    // a good part of the images is not a handful of flat colours (the rest
    // are the empty, tiny and out-of-range ones)
    EXPECT_GT(bunte, faelle / 3);
    EXPECT_EQ(mit_jpeg, (faelle + 11) / 12);
}

TEST_F(Bild, PointByPointFallbackMatchesTheReference)
{
    std::mt19937 zufall(77);
    int mit_jpeg = 0;
    for (int i = 0; i < 300; ++i) {
        FALL f;
        zufallsfall(zufall, f);
        f.einstellen();
        Raster r;
        DBLD_pixsize(&r.breite, &r.hoehe, &f.dbld, f.par.resolution, f.par.frame);
        dbld_bild::raster_punktweise(&r, sammeln, &f.dbld, &f.par);
        ASSERT_TRUE(r.lueckenlos) << f.text();
        const REFERENZRASTER ref = referenz_raster(&f.dbld, f.par);
        ASSERT_TRUE(r.rgb == ref.rgb) << "Fall " << i << ": " << f.text();

        // every writer on its point-by-point path, as when the row raster's
        // tables cannot be had: the same pixels and JPEG bytes
        NurPunktweise sperre;
        Raster gen = rastern(&f.dbld, f.par);
        ASSERT_TRUE(gen.lueckenlos) << f.text();
        ASSERT_TRUE(gen.rgb == ref.rgb) << "Fall " << i << ": " << f.text();
        if (i % 3 == 0) {
            ASSERT_TRUE(ppm_wie_referenz(f, ref)) << "Fall " << i << ": " << f.text();
            ASSERT_TRUE(jpeg_wie_referenz(f, ref)) << "Fall " << i << ": " << f.text();
            ++mit_jpeg;
        }
    }
    EXPECT_EQ(mit_jpeg, 100);
}

// Two sit-bone mounds on a low background, n_y x n_x cells.
void sitzbild(TestBild& b)
{
    const int n = std::max(b.n_y, b.n_x);
    const double h = n / 2.0;
    for (int r = 0; r < b.n_y; ++r)
        for (int c = 0; c < b.n_x; ++c) {
            double d1 = std::hypot(r - 0.45 * b.n_y, c - 0.3 * b.n_x) / h;
            double d2 = std::hypot(r - 0.45 * b.n_y, c - 0.7 * b.n_x) / h;
            int v = (int)(80 * std::exp(-8 * d1 * d1) + 70 * std::exp(-8 * d2 * d2));
            b.setze(r, c, v < 3 ? 0 : v);
        }
    DBLD_min_max(&b.dbld);
}

TEST_F(Bild, SeatedFramesAtTheDefaultResolutionGiveTheReferenceJpeg)
{
    // the frames the live view draws, with and without grid, mask, contrast
    TestBild klein(16, 16), mittel(32, 32), schief(27, 41);
    for (TestBild* b : {&klein, &mittel, &schief})
        sitzbild(*b);
    schief.maske[5 * 41 + 7] = 1;
    schief.maske[26 * 41 + 40] = 1;
    struct {
        TestBild* b;
        BILDPARAMETER par;
        int kontrast;
    } faelle[] = {
        {&klein, parameter(20), 0},
        {&mittel, parameter(20), 0},
        {&mittel, parameter(20, 2, 3, 0, 95), 3},
        {&schief, parameter(20, 1, 2, 1, 80), 5},
        {&schief, parameter(13, 2, 0, 1, 60), 0},
    };
    for (auto& f : faelle) {
        DBLD_set_ccontrast(f.kontrast);
        const std::vector<unsigned char> erwartet =
            referenz(referenz_raster(&f.b->dbld, f.par), f.par.quality);
        ASSERT_FALSE(erwartet.empty());
        EXPECT_TRUE(jpeg(&f.b->dbld, f.par) == erwartet)
            << f.b->n_y << "x" << f.b->n_x << " res " << f.par.resolution;
        EXPECT_TRUE(jpeg_strom(&f.b->dbld, f.par) == erwartet)
            << f.b->n_y << "x" << f.b->n_x << " res " << f.par.resolution;
    }
}

TEST_F(Bild, RowRasterEdgeCases)
{
    auto gleich = [](const DBLD* d, const BILDPARAMETER& par) {
        return rastern(d, par).rgb == referenz_raster(d, par).rgb;
    };
    // a uniform image: val_min is its value, and interpolation a hair below
    // it gives the background
    TestBild gleichmaessig(5, 6);
    gleichmaessig.block(0, 4, 0, 5, 100);
    DBLD_min_max(&gleichmaessig.dbld);
    ASSERT_EQ(gleichmaessig.dbld.val_min, 100);
    for (int res : {1, 3, 7, 20})
        EXPECT_TRUE(gleich(&gleichmaessig.dbld, parameter(res))) << res;

    // a neighbourhood that sums to 0: no value, though the cell has one
    TestBild aufgehoben(3, 3, {{1, 1, 50}, {0, 0, -50}});
    aufgehoben.dbld.val_min = -50;
    aufgehoben.dbld.val_max = 50;
    EXPECT_EQ(DBLD_dbldvalsq(&aufgehoben.dbld, 1, 1), 0.0f);
    for (int res : {1, 2, 5, 20})
        EXPECT_TRUE(gleich(&aufgehoben.dbld, parameter(res, 2, 1))) << res;

    // the neighbourhood sum in float and in the sampling function's order:
    // 1 + 2^30 rounds to 2^30, and -2^30 later makes the sum 0, so the
    // centre has no value (in another order the sum would be 1); its
    // interpolation toward the upper right does not touch the two big cells
    TestBild rundung(3, 3, {{1, 1, 1}, {2, 0, 1 << 30}, {0, 2, -(1 << 30)}});
    rundung.dbld.val_min = 0;
    rundung.dbld.val_max = 1;
    EXPECT_EQ(DBLD_dbldvalsq(&rundung.dbld, 1.25f, 1.25f), 0.0f);
    rundung.setze(0, 2, 0);
    EXPECT_EQ(DBLD_dbldvalsq(&rundung.dbld, 1.25f, 1.25f), 0.5625f);
    rundung.setze(0, 2, -(1 << 30));
    EXPECT_TRUE(gleich(&rundung.dbld, parameter(20)));

    // one cell; a single row and a single column; a negative val_max
    TestBild eins(1, 1, {{0, 0, 9}}), zeile(1, 17), spalte(19, 1);
    for (int i = 0; i < 17; ++i)
        zeile.setze(0, i, (i * 53) % 200 - 20);
    for (int i = 0; i < 19; ++i)
        spalte.setze(i, 0, (i * 71) % 230);
    DBLD_min_max(&eins.dbld);
    DBLD_min_max(&zeile.dbld);
    DBLD_min_max(&spalte.dbld);
    for (int res = 1; res <= 20; ++res) {
        EXPECT_TRUE(gleich(&eins.dbld, parameter(res, 1, 2))) << res;
        EXPECT_TRUE(gleich(&zeile.dbld, parameter(res, 1))) << res;
        EXPECT_TRUE(gleich(&spalte.dbld, parameter(res, 2))) << res;
    }
    zeile.dbld.val_max = -7;
    EXPECT_TRUE(gleich(&zeile.dbld, parameter(4)));

    // the mask flag without a mask array, and a mask over grid lines
    TestBild m(4, 5);
    huegel(m);
    m.maske[0] = m.maske[19] = 1;
    EXPECT_TRUE(gleich(&m.dbld, parameter(6, 1, 1, 1)));
    m.dbld.mask = nullptr;
    EXPECT_TRUE(gleich(&m.dbld, parameter(6, 1, 1, 1)));
}

} // namespace
