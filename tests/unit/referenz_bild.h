// Test reference of the false-colour raster, computed the plain way: every
// pixel sampled on its own through DBLD_dbldvalsq, its level turned into a
// colour by DBLD_value_to_color, grid, mask and border decided per pixel in
// the order the rasteriser is defined with.  The library's row raster must
// give the same bytes for every input.
#ifndef REFERENZ_BILD_H
#define REFERENZ_BILD_H

#include "dbld.h"

#include <vector>

struct REFERENZRASTER {
    int breite = 0, hoehe = 0;
    std::vector<unsigned char> rgb; // 3 bytes per pixel, rows from the top
};

// The scaled value truncated toward zero.  Beyond int the level is taken as
// the nearest int: the colour scale gives the top colour or the background
// there anyway.
inline int referenz_stufe(float p)
{
    if (p >= 2147483648.0f)
        return 2147483647;
    if (p <= -2147483648.0f)
        return -2147483647 - 1;
    return (int)p;
}

// The raster of an image the rasteriser can draw (rows, columns and
// resolution at least 1, frame at least 0).
inline REFERENZRASTER referenz_raster(const DBLD* d, const BILDPARAMETER& par)
{
    static const unsigned char rahmen[3] = {64, 64, 64};
    static const unsigned char gitter[3] = {128, 128, 128};
    static const unsigned char maskiert[3] = {208, 208, 208};

    REFERENZRASTER r;
    const int res = par.resolution, grid = par.grid, frame = par.frame;
    const int w = d->n_cols * res, h = d->n_rows * res;
    r.breite = w + 2 * frame;
    r.hoehe = h + 2 * frame;
    r.rgb.reserve(3 * (size_t)r.breite * r.hoehe);
    auto pixel = [&r](const unsigned char* farbe) { r.rgb.insert(r.rgb.end(), farbe, farbe + 3); };

    const float s = d->val_max != 0 ? (float)(255.0 / d->val_max) : 0.0f;
    const float step = (float)(1.0 / res);

    for (long long i = 0; i < (long long)frame * r.breite; ++i)
        pixel(rahmen);
    int j = 0;
    for (int i_row = d->n_rows - 1; i_row >= 0; --i_row) {
        float fy = (float)(i_row + 0.4);
        for (int l = 0; l < res; ++l) {
            for (int k = 0; k < frame; ++k)
                pixel(rahmen);
            int m = 0;
            for (int i_col = 0; i_col < d->n_cols; ++i_col) {
                float fx = (float)(i_col - 0.5);
                for (int k = 0; k < res; ++k) {
                    if (grid != 0 && ((j | grid) & 1) && k == res - 1 && m < w - 1) {
                        pixel(gitter);
                    } else if (grid != 0 && ((m | grid) & 1) && l == res - 1 && j < h - 1) {
                        pixel(gitter);
                    } else if (par.mask != 0 && d->mask != nullptr &&
                               d->mask[(size_t)i_row * d->n_cols + i_col] != 0) {
                        pixel(maskiert);
                    } else {
                        int level = 0;
                        if (d->val_max != 0)
                            level = referenz_stufe(DBLD_dbldvalsq(d, fx, fy) * s);
                        int rot, gruen, blau;
                        DBLD_value_to_color(&rot, &gruen, &blau, level);
                        const unsigned char farbe[3] = {(unsigned char)rot, (unsigned char)gruen,
                                                        (unsigned char)blau};
                        pixel(farbe);
                    }
                    fx += step;
                    ++m;
                }
            }
            for (int k = 0; k < frame; ++k)
                pixel(rahmen);
            fy -= step;
            ++j;
        }
    }
    for (long long i = 0; i < (long long)frame * r.breite; ++i)
        pixel(rahmen);
    return r;
}

#endif
