// Extended evaluation: the standard sit-bone centroids, refined by a ring
// analysis of the pressure plateau around each centroid and an iterated
// circle centroid; then, per side, the direction of the sit-bone region
// (its axis), the sit-bone angle and an ellipse describing the region.
//
// The arithmetic is single precision unless a step says otherwise, in the
// order written; results must come out bit for bit the same on every
// platform, so no expression here may be reordered or contracted.  The
// cosines, sines and tangents at the fixed angles (ring angles, whole
// degrees) are constants of the code (dbld_winkeltabellen.h): no result
// depends on the maths library of the machine.
//
// All sampling goes through ABTASTER, which gives exactly what
// DBLD_dbldvalsq gives on the record of the cleaned image (the sampling
// functions take its view by value, so that its fields stay in registers);
// the diagnostics of the innermost loops are formatted only when the log
// level shows them.
#include "dbld.h"
#include "dbld_abtaster.h"
#include "dbld_bereich.h"
#include "dbld_intern.h"
#include "dbld_winkeltabellen.h"

#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

using dbld_intern::ABTASTER;
using dbld_intern::ABTASTSICHT;

// Same value as M_PI, spelled out so that it does not depend on the feature
// macros of the C library.
constexpr double pi = 3.14159265358979323846;

// Sampling step along an axis, cell units.
const float dl = 0.1f;

// Truncation toward zero to an int, as a plain conversion does; values
// outside the int range are clamped and NaN gives 0 instead of undefined
// behaviour.
int auf_int(float v)
{
    if (v >= -2147483648.0f && v < 2147483648.0f)
        return (int)v;
    if (v >= 2147483648.0f)
        return INT_MAX;
    if (v < -2147483648.0f)
        return INT_MIN;
    return 0;
}

// Whole-degree direction angle in radians: angle * pi / 180 in double
// precision, then rounded to float (the argument of the table's values;
// here only shown in a diagnostic line).
float bogenmass(int grad)
{
    return (float)(grad * pi / 180);
}

// Radius of the pressure plateau around (mx, my): rings from MIN_R outwards,
// 36 samples each, until a ring holds no pressure or its average drops
// below LIMIT of the highest value seen so far while not holding that value
// itself.  Past MAX_R the first radius beyond it is returned.
float innenkreisradius(ABTASTSICHT bild, float mx, float my)
{
    const float MIN_R = 0.5f;
    const float MAX_R = 3.0f;
    const float STEP_R = 0.05f;
    const float LIMIT = 0.85f;
    using dbld_winkel::ring;
    const bool dbg2 = dbld_intern::loglevel() >= DBLD_LOGLEVEL_DBG2;

    if (dbg2)
        dbld_dbg2_msg("Kreisanalyse um x=%.1f, y=%.1f\n", mx, my);
    float min = 255, max = 0;
    float r = MIN_R;
    for (; r <= MAX_R; r += STEP_R) {
        float min_k = 255, max_k = 0, sum_k = 0;
        int n_gz = 0;
        for (int i = 0; i < dbld_winkel::RING_N; ++i) {
            float x = mx + ring[i].cos_w * r;
            float y = my + ring[i].sin_w * r;
            float val = bild.wert(x, y);
            // Degrees for the message: w * 180 in float, then divided by pi
            // in double (ordinary C promotion).
            if (dbg2)
                dbld_dbg2_msg("r=%4.1f w=%2.0f\xb0 => x=%.1f;y=%.1f => val=%.0f\n", r,
                              ring[i].w * 180 / pi, x, y, val);
            if (val > max)
                max = val;
            if (val < min)
                min = val;
            if (val > max_k)
                max_k = val;
            if (val < min_k)
                min_k = val;
            if (val > 0) {
                sum_k += val;
                n_gz += 1;
            }
        }
        if (n_gz == 0)
            return r;

        float avg_k = sum_k / (float)n_gz;
        bool im_plateau = max == max_k || avg_k / max >= LIMIT;
        if (dbg2)
            dbld_dbg2_msg("r=%3.2f: min=%5.1f; max=%5.1f; min_k=%5.1f; max_k=%5.1f; "
                          "avg_k=%5.1f (%2.0f%% bzw. %2.0f%%) %s\n",
                          r, min, max, min_k, max_k, avg_k, 100 * avg_k / max,
                          100 * avg_k / max_k, im_plateau ? " <-" : "");
        if (!im_plateau) {
            dbld_dbg2_msg("L\xe4nge der Nebenachse: %.2f cm\n", 2 * r);
            dbld_dbg2_msg("Vermutete L\xe4nge der Hauptachse: %.2f cm\n", 4 * r);
            return r;
        }
    }
    return r;
}

