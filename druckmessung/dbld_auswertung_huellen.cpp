// Hull evaluation: the outline of each side's pressure region on a raster
// finer than the mat's cells.
//
// Each cell is divided into n_rasterpunkte x n_rasterpunkte raster points
// and sampled by interpolation, three raster rows at a time.  Points where
// the pressure crosses huelle_bei_prozent percent of the side's highest
// value are the transitions; a gift-wrap search with a pseudo-angle walks
// around them and keeps the outer ones as the hull.  The hull goes to the
// log in polar form, to standard output as a gnuplot listing, and to the
// caller in cell units.
#include "dbld.h"
#include "dbld_huellen_intern.h"
#include "dbld_intern.h"
#include "dbld_speicher.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <utility>

int huelle_bei_prozent = 75;
int n_rasterpunkte = 8;

namespace dbld_huellen_intern {

UEBERGAENGE* uebergaenge_new(int n)
{
    if (n < 1 || n > INT_MAX / 100)
        return nullptr;
    UEBERGAENGE* u = (UEBERGAENGE*)calloc(1, sizeof(UEBERGAENGE));
    if (!u)
        return nullptr;
    u->max = 100 * n;
    u->punkte = (PUNKT*)calloc((size_t)u->max, sizeof(PUNKT));
    u->huelle = (PPUNKT*)calloc((size_t)u->max, sizeof(PPUNKT));
    if (!u->punkte || !u->huelle) {
        uebergaenge_delete(&u);
        return nullptr;
    }
    u->x_offset = 0;
    u->n_punkte = 0;
    u->n_huelle = 0;
    u->x_min = u->x_max = u->y_min = u->y_max = -1;
    return u;
}

void uebergaenge_delete(UEBERGAENGE** uebergaenge)
{
    if (!uebergaenge || !*uebergaenge)
        return;
    free((*uebergaenge)->punkte);
    free((*uebergaenge)->huelle);
    free(*uebergaenge);
    *uebergaenge = nullptr;
}

bool uebergaenge_append(UEBERGAENGE* u, int x, int y)
{
    // The last slot stays free for the hull search's copy of its start.
    if (u->n_punkte >= u->max - 1) {
        dbld_err_msg("Zu viele \xdc" "berg\xe4nge.\n");
        return false;
    }
    u->punkte[u->n_punkte] = PUNKT{x, y};
    if (u->n_punkte == 0) {
        u->x_min = u->x_max = x;
        u->y_min = u->y_max = y;
    } else {
        if (x < u->x_min)
            u->x_min = x;
        if (y < u->y_min)
            u->y_min = y;
        if (x > u->x_max)
            u->x_max = x;
        if (y > u->y_max)
            u->y_max = y;
    }
    ++u->n_punkte;
    return true;
}

namespace {

// Column numbers x_min .. x_max (modulo 100 after the first).
void plot_kopf(const UEBERGAENGE* u)
{
    dbld_log_msg("\n    %3d", u->x_min);
    for (int x = u->x_min + 1; x <= u->x_max; ++x)
        dbld_log_msg("%2d", x % 100);
}

} // namespace

void uebergaenge_plot(const UEBERGAENGE* u)
{
    if (u->n_punkte == 0)
        return;
    plot_kopf(u);
    int zeile = u->y_max;
    int spalte = u->x_min;
    dbld_log_msg("\n%3d: ", zeile);
    for (int i = 0; i < u->n_punkte; ++i) {
        const PUNKT& p = u->punkte[i];
        if (p.y < zeile) {
            while (p.y < zeile) {
                --zeile;
                dbld_log_msg("\n%3d: ", zeile);
            }
            spalte = u->x_min;
        }
        for (; spalte < p.x; ++spalte)
            dbld_log_msg("  ");
        dbld_log_msg(" *");
        ++spalte;
    }
    plot_kopf(u);
    dbld_log_msg("\n");
}

float theta(PUNKT p1, PUNKT p2)
{
    long long dx = (long long)p2.x - p1.x;
    long long dy = (long long)p2.y - p1.y;
    long long summe = std::llabs(dx) + std::llabs(dy);
    float t = summe == 0 ? 0.0f : (float)dy / (float)summe;
    if (dx < 0)
        t = 2.0f - t;
    else if (dy < 0)
        t = t + 4.0f;
    dbld_dbg2_msg("W([%d,%d][%d,%d])=%3.0f\xb0;", p1.x, p1.y, p2.x, p2.y, 90.0f * t);
    return 90.0f * t;
}

namespace {

const float pi = 3.14159265358979323846f;

// Polar form of the hull points around the centre, then each distance as
// its deviation from the mean distance.
void polarform(UEBERGAENGE* u)
{
    const float n = (float)n_rasterpunkte;
    float summe = 0;
    for (int i = 0; i < u->n_huelle; ++i) {
        float x = ((float)u->punkte[i].x - u->mitte.x) / n;
        float y = ((float)u->punkte[i].y - u->mitte.y) / n;
        float d = sqrtf(x * x + y * y);
        float w;
        if (x != 0) {
            w = atanf(y / x);
            if (x < 0)
                w += pi;
            else if (y < 0)
                w += 2.0f * pi;
        } else if (y > 0) {
            w = pi / 2.0f;
        } else if (y < 0) {
            w = 3.0f * pi / 2.0f;
        } else {
            w = 0;
        }
        u->huelle[i].w = w;
        u->huelle[i].d = d;
        summe += d;
    }
    if (u->n_huelle == 0)
        return;
    float mittel = summe / (float)u->n_huelle;
    for (int i = 0; i < u->n_huelle; ++i) {
        u->huelle[i].d -= mittel;
        dbld_dbg_msg("%3.2f %5.2f\n", u->huelle[i].w, u->huelle[i].d);
    }
}

// The hull list p[0] .. p[n_huelle - 1] in cell units, in an array the
// caller owns.
void huelle_uebergeben(HUELLE* huelle, const UEBERGAENGE* u)
{
    huelle->n_punkte = 0;
    huelle->punkte = nullptr;
    if (u->n_huelle == 0)
        return;
    MATTENPUNKT* punkte = (MATTENPUNKT*)malloc((size_t)u->n_huelle * sizeof(MATTENPUNKT));
    if (!punkte) {
        dbld_err_msg("Zu wenig Speicher f\xfcr die H\xfclle.\n");
        return;
    }
    const float n = (float)n_rasterpunkte;
    for (int i = 0; i < u->n_huelle; ++i) {
        punkte[i].x = (float)((long long)u->punkte[i].x + u->x_offset) / n;
        punkte[i].y = (float)u->punkte[i].y / n;
    }
    huelle->punkte = punkte;
    huelle->n_punkte = u->n_huelle;
}

} // namespace

int uebergaenge_wrap(HUELLE* huelle, UEBERGAENGE* u)
{
    PUNKT* p = u->punkte;
    const int N = u->n_punkte;
    if (N == 0) {
        u->n_huelle = 0;
        if (huelle)
            huelle_uebergeben(huelle, u);
        return 0;
    }

    // Start: the lowest point, the first of equals; its copy in the free slot.
    int i_min = 0;
    for (int i = 1; i < N; ++i)
        if (p[i].y < p[i_min].y)
            i_min = i;
    p[N] = p[i_min];
    float v = 0, th = 0;

    int M = 0;
    for (;; ++M) {
        dbld_dbg2_msg("\n");
        dbld_dbg_msg("i_min =%4d, x=%d, y=%d, v=%3.0f, th=%3.0f, n_huelle=%3d\n", i_min,
                     p[i_min].x, p[i_min].y, v, th, M);
        std::swap(p[M], p[i_min]);
        i_min = N;
        v = th;
        th = 360;
        // The next hull point: the smallest direction above the last one.
        for (int i = M + 1; i < N; ++i) {
            float t = theta(p[M], p[i]);
            if (t > v && t < th) {
                i_min = i;
                th = theta(p[M], p[i]);
            }
        }
        if (i_min == N)
            break;
    }
    u->n_huelle = M;
    dbld_dbg_msg("\nAbbruch: i_min =%4d, x=%d, y=%d, v=%3.0f, th=%3.0f, n_huelle=%3d\n",
                 i_min, p[N].x, p[N].y, v, th, u->n_huelle);

    // The hull evaluation leaves the process at the debug level; a thread
    // whose log is silenced (the outline command) leaves it alone.
    if (dbld_intern::log_stumm == 0)
        dbld_intern::loglevel_setzen(DBLD_LOGLEVEL_DBG);
    polarform(u);
    if (huelle)
        huelle_uebergeben(huelle, u);
    return u->n_huelle;
}

void uebergaenge_gnuplot(FILE* fp, UEBERGAENGE* u)
{
    const float n = (float)n_rasterpunkte;
    fprintf(fp, "# \xdc" "bergaenge f\xfcr gnuplot, x_offset = %d\n", u->x_offset);
    fputs("# F\xfcr korrekte Darstellung:\n# gnuplot> set size ratio -1\n", fp);
    for (int i = 0; i < u->n_punkte; ++i)
        fprintf(fp, "%5.2f\t%5.2f\n", (float)((long long)u->punkte[i].x + u->x_offset) / n,
                (float)u->punkte[i].y / n);
    fputs("# Mittelpunkt:\n", fp);
    fprintf(fp, "%5.2f\t%5.2f\n", (u->mitte.x + (float)u->x_offset) / n, u->mitte.y / n);
    fputs("# Ende: \xdc" "bergaenge f\xfcr gnuplot\n", fp);
}

} // namespace dbld_huellen_intern

