// The evaluations as first written, point by point: the cleaning walks the
// ring of every cell, every sample of the extended evaluation goes through
// DBLD_dbldvalsq on a record made with DBLD_init, and every diagnostic line
// is formatted whatever the log level; a value that comes out not finite is
// tested where it is made and replaced as the evaluations replace it.  The library's evaluations must give
// exactly the same records and the same diagnostics; the tests compare them
// against this copy, the benchmarks measure against it.
#include "referenz_auswertung.h"

#include "druckmessung/dbld_speicher.h"
#include "druckmessung/dbld_winkeltabellen.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace referenz {

namespace {

const int min_n = 3;
const int min_z = 2;

// Tests the neighbour (r, c) of cell (i_y, i_x); copies the cell into
// bereinigt and returns 1 once the cell qualifies.
int teste_nachbar(int* bereinigt, const int* ursprung, int n_x, int i_y, int i_x,
                  int r, int c, int* z, int* was_n, int* n)
{
    if (ursprung[(long)r * n_x + c] < 1) {
        *z = 0;
        *was_n = 0;
        return 0;
    }
    ++*n;
    if (*was_n) {
        ++*z;
    } else {
        *z = 1;
        *was_n = 1;
    }
    if (*n >= min_n || *z >= min_z) {
        long i = (long)i_y * n_x + i_x;
        bereinigt[i] = ursprung[i];
        return 1;
    }
    return 0;
}

// Walks the eight neighbours of one cell in ring order (below left to right,
// right, above right to left, left); a missing row or column breaks the run.
void zelle_bereinigen(int* bereinigt, const int* ursprung, int n_y, int n_x,
                      int i_y, int i_x)
{
    int n = 0, z = 0, was_n = 0;
    auto test = [&](int r, int c) {
        return teste_nachbar(bereinigt, ursprung, n_x, i_y, i_x, r, c, &z, &was_n, &n);
    };
    auto bruch = [&] { z = 0; was_n = 0; };

    if (i_y + 1 < n_y) {
        for (int c = i_x - 1; c <= i_x + 1; ++c)
            if (c >= 0 && c < n_x && test(i_y + 1, c))
                return;
    } else {
        bruch();
    }
    if (i_x + 1 < n_x) {
        if (test(i_y, i_x + 1))
            return;
    } else {
        bruch();
    }
    if (i_y - 1 >= 0) {
        for (int c = i_x + 1; c >= i_x - 1; --c)
            if (c >= 0 && c < n_x && test(i_y - 1, c))
                return;
    } else {
        bruch();
    }
    if (i_x - 1 >= 0)
        test(i_y, i_x - 1);
}

int auswertung_std_feld(AUSWERTUNGSERGEBNIS* ergebnis, const int* druckbild, int n_y, int n_x)
{
    dbld_dbg_msg("Standardauswertung\n");
    long n = (long)n_y * n_x;
    dbld_speicher::C_BLOCK<int[]> bereinigt((int*)calloc(n > 0 ? (size_t)n : 1, sizeof(int)));
    if (!bereinigt)
        return 0;
    druckbild_bereinigen(bereinigt.get(), druckbild, n_y, n_x);

    AUSWERTUNG_STD& e = ergebnis->std;
    float r1 = -1, c1 = -1, r2 = -1, c2 = -1;
    long long g1 = 0, g2 = 0;
    // A centroid that is not finite counts as missing; its weight counts.
    if (schwerpunkt_seite(&r1, &c1, &g1, bereinigt.get(), n_y, n_x, links) &&
        !(std::isfinite(r1) && std::isfinite(c1))) {
        dbld_dbg_msg("Schwerpunkt links nicht endlich.\n");
        r1 = c1 = -1;
    }
    e.schwerpunkt1.x = c1;
    e.schwerpunkt1.y = r1;
    if (schwerpunkt_seite(&r2, &c2, &g2, bereinigt.get(), n_y, n_x, rechts) &&
        !(std::isfinite(r2) && std::isfinite(c2))) {
        dbld_dbg_msg("Schwerpunkt rechts nicht endlich.\n");
        r2 = c2 = -1;
    }
    e.schwerpunkt2.x = c2;
    e.schwerpunkt2.y = r2;

    if (r1 >= 0 && c1 >= 0 && r2 >= 0 && c2 >= 0) {
        float dr = r1 - r2, dc = c1 - c2;
        e.sitzknochenabstand = sqrtf(dr * dr + dc * dc);
        if (!std::isfinite(e.sitzknochenabstand)) {
            dbld_dbg_msg("Sitzknochenabstand nicht endlich.\n");
            e.sitzknochenabstand = -1;
        }
        float a1 = (float)g2 / (float)(g1 + g2);
        e.schwerpunkt.x = c1 + (c2 - c1) * a1;
        e.schwerpunkt.y = r1 + (r2 - r1) * a1;
        if (!(std::isfinite(e.schwerpunkt.x) && std::isfinite(e.schwerpunkt.y))) {
            dbld_dbg_msg("Gemeinsamer Schwerpunkt nicht endlich.\n");
            e.schwerpunkt.x = -1;
            e.schwerpunkt.y = -1;
        }
    } else {
        e.sitzknochenabstand = -1;
        e.schwerpunkt.x = -1;
        e.schwerpunkt.y = -1;
    }

    if (g1 > 0 || g2 > 0) {
        float summe = (float)(g1 + g2);
        e.gewicht1 = 100.0f * (float)g1 / summe;
        e.gewicht2 = 100.0f * (float)g2 / summe;
        if (!(std::isfinite(e.gewicht1) && std::isfinite(e.gewicht2))) {
            dbld_dbg_msg("Gewichte nicht endlich.\n");
            e.gewicht1 = -1;
            e.gewicht2 = -1;
        }
    } else {
        e.gewicht1 = -1;
        e.gewicht2 = -1;
    }
    return 1;
}

} // namespace

