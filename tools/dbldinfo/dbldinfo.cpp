// dbldinfo: looks at pressure images in the text format without a host
// program.
//
//   dbldinfo [-b] [-u] [-n anzahl] [-l stufe] [-p prozent] [-r raster] [datei ...]
//
// Reads every image of each file (standard input for "-" or no file) with
// DBLD_get and prints its size and value range as a "#" line.  -b writes the
// cleaned image (DBLD_bereinigen, DBLD_put) behind it, -u runs the hull
// evaluation, whose gnuplot listings go to standard output, and sums up the
// hull of each side.  All the tool's own lines start with "#", so the output
// of -b is again a stream in the text format.
#include "dbld.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

struct Optionen {
    bool bereinigen = false;
    bool huellen = false;
    long anzahl = -1; // all images
    DBLD_LOGLEVEL stufe = DBLD_LOGLEVEL_ERR;
};

struct DbldFrei {
    void operator()(DBLD* d) const { DBLD_delete(&d); }
};
using DbldPtr = std::unique_ptr<DBLD, DbldFrei>;

struct DateiSchliessen {
    void operator()(FILE* f) const { fclose(f); }
};
using DateiPtr = std::unique_ptr<FILE, DateiSchliessen>;

void benutzung(FILE* fp)
{
    fputs("usage: dbldinfo [-b] [-u] [-n anzahl] [-l stufe] [-p prozent] [-r raster] "
          "[datei ...]\n"
          "  -b          write each image cleaned (DBLD_bereinigen) behind its line\n"
          "  -u          hull evaluation: gnuplot listing of both sides, hull sizes\n"
          "  -n anzahl   only the first anzahl images of each file\n"
          "  -l stufe    log level 0 (errors) .. 4 (everything) on standard error\n"
          "  -p prozent  huelle_bei_prozent (default 75)\n"
          "  -r raster   n_rasterpunkte, raster points per cell (default 8)\n"
          "Without a file, or for \"-\", standard input is read.\n",
          fp);
}

bool zahl(const char* text, long min, long max, long* wert)
{
    char* ende;
    errno = 0;
    long v = strtol(text, &ende, 10);
    if (ende == text || *ende || errno == ERANGE || v < min || v > max)
        return false;
    *wert = v;
    return true;
}

bool alles_lesen(FILE* fp, std::string* text)
{
    char puffer[65536];
    size_t n;
    while ((n = fread(puffer, 1, sizeof puffer, fp)) > 0)
        text->append(puffer, n);
    return !ferror(fp);
}

// True when nothing but header lines and blank lines is left: the end of a
// stream, not an unreadable image.
bool nur_kopf(const std::string& rest)
{
    size_t a = 0;
    while (a < rest.size()) {
        size_t e = rest.find('\n', a);
        if (e == std::string::npos)
            e = rest.size();
        std::string zeile = rest.substr(a, e - a);
        bool leer = zeile.find_first_not_of(" \t\r\v\f") == std::string::npos;
        bool kopf = !zeile.empty() && (zeile[0] == '#' || (zeile[0] >= 'A' && zeile[0] <= 'Z'));
        if (!leer && !kopf)
            return false;
        a = e + 1;
    }
    return true;
}

int zaehle_maskiert(const DBLD* d)
{
    int n = 0;
    long zellen = (long)d->n_rows * d->n_cols;
    for (long i = 0; i < zellen; ++i)
        n += d->mask[i] != 0;
    return n;
}

void huellen_zeigen(const DBLD* d, const Optionen& opt)
{
    AUSWERTUNGSERGEBNIS ergebnis;
    int ok = DBLD_auswertung_huellen(&ergebnis, d);
    // The evaluation leaves the log at the debug level; the tool keeps its own.
    dbld_loglevel = opt.stufe;
    if (!ok) {
        printf("# keine Huellen\n");
    } else {
        const HUELLE* seiten[2] = {&ergebnis.huellen.huelle_links,
                                   &ergebnis.huellen.huelle_rechts};
        const char* namen[2] = {"links", "rechts"};
        for (int s = 0; s < 2; ++s) {
            printf("# Huelle %s: %d Punkte", namen[s], seiten[s]->n_punkte);
            for (int i = 0; i < seiten[s]->n_punkte; ++i)
                printf(" (%.3f, %.3f)", seiten[s]->punkte[i].x, seiten[s]->punkte[i].y);
            printf("\n");
        }
    }
    DBLD_huellen_freigeben(&ergebnis.huellen);
}

