// The rendering's own pieces, shared by its three files (not exported, not
// for the image commands: they use dbld_bild_intern.h):
// - dbld_bild.cpp: colour settings and scale, sizes, the point-by-point
//   rasteriser and every exported renderer (DBLD_put_gen, PPM, text dumps,
//   DBLD_to_jpeg, DBLD_put_jpeg);
// - dbld_bild_zeilen.cpp: the row raster, which computes the same pixels a
//   row at a time in memory proportional to the image width;
// - dbld_bild_jpeg.cpp: the libjpeg glue (error manager, memory
//   destination, compression fed row by row) and the JPEG writers of the
//   internal interface;
// - dbld_differenzbild.cpp: the row raster of the difference images, on
//   the same pixel geometry and colours of border, grid and masked cells.
#ifndef DBLD_BILD_RASTER_H
#define DBLD_BILD_RASTER_H

#include "dbld.h"
#include "dbld_speicher.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace dbld_bild {

// Colours of the border, the grid and masked cells.
extern const unsigned char rahmenfarbe[3];
extern const unsigned char gitterfarbe[3];
extern const unsigned char maskenfarbe[3];

// Image size with border, in 64 bits so that nothing overflows.
void masse(const DBLD* dbld, int resolution, int frame, long long* breite, long long* hoehe);

// Whether the rasteriser can draw the image: rows and columns, resolution
// >= 1, frame >= 0, and width and height that fit an int.
bool zeichenbar(const DBLD* dbld, const BILDPARAMETER* par, int* breite, int* hoehe);

// The rasteriser one pixel at a time, sampling through DBLD_dbldvalsq, for
// a drawable image W wide: what every writer falls back on when the row
// raster's tables cannot be had.
void punktweise(void* ausgabe, PIXELSCHREIBER pixelschreiber, const DBLD* dbld,
                const BILDPARAMETER* par, int W);

// Level of a scaled value as the colour scale sees it: truncated toward
// zero.  Every level at or below 0 has the background colour and every level
// at or above 255 the top colour, with or without contrast, so the value is
// cut to 0 .. 255 first; that also keeps the conversion defined for values
// far outside.
inline int stufe(float p)
{
    if (!(p > 0.0f))
        return 0;
    if (p >= 255.0f)
        return 255;
    return (int)p;
}

// Index of the nearest cell as the sampling function finds it: coordinate +
// 0.5 in double precision, truncated toward zero.  False where it finds no
// cell (a coordinate not finite or beyond int).
inline bool zellindex(float koordinate, int* index)
{
    double d = (double)koordinate + 0.5;
    if (!(d > (double)INT_MIN - 1.0 && d < (double)INT_MAX + 1.0))
        return false;
    *index = (int)d;
    return true;
}

// The pixel geometry of the row rasters (the false-colour images and the
// difference images): calls f(m, nearest, neighbour, 1 - |dx|, |dx|) for
// each pixel column m of the image part, the columns counted in the bordered grid: fx summed
// step by step within each cell as the rasteriser sums it.  Where no cell
// is found (the border) nearest and neighbour are 0 and the weights 0.
template <class F> void spalten_durchlaufen(int n_cols, int resolution, F f)
{
    const float step = (float)(1.0 / resolution);
    int m = 0;
    for (int i_col = 0; i_col < n_cols; ++i_col) {
        float fx = (float)(i_col - 0.5);
        for (int k = 0; k < resolution; ++k, ++m) {
            int i;
            if (zellindex(fx, &i) && i >= 0 && i < n_cols) {
                float dx = fx - (float)i;
                float adx = std::fabs(dx);
                f(m, i + 1, (dx > 0 ? i + 1 : i - 1) + 1, 1 - adx, adx);
            } else {
                f(m, 0, 0, 0.0f, 0.0f);
            }
            fx += step;
        }
    }
}

// Nearest and neighbour row of a pixel row in the bordered grid, and the
// weights 1 - |dy| and |dy|.
struct ZEILENGEWICHT {
    int zelle, nachbar;
    float g0, g1;
};