void druckbild_bereinigen(int* bereinigt, const int* ursprung, int n_y, int n_x)
{
    for (int i_y = 0; i_y < n_y; ++i_y)
        for (int i_x = 0; i_x < n_x; ++i_x) {
            long i = (long)i_y * n_x + i_x;
            bereinigt[i] = 0;
            if (ursprung[i] != 0)
                zelle_bereinigen(bereinigt, ursprung, n_y, n_x, i_y, i_x);
        }
}

bool schwerpunkt_seite(float* r, float* c, long long* g, const int* bereinigt,
                       int n_y, int n_x, SEITE seite)
{
    int h = n_x / 2;
    int x0 = seite == links ? 0 : h;
    int xn = seite == links ? h : n_x;
    bool gefunden = false;
    float fr = 0, fc = 0;
    long long fg = 0;
    for (int zeile = 0; zeile < n_y; ++zeile)
        for (int spalte = x0; spalte < xn; ++spalte) {
            int v = bereinigt[(long)zeile * n_x + spalte];
            if (v == 0)
                continue;
            if (!gefunden) {
                gefunden = true;
                fr = (float)zeile;
                fc = (float)spalte;
                fg = v;
                continue;
            }
            float f = (float)fg / (float)v + 1;
            fr = fr + ((float)zeile - fr) / f;
            fc = fc + ((float)spalte - fc) / f;
            fg += v;
        }
    if (!gefunden)
        return false;
    *r = fr;
    *c = fc;
    *g = fg;
    return true;
}