// Value-weighted mean position of the sampling points inside the circle of
// radius r around (x0, y0).  The points form a grid of spacing 0.5 anchored
// at the corner (x0 - r, y0 - r); points on the circle belong to it.  A
// circle without pressure gives its own centre, so that a correction around
// an empty region settles at once.
void kreisschwerpunkt(float* sx, float* sy, ABTASTSICHT bild, float x0, float y0,
                      float r)
{
    double g = 0;
    double fsx = x0, fsy = y0;
    bool erster = true;
    // A circle far off the mat (or around a non-finite centre, which images
    // with mixed-sign extreme values can produce) reads 0 everywhere; there
    // the steps of 0.5 might not even advance x, so the centre is returned
    // without sampling.
    const float weit = 1e12f;
    if (!(std::fabs(x0) < weit && std::fabs(y0) < weit && std::fabs(r) < weit)) {
        *sx = x0;
        *sy = y0;
        return;
    }
    // The corner and the upper bounds are formed from the float parameters
    // in float (their difference and their sum); only the grid positions
    // run in double, compared with the bounds widened.
    const double x_von = (float)(x0 - r), x_bis = (float)(x0 + r);
    const double y_von = (float)(y0 - r), y_bis = (float)(y0 + r);
    for (double x = x_von; x <= x_bis; x += 0.5) {
        const ABTASTSICHT::SPALTE spalte = bild.spalte((float)x);
        for (double y = y_von; y <= y_bis; y += 0.5) {
            double dx = x - x0, dy = y - y0;
            float d2 = (float)(dx * dx + dy * dy);
            if (sqrtf(d2) > r)
                continue;
            float v = bild.wert(spalte, (float)y);
            if (v == 0)
                continue;
            if (erster) {
                erster = false;
                fsx = x;
                fsy = y;
                g = v;
                continue;
            }
            // The step factor is kept in double like the sums it comes from.
            double a = g / v + 1;
            fsy = fsy + (y - fsy) / a;
            fsx = fsx + (x - fsx) / a;
            g = g + v;
        }
    }
    // The weighted mean of grid positions within the circle stays finite;
    // should it not, the circle counts as one without pressure.
    float x = (float)fsx, y = (float)fsy;
    if (!std::isfinite(x) || !std::isfinite(y)) {
        dbld_dbg_msg("Kreisschwerpunkt nicht endlich.\n");
        x = x0;
        y = y0;
    }
    *sx = x;
    *sy = y;
}

// Moves (sx0, sy0) to the centroid of the circle of radius r around it until
// it moves less than 0.05.  Returns the number of steps and the settled
// position, or -1 (position untouched) when MAX_Z circles do not suffice.
int schwerpunktkorrektur(float* sx, float* sy, const ABTASTSICHT& bild, float sx0, float sy0,
                         float r)
{
    const int MAX_Z = 20;
    float sx2 = sx0, sy2 = sy0;
    int i = 0;
    for (; i < MAX_Z; ++i) {
        kreisschwerpunkt(&sx2, &sy2, bild, sx0, sy0, r);
        if (dbld_intern::loglevel() >= DBLD_LOGLEVEL_DBG2)
            dbld_dbg2_msg("Schwerpunktkorrektur (%2.2f; %2.2f) -> (%2.2f; %2.2f)\n", sx0, sy0,
                          sx2, sy2);
        float dx = sx0 - sx2, dy = sy0 - sy2;
        if (sqrtf(dx * dx + dy * dy) < 0.05f)
            break;
        sx0 = sx2;
        sy0 = sy2;
    }
    dbld_dbg2_msg("\n");
    if (i == MAX_Z)
        return -1;
    *sx = sx2;
    *sy = sy2;
    return i;
}