void bild_zeigen(const DBLD* d, const char* name, int nummer, const Optionen& opt)
{
    printf("# %s, Bild %d: %d x %d, val_min %d, val_max %d, %d maskiert\n", name, nummer,
           d->n_rows, d->n_cols, d->val_min, d->val_max, zaehle_maskiert(d));
    if (opt.bereinigen) {
        DbldPtr b(DBLD_bereinigen(d));
        if (!b) {
            printf("# bereinigt: zu wenig Speicher\n");
        } else {
            printf("# bereinigt: val_min %d, val_max %d\n", b->val_min, b->val_max);
            DBLD_put(stdout, b.get());
        }
    }
    if (opt.huellen)
        huellen_zeigen(d, opt);
}

// All images of one stream.  false when an image could not be read.
bool datei_zeigen(FILE* fp, const char* name, const Optionen& opt)
{
    std::string text;
    if (!alles_lesen(fp, &text)) {
        fprintf(stderr, "dbldinfo: %s: %s\n", name, strerror(errno));
        return false;
    }
    if (text.empty())
        return true;
    DateiPtr mem(fmemopen(&text[0], text.size(), "r"));
    if (!mem) {
        fprintf(stderr, "dbldinfo: %s: %s\n", name, strerror(errno));
        return false;
    }
    for (int nummer = 1; opt.anzahl < 0 || nummer <= opt.anzahl; ++nummer) {
        long vorher = ftell(mem.get());
        DbldPtr d(DBLD_get(mem.get()));
        if (!d) {
            if (nur_kopf(text.substr((size_t)vorher)))
                return true;
            fprintf(stderr, "\ndbldinfo: %s: Bild %d nicht lesbar\n", name, nummer);
            return false;
        }
        bild_zeigen(d.get(), name, nummer, opt);
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Optionen opt;
    int c;
    long wert;
    while ((c = getopt(argc, argv, "bun:l:p:r:h")) != -1) {
        switch (c) {
        case 'b':
            opt.bereinigen = true;
            break;
        case 'u':
            opt.huellen = true;
            break;
        case 'n':
            if (!zahl(optarg, 0, LONG_MAX, &wert)) {
                fprintf(stderr, "dbldinfo: -n: keine Anzahl: %s\n", optarg);
                return 2;
            }
            opt.anzahl = wert;
            break;
        case 'l':
            if (!zahl(optarg, DBLD_LOGLEVEL_ERR, DBLD_LOGLEVEL_DBG2, &wert)) {
                fprintf(stderr, "dbldinfo: -l: Stufe 0 .. 4 erwartet: %s\n", optarg);
                return 2;
            }
            opt.stufe = (DBLD_LOGLEVEL)wert;
            break;
        case 'p':
            if (!zahl(optarg, 0, 100, &wert)) {
                fprintf(stderr, "dbldinfo: -p: Prozent 0 .. 100 erwartet: %s\n", optarg);
                return 2;
            }
            huelle_bei_prozent = (int)wert;
            break;
        case 'r':
            if (!zahl(optarg, 1, 1000, &wert)) {
                fprintf(stderr, "dbldinfo: -r: Rasterpunkte 1 .. 1000 erwartet: %s\n", optarg);
                return 2;
            }
            n_rasterpunkte = (int)wert;
            break;
        case 'h':
            benutzung(stdout);
            return 0;
        default:
            benutzung(stderr);
            return 2;
        }
    }
    dbld_loglevel = opt.stufe;

    bool ok = true;
    if (optind == argc) {
        ok = datei_zeigen(stdin, "-", opt);
    } else {
        for (int i = optind; i < argc; ++i) {
            const char* name = argv[i];
            if (strcmp(name, "-") == 0) {
                ok = datei_zeigen(stdin, name, opt) && ok;
                continue;
            }
            DateiPtr f(fopen(name, "rb"));
            if (!f) {
                fprintf(stderr, "dbldinfo: %s: %s\n", name, strerror(errno));
                ok = false;
                continue;
            }
            ok = datei_zeigen(f.get(), name, opt) && ok;
        }
    }
    if (fflush(stdout) != 0)
        ok = false;
    return ok ? 0 : 1;
}