// The row weights of image pixel row j, l = j mod resolution rows below the
// top of cell row i_row: fy summed from the top of the cell row step by
// step, as the rasteriser sums it.
inline ZEILENGEWICHT zeilengewicht(int i_row, int l, int resolution, int n_rows)
{
    const float step = (float)(1.0 / resolution);
    float fy = (float)(i_row + 0.4);
    for (int k = 0; k < l; ++k)
        fy -= step;
    int i;
    if (zellindex(fy, &i) && i >= 0 && i < n_rows) {
        float dy = fy - (float)i;
        float ady = std::fabs(dy);
        return {i + 1, (dy >= 0 ? i + 1 : i - 1) + 1, 1 - ady, ady};
    }
    // no cell row (the lower border row): weights 0
    return {0, 1, 0.0f, 0.0f};
}

// The colour of every level 0 .. 255 from the colour scale with the settings
// of the moment: one lookup per pixel instead of the scale's arithmetic.
// Four bytes per entry (the fourth is 0), so that a pixel can be copied as
// one word.
struct FARBTABELLE {
    unsigned char rgb[256][4];

    FARBTABELLE();
    const unsigned char* operator[](int level) const { return rgb[level]; }
};

// One cell row's products with the column weights, its thresholds, and the
// runs of pixel columns whose threshold is finite (elsewhere every value
// is 0).
struct ZEILENSPEICHER {
    int zeile;       // row of the bordered grid, -1 while empty
    float* wert_x0;  // value of the nearest cell x (1 - |dx|)
    float* wert_x1;  // value of the neighbour column x |dx|
    float* schwelle;
    int* laeufe;     // start and end (exclusive) of each run
    int n_laeufe;
};

// The raster of an image one output row at a time, with the same bytes as
// the point-by-point rasteriser.  Its memory grows with the width of the
// image only: tables per pixel column, a few cell rows' values and products
// and a few output rows.
class ZEILENRASTER {
public:
    // Tables for the image and room for one output row; false when their
    // memory cannot be had.  The image must be drawable (zeichenbar), W wide.
    bool anlegen(const DBLD* dbld, const BILDPARAMETER* par, int W);
    // Output row y (0 = top) as 3 x W bytes, valid until the next call.  The
    // rows are cheapest from the top down, as the writers take them.
    const unsigned char* zeile(int y);

private:
    const DBLD* dbld_ = nullptr;
    int n_rows_ = 0, n_cols_ = 0, res_ = 1, grid_ = 0, frame_ = 0;
    int W_ = 0, w_ = 0, h_ = 0;
    bool ohne_wert_ = false, maskieren_ = false;
    float s_ = 0;
    FARBTABELLE farben_;
    dbld_speicher::C_BLOCK<unsigned char[]> block_;
    // per pixel column: the weights 1 - |dx| and |dx| of the nearest and
    // the neighbour column
    float* sp_g0_ = nullptr;
    float* sp_g1_ = nullptr;
    // the pixel columns in stretches of the same nearest and neighbour
    // column: start, end (exclusive), nearest, neighbour, these in the
    // bordered grid (a border of empty cells round the image, cell (r, c)
    // at (r + 1, c + 1))
    int* abschnitte_ = nullptr;
    int n_abschnitte_ = 0;
    // one bordered cell row of values and its neighbours above and below,
    // and that row's thresholds: where a place is filled
    float* unten_ = nullptr;
    float* mitte_ = nullptr;
    float* oben_ = nullptr;
    float* schwellen_ = nullptr;
    // A pixel row reads two neighbouring rows, and the pixel rows of one
    // cell row read at most four neighbouring rows: four places, row r in
    // place r mod 4.
    ZEILENSPEICHER speicher_[4] = {};
    int* stufen_ = nullptr; // levels of the pixels of a run
    unsigned char* leer_ = nullptr; // a pixel row in the colour of level 0
    dbld_speicher::C_BLOCK<unsigned char[]> ausgabe_; // the output row, 3 x W bytes

    void spalten_fuellen();
    void zellzeile(int zeile, float* werte) const;
    void schwellen_rechnen(int zeile);
    const ZEILENSPEICHER& speicher(int zeile);
    void werte_zeichnen(int j, unsigned char* bild);
    void farben_setzen(unsigned char* bild, int n) const;
};

} // namespace dbld_bild

#endif