// Cosine, sine and tangent of a whole-degree direction angle in single
// precision at the argument bogenmass(grad), from the constant table: the
// axis search and the ellipses take only angles that lie in it.
const dbld_winkel::GRADWINKEL& winkel_grad(int grad)
{
    return dbld_winkel::grad[grad - dbld_winkel::GRAD_MIN];
}

// One half of an axis after its centre sample (value g, counted in *n = 1):
// the samples at x, x + schritt, ... (accumulated in float) on the line
// y = (x - sx) * k + sy, truncated to whole numbers and added to g, until
// the first empty one or until MAX_Nh + 1 samples are counted.
float halbachse(ABTASTSICHT bild, float x, float schritt, float sx, float sy, float k,
                int MAX_Nh, float g, int* n)
{
    int gezaehlt = 1;
    for (; gezaehlt <= MAX_Nh; x += schritt) {
        int v = auf_int(bild.wert(x, (x - sx) * k + sy));
        if (v == 0)
            break;
        g += (float)v;
        gezaehlt += 1;
    }
    *n = gezaehlt;
    return g;
}

// Axis weight of the line through (sx, sy) in direction w (degrees): the
// pressure samples, truncated to whole numbers, at steps of dl from the
// centre in both directions, each half ending at its first empty sample or
// after about max_r.  The centre sample counts in both halves (it is taken
// once and used twice).  *n gets the number of samples taken.
float gewicht(SEITE seite, int* n, ABTASTSICHT bild, int w, float sx, float sy,
              float dl, float max_r)
{
    float rad = bogenmass(w);
    float k = winkel_grad(w).tan_w;
    // Capped so that both halves together still count in an int.
    int MAX_Nh = auf_int(roundf(max_r / dl));
    if (MAX_Nh > INT_MAX / 2 - 1)
        MAX_Nh = INT_MAX / 2 - 1;
    float dx = sqrtf(dl * dl / (1 + k * k));

    int n1 = 0, n2 = 0;
    float g1 = 0, g2 = 0;
    int v0 = MAX_Nh >= 0 ? auf_int(bild.wert(sx, (sx - sx) * k + sy)) : 0;
    if (v0 != 0) {
        // x - dx is x + (-dx) exactly, so one walk serves both halves.
        g1 = halbachse(bild, sx + dx, dx, sx, sy, k, MAX_Nh, (float)v0, &n1);
        g2 = halbachse(bild, sx - dx, -dx, sx, sy, k, MAX_Nh, (float)v0, &n2);
    }
    *n = n1 + n2;

    // The angle shown is the sit-bone angle: rad * 180 in float, divided by
    // pi in double (ordinary C promotion).  A zero count shows as nan/inf.
    if (dbld_intern::loglevel() < DBLD_LOGLEVEL_DBG2)
        return g1 + g2;
    double winkel = seite == links ? rad * 180 / pi - 90 : 90 - rad * 180 / pi;
    dbld_dbg2_msg("%3.0f\xb0: l1=%.1f l2=%.1f l = %4.1f;   g1=%5.2f g2=%5.2f g = %5.2f;\n",
                  winkel, (float)n1 * dl, (float)n2 * dl, (float)(n1 + n2) * dl,
                  g1 / (float)n1, g2 / (float)n2, (g1 + g2) / (float)(n1 + n2));
    return g1 + g2;
}

struct ACHSE {
    int w_max;
    int n_max;
};

// Smallest and largest sit-bone angle searched, degrees.
const int YW2_MIN = 15;
const int YW2_MAX = 55;
// The axes searched (90 -/+ 15 .. 55 degrees) and the ellipses' minor axes
// (those less 90, down to -55) are all in the angle table.
static_assert(-YW2_MAX >= dbld_winkel::GRAD_MIN && 90 + YW2_MAX <= dbld_winkel::GRAD_MAX,
              "angle table too short");