namespace {

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
// precision, then rounded to float.
float bogenmass(int grad)
{
    return (float)(grad * pi / 180);
}

// Cosine, sine and tangent of bogenmass(grad) in single precision: the
// evaluation's constants, not the maths library's.
const dbld_winkel::GRADWINKEL& grad_winkel(int grad)
{
    return dbld_winkel::grad[grad - dbld_winkel::GRAD_MIN];
}

// Radius of the pressure plateau around (mx, my): rings from MIN_R outwards,
// 36 samples each, until a ring holds no pressure or its average drops
// below LIMIT of the highest value seen so far while not holding that value
// itself.  Past MAX_R the first radius beyond it is returned.
float innenkreisradius(const DBLD* dbld, float mx, float my)
{
    const float MIN_R = 0.5f;
    const float MAX_R = 3.0f;
    const float STEP_R = 0.05f;
    const int STEP_GRD = 10;
    const float STEP_RAD = (float)(STEP_GRD * pi / 180);
    const float LIMIT = 0.85f;

    dbld_dbg2_msg("Kreisanalyse um x=%.1f, y=%.1f\n", mx, my);
    float min = 255, max = 0;
    float r = MIN_R;
    for (; r <= MAX_R; r += STEP_R) {
        float min_k = 255, max_k = 0, sum_k = 0;
        int n_gz = 0;
        float w = 0;
        // The cosines and sines of the ring angles from the evaluation's
        // table (whose angles are this loop's, checked by the Mathe tests).
        for (int i = 0; 2 * pi - (double)w > 0.01; ++i) {
            float x = mx + dbld_winkel::ring[i].cos_w * r;
            float y = my + dbld_winkel::ring[i].sin_w * r;
            float val = DBLD_dbldvalsq(dbld, x, y);
            // Degrees for the message: w * 180 in float, then divided by pi
            // in double (ordinary C promotion).
            dbld_dbg2_msg("r=%4.1f w=%2.0f\xb0 => x=%.1f;y=%.1f => val=%.0f\n", r,
                          w * 180 / pi, x, y, val);
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
            w += STEP_RAD;
        }
        if (n_gz == 0)
            return r;

        float avg_k = sum_k / (float)n_gz;
        bool im_plateau = max == max_k || avg_k / max >= LIMIT;
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
void kreisschwerpunkt(float* sx, float* sy, const DBLD* dbld, float x0, float y0, float r)
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
        for (double y = y_von; y <= y_bis; y += 0.5) {
            double dx = x - x0, dy = y - y0;
            float d2 = (float)(dx * dx + dy * dy);
            if (sqrtf(d2) > r)
                continue;
            float v = DBLD_dbldvalsq(dbld, (float)x, (float)y);
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
    *sx = (float)fsx;
    *sy = (float)fsy;
    if (!(std::isfinite(*sx) && std::isfinite(*sy))) {
        dbld_dbg_msg("Kreisschwerpunkt nicht endlich.\n");
        *sx = x0;
        *sy = y0;
    }
}

// Moves (sx0, sy0) to the centroid of the circle of radius r around it until
// it moves less than 0.05.  Returns the number of steps and the settled
// position, or -1 (position untouched) when MAX_Z circles do not suffice.
int schwerpunktkorrektur(float* sx, float* sy, const DBLD* dbld, float sx0, float sy0, float r)
{
    const int MAX_Z = 20;
    float sx2 = sx0, sy2 = sy0;
    int i = 0;
    for (; i < MAX_Z; ++i) {
        kreisschwerpunkt(&sx2, &sy2, dbld, sx0, sy0, r);
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

// Axis weight of the line through (sx, sy) in direction w (degrees): the
// pressure samples, truncated to whole numbers, at steps of dl from the
// centre in both directions, each half ending at its first empty sample or
// after about max_r.  The centre sample counts in both halves.  *n gets the
// number of samples taken.
float gewicht(SEITE seite, int* n, const DBLD* dbld, int w, float sx, float sy, float dl,
              float max_r)
{
    float rad = bogenmass(w);
    float k = grad_winkel(w).tan_w;
    // Capped so that both halves together still count in an int.
    int MAX_Nh = auf_int(roundf(max_r / dl));
    if (MAX_Nh > INT_MAX / 2 - 1)
        MAX_Nh = INT_MAX / 2 - 1;
    float dx = sqrtf(dl * dl / (1 + k * k));

    int n1 = 0;
    float g1 = 0;
    for (float x = sx; n1 <= MAX_Nh; x += dx) {
        int v = auf_int(DBLD_dbldvalsq(dbld, x, (x - sx) * k + sy));
        if (v == 0)
            break;
        g1 += (float)v;
        n1 += 1;
    }
    int n2 = 0;
    float g2 = 0;
    for (float x = sx; n2 <= MAX_Nh; x -= dx) {
        int v = auf_int(DBLD_dbldvalsq(dbld, x, (x - sx) * k + sy));
        if (v == 0)
            break;
        g2 += (float)v;
        n2 += 1;
    }
    *n = n1 + n2;

    // The angle shown is the sit-bone angle: rad * 180 in float, divided by
    // pi in double (ordinary C promotion).  A zero count shows as nan/inf.
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

// Direction of the heaviest axis through (sx, sy): left side 105..145
// degrees ascending, right side 75..35 descending.  Among equal weights the
// first angle searched (the smallest sit-bone angle) wins.
ACHSE achse_suchen(SEITE seite, const DBLD* dbld, float sx, float sy, float max_r)
{
    const int YW2_MIN = 15;
    const int YW2_MAX = 55;
    float g_max = -1;
    ACHSE achse = {-1, -1};
    auto pruefen = [&](int w) {
        int n = 0;
        float g = gewicht(seite, &n, dbld, w, sx, sy, dl, max_r);
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
    float ux = grad_winkel(w).cos_w, uy = grad_winkel(w).sin_w;
    float vx = grad_winkel(w - 90).cos_w, vy = grad_winkel(w - 90).sin_w;

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

int auswertung_stdplus_feld(AUSWERTUNGSERGEBNIS* ergebnis, const int* druckbild, int n_y, int n_x)
{
    dbld_dbg_msg("Erweiterte Standardauswertung\n");
    long n = (long)n_y * n_x;
    dbld_speicher::C_BLOCK<int[]> bereinigt((int*)calloc(n > 0 ? (size_t)n : 1, sizeof(int)));
    if (!bereinigt)
        return 0;
    druckbild_bereinigen(bereinigt.get(), druckbild, n_y, n_x);

    // A side without pressure keeps the centroid (0, 0), and so does a side
    // whose centroid is not finite.
    float slx = 0, sly = 0, srx = 0, sry = 0;
    long long g_unbenutzt = 0;
    schwerpunkt_seite(&sly, &slx, &g_unbenutzt, bereinigt.get(), n_y, n_x, links);
    if (!(std::isfinite(slx) && std::isfinite(sly))) {
        dbld_dbg_msg("Schwerpunkt links nicht endlich.\n");
        slx = sly = 0;
    }
    dbld_dbg_msg("Schwerpunkt links: x=%.1f; y=%.1f\n", slx, sly);
    schwerpunkt_seite(&sry, &srx, &g_unbenutzt, bereinigt.get(), n_y, n_x, rechts);
    if (!(std::isfinite(srx) && std::isfinite(sry))) {
        dbld_dbg_msg("Schwerpunkt rechts nicht endlich.\n");
        srx = sry = 0;
    }
    dbld_dbg_msg("Schwerpunkt rechts: x=%.1f; y=%.1f\n", srx, sry);

    dbld_speicher::DBLD_BLOCK dbld(DBLD_init(bereinigt.get(), n_y, n_x));
    if (!dbld)
        return 0;

    float bl = innenkreisradius(dbld.get(), slx, sly);
    float br = innenkreisradius(dbld.get(), srx, sry);
    dbld_dbg_msg("Innenkreisradien: links=%.1f cm; rechts=%.1f cm\n", bl, br);

    int schritte = schwerpunktkorrektur(&slx, &sly, dbld.get(), slx, sly, 2 * bl);
    if (schritte < 0)
        dbld_dbg_msg("Schwerpunktkorrektur links divergiert.\n");
    else
        dbld_dbg_msg("Schwerpunktkorrektur links nach %d Schritten auf (%2.2f; %2.2f)\n",
                     schritte, slx, sly);
    schritte = schwerpunktkorrektur(&srx, &sry, dbld.get(), srx, sry, 2 * br);
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

    float dx = slx - srx, dy = sly - sry;
    e.sitzknochenabstand = sqrtf(dx * dx + dy * dy);
    if (!std::isfinite(e.sitzknochenabstand)) {
        dbld_dbg_msg("Sitzknochenabstand nicht endlich.\n");
        e.sitzknochenabstand = -1;
    }
    dbld_dbg_msg("SkA nach Schwerpunktkorrektur: %.1f cm\n", e.sitzknochenabstand);

    ACHSE achse = achse_suchen(links, dbld.get(), slx, sly, 2 * bl);
    ellipse_bauen(&e.ellipse_links, links, slx, sly, bl, achse.w_max);
    int w_links = achse.w_max - 90;
    e.sitzknochenwinkel_links = (float)w_links;
    dbld_dbg_msg("l = %.1f cm; Yw_links = %d\xb0\n", (float)achse.n_max * dl, w_links);

    achse = achse_suchen(rechts, dbld.get(), srx, sry, 2 * br);
    ellipse_bauen(&e.ellipse_rechts, rechts, srx, sry, br, achse.w_max);
    int w_rechts = 90 - achse.w_max;
    e.sitzknochenwinkel_rechts = (float)w_rechts;
    dbld_dbg_msg("l = %.1f cm; Yw_rechts = %d\xb0\n", (float)achse.n_max * dl, w_rechts);

    dbld_dbg_msg("YWinkel = %d + %d = %d\xb0\n", w_links, w_rechts, w_links + w_rechts);
    e.sitzknochenwinkel = (float)(w_links + w_rechts);
    return 1;
}

} // namespace

int auswertung_std(AUSWERTUNGSERGEBNIS* ergebnis, const DBLD* dbld)
{
    return auswertung_std_feld(ergebnis, dbld->dbld, dbld->n_rows, dbld->n_cols);
}

int auswertung_stdplus(AUSWERTUNGSERGEBNIS* ergebnis, const DBLD* dbld)
{
    return auswertung_stdplus_feld(ergebnis, dbld->dbld, dbld->n_rows, dbld->n_cols);
}

int auswertung_cop(double* px, double* py, const DBLD* dbld)
{
    *px = -1.0;
    *py = -1.0;
    // 64-bit running weight: sums of values a Tcl int carries cannot overflow.
    long long g = 0;
    const int n_cols = dbld->n_cols;
    for (int iy = dbld->n_rows - 1; iy >= 0; --iy)
        for (int ix = 0; ix < n_cols; ++ix) {
            long i = (long)iy * n_cols + ix;
            int v = dbld->dbld[i];
            if (dbld->mask[i] != 0 || v == 0)
                continue;
            if (g == 0) {
                // First counted cell, or the running weight has come back to 0
                // through negative values: start again at this cell.
                *px = ix;
                *py = iy;
                g = v;
                continue;
            }
            g += v;
            if (g == 0)
                continue; // negative weights cancelled: no move, no division by 0
            *px = *px + (ix - *px) * v / (double)g;
            *py = *py + (iy - *py) * v / (double)g;
        }
    if (!(std::isfinite(*px) && std::isfinite(*py))) {
        dbld_dbg_msg("Druckmittelpunkt nicht endlich.\n");
        *px = -1.0;
        *py = -1.0;
    }
    return *px > 0 ? 1 : 0;
}

} // namespace referenz
