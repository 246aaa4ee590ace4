// Pelvic rotation: a process-wide log of points on the mat (usually the
// centres of pressure of successive images) and the figure fitted to them.
//
// The figure is built from two lines: the side line g1 through the means of
// the left and the right half of the cloud, and the axis g2 through the means
// of the points in front of and behind g1.  Each extreme point mirrors the
// centre through a group mean along x and projects it onto its line; the
// parallelogram has sides parallel to g1 and g2 through the extreme points.
//
// Precision: every result field is single precision and later steps read the
// stored float; sums, means and line parameters are double.  The order of
// the operations below is part of the result and must not be rearranged.
#include "dbld.h"
#include "dbld_intern.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <mutex>

namespace {

struct POINT {
    double x;
    double y;
};

// A straight line y = a * x + b; a slope of +inf marks the vertical line at x.
struct FNDEF {
    double a;
    double b;
    double x;
};

constexpr int max_points = 600;

// The log: a ring of max_points points, next_point is the slot the next point
// fills, n_points the number of valid points.  logging is 1 while a recording
// is open.
POINT points[max_points];
POINT* next_point = points;
int n_points = 0;
int logging = 0;

// Latest fit and its code (1 until a fit has completed).
OVAL beckenrotation;
int rc_analyse = 1;

// Guards the log, the recording flag and the latest fit: BROT_log,
// BROT_result and BROT_json_result each hold it for the whole of their
// work, so that calls from several threads never see the ring pointer
// between its advance and its wrap, nor a fit half written.  Interleaved
// recordings still share the one log and mix their points.
std::mutex sperre;

// The points of the JSON text, in their order.
struct JSON_NAME {
    char name[20];
    MATTENPUNKT* point;
};
const JSON_NAME json_names[] = {
    {"center", &beckenrotation.center}, {"left", &beckenrotation.left},
    {"front", &beckenrotation.front},   {"right", &beckenrotation.right},
    {"rear", &beckenrotation.rear},     {"c1", &beckenrotation.c1},
    {"c2", &beckenrotation.c2},         {"c3", &beckenrotation.c3},
    {"c4", &beckenrotation.c4},
};

bool vertikal(const FNDEF* g)
{
    return g->a == INFINITY;
}

// The line's y at x; for a vertical line *y_deflt, or +inf with a message
// when no default is given.
double fn(const FNDEF* g, double x, const double* y_deflt)
{
    if (!vertikal(g))
        return g->a * x + g->b;
    if (y_deflt)
        return *y_deflt;
    dbld_err_msg("Funktion kann nicht berechnet werden: a==Inf und y nicht angegeben");
    return INFINITY;
}

// Line of slope s through the stored point p (a vertical line at p.x for
// s = +inf).
FNDEF gerade_durch(double s, const MATTENPUNKT& p)
{
    FNDEF g = {s, 0.0, 0.0};
    if (vertikal(&g))
        g.x = p.x;
    else
        g.b = p.y - s * p.x;
    return g;
}

// x of the intersection of the line g1 (parallel to the side line, never
// vertical) with g2.
double schnitt_x(const FNDEF* g1, const FNDEF* g2)
{
    if (vertikal(g2))
        return g2->x;
    return (g2->b - g1->b) / (g1->a - g2->a);
}

// Corner on g1 (finite slope) and g2; its y is g1 at the unrounded x.
void ecke(MATTENPUNKT* c, const FNDEF* g1, const FNDEF* g2)
{
    double x = schnitt_x(g1, g2);
    c->x = (float)x;
    c->y = (float)fn(g1, x, nullptr);
}

// Fits the figure to points[0 .. n_points-1] into *br field by field and
// returns the result code; a fit that stops early leaves the later fields
// as they were.
int anpassen(OVAL* br)
{
    const int n = n_points;
    if (n == 0)
        return 1;

    // Centre: running sums added in double, kept in float.
    float sum_x = 0.0f, sum_y = 0.0f;
    for (int i = 0; i < n; ++i) {
        sum_x = (float)(sum_x + points[i].x);
        sum_y = (float)(sum_y + points[i].y);
    }
    br->center.x = sum_x / (float)n;
    br->center.y = sum_y / (float)n;

    // Left and right group.
    double sl_x = 0.0, sl_y = 0.0, sr_x = 0.0, sr_y = 0.0;
    int nl = 0, nr = 0;
    for (int i = 0; i < n; ++i) {
        if (points[i].x <= (double)br->center.x) {
            sl_x += points[i].x;
            sl_y += points[i].y;
            ++nl;
        } else {
            sr_x += points[i].x;
            sr_y += points[i].y;
            ++nr;
        }
    }
    if (nl == 0 || nr == 0)
        return 1;
    const double ml_x = sl_x / nl, ml_y = sl_y / nl;
    const double mr_x = sr_x / nr, mr_y = sr_y / nr;
    if (ml_x == mr_x)
        return 2;

    // Side line through both means, and the side points on it.  Means a
    // hair apart in x under a far larger difference in y give no slope of
    // double range: no figure either.
    FNDEF g1 = {0.0, 0.0, 0.0};
    g1.a = (ml_y - mr_y) / (ml_x - mr_x);
    if (!std::isfinite(g1.a))
        return 1;
    g1.b = mr_y - g1.a * mr_x;
    br->left.x = (float)(2.0 * ml_x - br->center.x);
    br->left.y = (float)fn(&g1, br->left.x, nullptr);
    br->right.x = (float)(2.0 * mr_x - br->center.x);
    br->right.y = (float)fn(&g1, br->right.x, nullptr);

    // Front group: strictly above the side line; the rest is the rear group.
    double so_x = 0.0, so_y = 0.0, su_x = 0.0, su_y = 0.0;
    int no = 0, nu = 0;
    for (int i = 0; i < n; ++i) {
        if (points[i].y > fn(&g1, points[i].x, nullptr)) {
            so_x += points[i].x;
            so_y += points[i].y;
            ++no;
        } else {
            su_x += points[i].x;
            su_y += points[i].y;
            ++nu;
        }
    }
    if (no == 0 || nu == 0)
        return 1;
    const double mo_x = so_x / no, mo_y = so_y / no;
    const double mu_x = su_x / nu, mu_y = su_y / nu;

    // Axis through both means; vertical when they share their x.
    FNDEF g2 = {0.0, 0.0, 0.0};
    g2.a = (mo_y - mu_y) / (mo_x - mu_x);
    // The front mean lies above the side line and the rear mean on or below
    // it, so the axis crosses the side line.  An axis parallel to it (or one
    // falling steeply, or none at all) comes only from a cloud that lies on
    // the side line and was split by rounding, such as any two points: the
    // front group is empty in truth, and the parallelogram would have no
    // corners (NaN and infinite fields reported as a complete fit).
    if (!(vertikal(&g2) || std::isfinite(g2.a)) || g2.a == g1.a)
        return 1;
    if (vertikal(&g2))
        g2.x = mo_x;
    else
        g2.b = mu_y - g2.a * mu_x;
    br->front.x = (float)(2.0 * mo_x - br->center.x);
    br->front.y = (float)fn(&g2, br->front.x, &mo_y);
    br->rear.x = (float)(2.0 * mu_x - br->center.x);
    br->rear.y = (float)fn(&g2, br->rear.x, &mu_y);

    // Sides of the parallelogram and its corners.
    const FNDEF g1o = gerade_durch(g1.a, br->front);
    const FNDEF g1u = gerade_durch(g1.a, br->rear);
    const FNDEF g2l = gerade_durch(g2.a, br->left);
    const FNDEF g2r = gerade_durch(g2.a, br->right);
    ecke(&br->c1, &g1o, &g2l);
    ecke(&br->c2, &g1o, &g2r);
    ecke(&br->c3, &g1u, &g2r);
    ecke(&br->c4, &g1u, &g2l);

    br->width = 10.0f * (std::max(br->c2.x, br->c3.x) - std::min(br->c1.x, br->c4.x));
    br->height = 10.0f * (std::max(br->c1.y, br->c2.y) - std::min(br->c3.y, br->c4.y));
    return 0;
}

bool endlich(const MATTENPUNKT& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// Every field of the figure finite.
bool endlich(const OVAL& o)
{
    for (const MATTENPUNKT* p : {&o.center, &o.left, &o.front, &o.right, &o.rear, &o.c1, &o.c2,
                                 &o.c3, &o.c4})
        if (!endlich(*p))
            return false;
    return std::isfinite(o.width) && std::isfinite(o.height);
}

// The fit of the log into beckenrotation and rc_analyse.  Points near the
// ends of the float range can make sums, mirrored points or corners
// overflow: a fit that would store an infinite or NaN field reports no
// figure (code 1) and leaves the whole record as it was, so that neither
// the record nor its JSON text ever holds such a value.
void analyse()
{
    OVAL neu = beckenrotation;
    const int rc = anpassen(&neu);
    if (!endlich(neu)) {
        rc_analyse = 1;
        return;
    }
    beckenrotation = neu;
    rc_analyse = rc;
}

// A report closes an open recording and fits the figure to it.
void aufnahme_abschliessen()
{
    if (logging == 1) {
        logging = 0;
        analyse();
    }
}

// Appends one piece of JSON text at *pos: false when less than two bytes
// would be left behind it (the text does not fit).
bool json_stueck(char** pos, size_t* rest, int* laenge, int n)
{
    if (n < 0 || (size_t)n + 1 >= *rest)
        return false;
    *pos += n;
    *rest -= (size_t)n;
    *laenge += n;
    return true;
}

} // namespace

int BROT_log(double x, double y)
{
    // A point that is not finite in single precision would poison every
    // fit of the recording.
    if (!dbld_intern::float_endlich(x) || !dbld_intern::float_endlich(y))
        return 0;
    std::lock_guard<std::mutex> gesperrt(sperre);
    if (logging == 0) {
        n_points = 0;
        next_point = points;
        logging = 1;
    }
    next_point->x = x;
    next_point->y = y;
    if (++next_point > &points[max_points - 1])
        next_point = points;
    if (n_points < max_points)
        ++n_points;
    return n_points;
}

int BROT_logcop(const DBLD* dbld)
{
    double x, y;
    if (DBLD_auswertung_cop(&x, &y, dbld) == 0)
        return 0;
    return BROT_log(x, y);
}

int BROT_result(OVAL* p_beckenrotation)
{
    std::lock_guard<std::mutex> gesperrt(sperre);
    aufnahme_abschliessen();
    *p_beckenrotation = beckenrotation;
    return rc_analyse;
}

int BROT_json_result(char* jbr, size_t size)
{
    std::lock_guard<std::mutex> gesperrt(sperre);
    aufnahme_abschliessen();
    if (jbr == nullptr || size == 0)
        return 0;

    char* pos = jbr;
    size_t rest = size;
    int laenge = 0;
    int n = snprintf(pos, rest, "{\"ok\": \"%s\", \"code\": %d, \"width\": %.3f, \"height\": %.3f",
                     rc_analyse == 0 ? "true" : "false", rc_analyse,
                     (double)beckenrotation.width, (double)beckenrotation.height);
    if (!json_stueck(&pos, &rest, &laenge, n))
        return 0;
    for (const JSON_NAME& zeile : json_names) {
        n = snprintf(pos, rest, ", \"%s\": {\"x\": %.3f, \"y\": %.3f}", zeile.name,
                     (double)zeile.point->x, (double)zeile.point->y);
        if (!json_stueck(&pos, &rest, &laenge, n))
            return 0;
    }
    // At least two bytes are left: the closing brace and the NUL.
    pos[0] = '}';
    pos[1] = '\0';
    return laenge + 1;
}