namespace {

using namespace dbld_huellen_intern;


// A sampled value: rounded by adding 0.5 and truncating, held within int.
inline int rasterwert(float wert)
{
    float s = wert + 0.5f;
    if (!(s == s))
        return 0;
    if (s >= 2147483648.0f)
        return INT_MAX;
    if (s <= -2147483648.0f)
        return INT_MIN;
    return (int)s;
}

// Raster row Y of the columns i_x0 .. i_x0 + n_punkte_ip - 1 into ziel.
void zeile_abtasten(int* ziel, const DBLD* dbld, int i_x0, int n_punkte_ip, int Y, int n)
{
    const float y = (float)Y / (float)n;
    for (int i = 0; i < n_punkte_ip; ++i)
        ziel[i] = rasterwert(DBLD_dbldvalsq(dbld, (float)(i_x0 + i) / (float)n, y));
}

// a below P, P up to b, the threshold between a and P and at most b.
inline bool steigt(int a, int P, int b, long long S)
{
    return a < P && P <= b && a <= S && S <= P && b >= S;
}

// a above P, P down to b, the threshold between P and a and at least b.
inline bool faellt(int a, int P, int b, long long S)
{
    return a > P && P >= b && a >= S && S >= P && b <= S;
}

// Row, column and diagonals through position i of the middle row m, with
// o the row above (y + 1) and d the row below (y - 1).
bool uebergang(const int* o, const int* m, const int* d, int i, long long S)
{
    int P = m[i];
    return steigt(m[i - 1], P, m[i + 1], S) || faellt(m[i - 1], P, m[i + 1], S)
        || steigt(o[i], P, d[i], S) || faellt(o[i], P, d[i], S)
        || steigt(o[i - 1], P, d[i + 1], S) || steigt(d[i - 1], P, o[i + 1], S)
        || steigt(o[i + 1], P, d[i - 1], S) || steigt(d[i + 1], P, o[i - 1], S);
}

// Highest stored value of the half (the mask is not consulted), with the
// half's values listed row by row at the debug level.
int haelfte_max(const DBLD* dbld, int i_x0, int i_xN)
{
    const bool liste = dbld_intern::loglevel() >= DBLD_LOGLEVEL_DBG;
    int val_max = 0;
    for (int r = dbld->n_rows - 1; r >= 0; --r) {
        if (liste)
            dbld_dbg_msg("%2d: ", r);
        for (int c = i_x0; c < i_xN; ++c) {
            int v = dbld->dbld[(long)r * dbld->n_cols + c];
            if (v > val_max)
                val_max = v;
            if (liste)
                dbld_dbg_msg(" %5.1f", DBLD_dbldvalsq(dbld, (float)c, (float)r));
        }
        if (liste)
            dbld_dbg_msg("\n");
    }
    return val_max;
}

// The transitions of one side.  Returns 0, or -1 when the window could not
// be obtained.  A full collection ends the search; what was found stays.
int ermittlung_uebergaenge(UEBERGAENGE* u, SEITE seite, const DBLD* dbld, int prozent)
{
    const int n = n_rasterpunkte;
    dbld_dbg_msg("Uebergaenge (seite == %s)\n", seite == links ? "links" : "rechts");
    int i_N = dbld->n_cols / 2;
    int i_x0 = seite == links ? 0 : i_N;
    int i_xN = seite == links ? i_N : dbld->n_cols;

    // An image without cells has no value and no raster row to sample; its
    // rows are not walked (a huge row count of zero columns, refined by
    // n_rasterpunkte, would take minutes for nothing).
    const bool ohne_zellen = dbld->n_rows == 0 || dbld->n_cols == 0;
    int val_max = ohne_zellen ? 0 : haelfte_max(dbld, i_x0, i_xN);
    long long schwelle = (long long)val_max * prozent / 100;
    dbld_dbg_msg("val_max = %d => %d%% bei %lld \n", val_max, prozent, schwelle);

    i_x0 *= n;
    i_xN *= n;
    u->x_offset = i_x0;
    const int n_punkte_ip = i_N * n;
    const int i_yN = dbld->n_rows * n;
    dbld_dbg_msg("x (%d x gerastert) %d ... %d\n", n, i_x0, i_xN - 1);
    dbld_dbg_msg("y (%d x gerastert) 0 ... %d\n", n, i_yN - 1);
    if (ohne_zellen) {
        u->mitte.x = u->mitte.y = -1;
        return 0;
    }

    // Three window rows: on the stack when narrow, else from the heap.
    int stapel[3 * fenster_stapel];
    dbld_speicher::C_BLOCK<int[]> heap;
    int* fenster = stapel;
    if (n_punkte_ip > fenster_stapel) {
        heap.reset((int*)malloc(3 * (size_t)n_punkte_ip * sizeof(int)));
        if (!heap) {
            dbld_err_msg("Zu wenig Speicher f\xfcr %d Rasterpunkte je Zeile.\n", n_punkte_ip);
            return -1;
        }
        fenster = heap.get();
    }
    int* zeile[3] = {fenster, fenster + n_punkte_ip, fenster + 2 * (size_t)n_punkte_ip};

    zeile_abtasten(zeile[1], dbld, i_x0, n_punkte_ip, i_yN - 1, n);
    zeile_abtasten(zeile[2], dbld, i_x0, n_punkte_ip, i_yN - 2, n);
    bool voll = false;
    for (int r = i_yN - 3; r >= 0 && !voll; --r) {
        // Row 0 = raster row y + 1, row 1 = y, row 2 = y - 1.
        std::swap(zeile[0], zeile[1]);
        std::swap(zeile[1], zeile[2]);
        zeile_abtasten(zeile[2], dbld, i_x0, n_punkte_ip, r, n);
        const int y = r + 1;
        for (int i = 1; i <= n_punkte_ip - 3; ++i)
            if (uebergang(zeile[0], zeile[1], zeile[2], i, schwelle)
                && !uebergaenge_append(u, i, y)) {
                voll = true;
                break;
            }
    }

    u->mitte.x = (float)((long long)u->x_min + u->x_max) / 2.0f;
    u->mitte.y = (float)((long long)u->y_min + u->y_max) / 2.0f;
    return 0;
}

// One side at prozent percent of its highest value: transitions, chart,
// hull, gnuplot listing on the stream listing (none when it is null).  1
// when the side's HUELLE holds its hull list (possibly empty), 0 when
// memory could not be obtained.
int auswertung_huelle(HUELLE* huelle, SEITE seite, const DBLD* dbld, FILE* listing,
                      int prozent)
{
    huelle->n_punkte = 0;
    huelle->punkte = nullptr;
    UEBERGAENGE_BLOCK u(uebergaenge_new(n_rasterpunkte));
    if (!u) {
        dbld_err_msg("Zu wenig Speicher f\xfcr die \xdc" "berg\xe4nge.\n");
        return 0;
    }
    if (ermittlung_uebergaenge(u.get(), seite, dbld, prozent) < 0)
        return 0;
    dbld_log_msg("%d \xdc" "berg\xe4nge gefunden. ([%d,%d] ... [%d,%d])\n", u->n_punkte,
                 u->y_max, u->x_min, u->y_min, u->x_max);
    uebergaenge_plot(u.get());
    int n_huelle = uebergaenge_wrap(huelle, u.get());
    dbld_log_msg("\nH\xfclle mit %d Punkten ermittelt.\n", n_huelle);
    u->n_punkte = u->n_huelle;
    if (listing)
        uebergaenge_gnuplot(listing, u.get());
    return n_huelle > 0 && !huelle->punkte ? 0 : 1;
}

// The raster must fit an int in both directions, and so must the capacity
// of a collection (100 x n_rasterpunkte); its points, which bound the time
// of the call, must not exceed DBLD_RASTERPUNKTE_MAX.
bool raster_gueltig(const DBLD* dbld)
{
    const int n = n_rasterpunkte;
    if (n < 1 || n > INT_MAX / 100) {
        dbld_err_msg("n_rasterpunkte (%d) au\xdf" "erhalb des zul\xe4ssigen Bereichs.\n", n);
        return false;
    }
    if (dbld->n_rows < 0 || dbld->n_cols < 0 || (long long)dbld->n_rows * n > INT_MAX
        || (long long)dbld->n_cols * n > INT_MAX) {
        dbld_err_msg("Druckbild %d x %d mit %d Rasterpunkten je Zelle nicht auswertbar.\n",
                     dbld->n_rows, dbld->n_cols, n);
        return false;
    }
    const long long zellen = (long long)dbld->n_rows * dbld->n_cols;
    if (zellen > 0 && (long long)n * n > DBLD_RASTERPUNKTE_MAX / zellen) {
        dbld_err_msg("Druckbild %d x %d mit %d Rasterpunkten je Zelle: mehr als %d "
                     "Rasterpunkte.\n",
                     dbld->n_rows, dbld->n_cols, n, DBLD_RASTERPUNKTE_MAX);
        return false;
    }
    return true;
}

} // namespace

namespace dbld_huellen_intern {

int huellen_auswerten(AUSWERTUNG_HUELLEN* e, const DBLD* dbld, FILE* listing, int prozent)
{
    e->huelle_links = HUELLE{0, nullptr};
    e->huelle_rechts = HUELLE{0, nullptr};
    if (!raster_gueltig(dbld))
        return 0;
    int l = auswertung_huelle(&e->huelle_links, links, dbld, listing, prozent);
    int r = auswertung_huelle(&e->huelle_rechts, rechts, dbld, listing, prozent);
    return l | (r << 1);
}

} // namespace dbld_huellen_intern

int DBLD_auswertung_huellen(AUSWERTUNGSERGEBNIS* ergebnis, const DBLD* dbld)
{
    return huellen_auswerten(&ergebnis->huellen, dbld, stdout, huelle_bei_prozent) != 0 ? 1 : 0;
}

void DBLD_huellen_freigeben(AUSWERTUNG_HUELLEN* huellen)
{
    if (!huellen)
        return;
    free(huellen->huelle_links.punkte);
    free(huellen->huelle_rechts.punkte);
    huellen->huelle_links = HUELLE{0, nullptr};
    huellen->huelle_rechts = HUELLE{0, nullptr};
}