// Direction of the heaviest axis through (sx, sy): left side 105..145
// degrees ascending, right side 75..35 descending.  Among equal weights the
// first angle searched (the smallest sit-bone angle) wins.
ACHSE achse_suchen(SEITE seite, const ABTASTSICHT& bild, float sx, float sy, float max_r)
{
    float g_max = -1;
    ACHSE achse = {-1, -1};
    auto pruefen = [&](int w) {
        int n = 0;
        float g = gewicht(seite, &n, bild, w, sx, sy, dl, max_r);
        if (g > g_max) {
            g_max = g;
            achse.w_max = w;
            achse.n_max = n;
        }
    };
    if (seite == links) {
        for (int w = 90 + YW2_MIN; w <= 90 + YW2_MAX; ++w)
            pruefen(w);
    } else {
        for (int w = 90 - YW2_MIN; w >= 90 - YW2_MAX; --w)
            pruefen(w);
    }
    return achse;
}

// Ellipse around the centroid (mx, my): semi-minor axis b, semi-major axis
// 2 b along direction w (degrees); vertices, co-vertices, foci and the
// corners of the circumscribed rectangle.
void ellipse_bauen(ELLIPSE* e, SEITE seite, float mx, float my, float b, int w)
{
    float ux = winkel_grad(w).cos_w, uy = winkel_grad(w).sin_w;
    float vx = winkel_grad(w - 90).cos_w, vy = winkel_grad(w - 90).sin_w;

    e->mitte.x = mx;
    e->mitte.y = my;
    e->a = 2 * b;
    e->b = b;
    e->w = (float)w;
    const float a = e->a;

    e->s1.x = mx - a * ux;
    e->s1.y = my - a * uy;
    e->s2.x = mx + a * ux;
    e->s2.y = my + a * uy;

    e->n1.x = mx - b * vx;
    e->n1.y = my - b * vy;
    e->n2.x = mx + b * vx;
    e->n2.y = my + b * vy;

    float ex = sqrtf(3 * b * b);
    dbld_dbg_msg(seite == links ? "Exzentrizit\xe4t links: %.1f\n"
                                : "Exzentrizit\xe4t rechts: %.1f\n",
                 ex);
    e->f1.x = mx - ex * ux;
    e->f1.y = my - ex * uy;
    e->f2.x = mx + ex * ux;
    e->f2.y = my + ex * uy;

    float d1x = e->n1.x - mx, d1y = e->n1.y - my;
    float d2x = e->n2.x - mx, d2y = e->n2.y - my;
    e->r1.x = e->s1.x + d1x;
    e->r1.y = e->s1.y + d1y;
    e->r2.x = e->s1.x - d1x;
    e->r2.y = e->s1.y - d1y;
    e->r3.x = e->s2.x + d2x;
    e->r3.y = e->s2.y + d2y;
    e->r4.x = e->s2.x - d2x;
    e->r4.y = e->s2.y - d2y;
}

int auswertung_stdplus(AUSWERTUNGSERGEBNIS* ergebnis, const int* druckbild, int n_y, int n_x)
{
    dbld_dbg_msg("Erweiterte Standardauswertung\n");

    // The cleaned image goes straight into the sampler's grid, with the
    // value range DBLD_init would give it; both centroids in the same pass.
    // A side without pressure keeps the centroid (0, 0).
    ABTASTER abtaster;
    float* raster = abtaster.raster(n_y, n_x);
    if (!raster)
        return 0;
    dbld_intern::WERTEBEREICH bereich;
    dbld_intern::SCHWERPUNKT_LAUF links_lauf, rechts_lauf;
    if (!dbld_intern::bereinigen_in_raster(raster, abtaster.abstand(), &bereich, druckbild, n_y,
                                           n_x, &links_lauf, &rechts_lauf))
        return 0;
    // A centroid that left the float range is taken as that of a side
    // without pressure.
    float slx = 0, sly = 0, srx = 0, sry = 0;
    if (links_lauf.gefunden) {
        if (links_lauf.endlich()) {
            sly = links_lauf.r;
            slx = links_lauf.c;
        } else {
            dbld_dbg_msg("Schwerpunkt links nicht endlich.\n");
        }
    }
    if (rechts_lauf.gefunden) {
        if (rechts_lauf.endlich()) {
            sry = rechts_lauf.r;
            srx = rechts_lauf.c;
        } else {
            dbld_dbg_msg("Schwerpunkt rechts nicht endlich.\n");
        }
    }
    dbld_dbg_msg("Schwerpunkt links: x=%.1f; y=%.1f\n", slx, sly);
    dbld_dbg_msg("Schwerpunkt rechts: x=%.1f; y=%.1f\n", srx, sry);

    // Counts that no record can have end the evaluation here without a
    // result, as the record of the cleaned image could not be made.
    if (n_y < 0 || n_x < 0 || (long long)n_y * n_x > INT_MAX)
        return 0;
    DBLD bereichsrecord;
    bereich.setzen(&bereichsrecord);
    abtaster.fertig(bereichsrecord.val_min);
    const ABTASTSICHT bild = abtaster.sicht();

    float bl = innenkreisradius(bild, slx, sly);
    float br = innenkreisradius(bild, srx, sry);
    dbld_dbg_msg("Innenkreisradien: links=%.1f cm; rechts=%.1f cm\n", bl, br);

    int schritte = schwerpunktkorrektur(&slx, &sly, bild, slx, sly, 2 * bl);
    if (schritte < 0)
        dbld_dbg_msg("Schwerpunktkorrektur links divergiert.\n");
    else
        dbld_dbg_msg("Schwerpunktkorrektur links nach %d Schritten auf (%2.2f; %2.2f)\n",
                     schritte, slx, sly);
    schritte = schwerpunktkorrektur(&srx, &sry, bild, srx, sry, 2 * br);
    if (schritte < 0)
        dbld_dbg_msg("Schwerpunktkorrektur rechts divergiert.\n");
    else
        dbld_dbg_msg("Schwerpunktkorrektur rechts nach %d Schritten auf (%2.2f; %2.2f)\n",
                     schritte, srx, sry);

    AUSWERTUNG_STDPLUS& e = ergebnis->stdplus;
    e.schwerpunkt1.x = slx;
    e.schwerpunkt1.y = sly;
    e.schwerpunkt2.x = srx;
    e.schwerpunkt2.y = sry;

    // Two finite centroids far apart can have a distance beyond the float
    // range: it is then missing (-1), as in the standard evaluation.
    float dx = slx - srx, dy = sly - sry;
    e.sitzknochenabstand = sqrtf(dx * dx + dy * dy);
    if (!std::isfinite(e.sitzknochenabstand)) {
        dbld_dbg_msg("Sitzknochenabstand nicht endlich.\n");
        e.sitzknochenabstand = -1;
    }
    dbld_dbg_msg("SkA nach Schwerpunktkorrektur: %.1f cm\n", e.sitzknochenabstand);

    ACHSE achse = achse_suchen(links, bild, slx, sly, 2 * bl);
    ellipse_bauen(&e.ellipse_links, links, slx, sly, bl, achse.w_max);
    int w_links = achse.w_max - 90;
    e.sitzknochenwinkel_links = (float)w_links;
    dbld_dbg_msg("l = %.1f cm; Yw_links = %d\xb0\n", (float)achse.n_max * dl, w_links);

    achse = achse_suchen(rechts, bild, srx, sry, 2 * br);
    ellipse_bauen(&e.ellipse_rechts, rechts, srx, sry, br, achse.w_max);
    int w_rechts = 90 - achse.w_max;
    e.sitzknochenwinkel_rechts = (float)w_rechts;
    dbld_dbg_msg("l = %.1f cm; Yw_rechts = %d\xb0\n", (float)achse.n_max * dl, w_rechts);

    dbld_dbg_msg("YWinkel = %d + %d = %d\xb0\n", w_links, w_rechts, w_links + w_rechts);
    e.sitzknochenwinkel = (float)(w_links + w_rechts);
    return 1;
}

} // namespace

int DBLD_auswertung_stdplus(AUSWERTUNGSERGEBNIS* ergebnis, const DBLD* dbld)
{
    return auswertung_stdplus(ergebnis, dbld->dbld, dbld->n_rows, dbld->n_cols);
}
