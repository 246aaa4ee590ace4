// dbldinfo: looks at pressure images in the text format without a host
// program.
//
//   dbldinfo [-b] [-u] [-n anzahl] [-l stufe] [-p prozent] [-r raster] [datei ...]
//   dbldinfo -h | --help | --version
//
// Reads every image of each file (standard input for "-" or no file) with
// DBLD_get and prints its size and value range as a "#" line.  -b writes the
// cleaned image (DBLD_bereinigen, DBLD_put) behind it, -u runs the hull
// evaluation, whose gnuplot listings go to standard output, and sums up the
// hull of each side.  All the tool's own lines start with "#", so the output
// of -b is again a stream in the text format.  An image that cannot be read
// is reported as "datei:zeile: Bild n nicht lesbar: reason", with the line
// where the reader stopped and the reader's own message as the reason.
#include "dbld.h"
#include "dbld_speicher.h"

#include <getopt.h>
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

using dbld_speicher::DBLD_BLOCK;

struct DateiSchliessen {
    void operator()(FILE* f) const { fclose(f); }
};
using DateiPtr = std::unique_ptr<FILE, DateiSchliessen>;

void benutzung(FILE* fp)
{
    fputs("usage: dbldinfo [-b] [-u] [-n anzahl] [-l stufe] [-p prozent] [-r raster] "
          "[datei ...]\n"
          "       dbldinfo -h | --help | --version\n"
          "  -b          write each image cleaned (DBLD_bereinigen) behind its line\n"
          "  -u          hull evaluation: gnuplot listing of both sides, hull sizes\n"
          "  -n anzahl   only the first anzahl images of each file\n"
          "  -l stufe    log level 0 (errors) .. 4 (everything) on standard error\n"
          "  -p prozent  huelle_bei_prozent (default 75)\n"
          "  -r raster   n_rasterpunkte, raster points per cell (default 8)\n"
          "  -h, --help  this text\n"
          "  --version   the version of dbldinfo (that of the libraries)\n"
          "Without a file, or for \"-\", standard input is read.\n",
          fp);
}

// The diagnostic log of the reader, caught: the log writes to standard
// error, which is pointed at a temporary file while DBLD_get runs.  Without
// the file (tmpfile failed) nothing is caught and the log goes out as usual.
class LogFang {
public:
    LogFang() : datei_(tmpfile()) {}
    ~LogFang()
    {
        if (datei_)
            fclose(datei_);
    }
    LogFang(const LogFang&) = delete;
    LogFang& operator=(const LogFang&) = delete;

    void beginnen()
    {
        gerettet_ = -1;
        if (!datei_)
            return;
        fflush(stderr);
        gerettet_ = dup(STDERR_FILENO);
        if (gerettet_ >= 0 && dup2(fileno(datei_), STDERR_FILENO) < 0) {
            close(gerettet_);
            gerettet_ = -1;
        }
    }

    // Standard error back as it was; the text written meanwhile.
    std::string beenden()
    {
        std::string text;
        if (gerettet_ < 0)
            return text;
        fflush(stderr);
        dup2(gerettet_, STDERR_FILENO);
        close(gerettet_);
        gerettet_ = -1;
        int fd = fileno(datei_);
        off_t laenge = lseek(fd, 0, SEEK_CUR);
        text.resize(laenge > 0 ? (size_t)laenge : 0);
        size_t n = 0;
        while (n < text.size()) {
            ssize_t r = pread(fd, &text[n], text.size() - n, (off_t)n);
            if (r <= 0)
                break;
            n += (size_t)r;
        }
        text.resize(n);
        if (ftruncate(fd, 0) == 0)
            lseek(fd, 0, SEEK_SET);
        return text;
    }

private:
    FILE* datei_;
    int gerettet_ = -1;
};

// The line (from 1) holding the last character the reader took, of the
// first `gelesen` characters of text.
long zeile_bei(const std::string& text, long gelesen)
{
    if (gelesen <= 0)
        return 1;
    long zeile = 1;
    for (long i = 0; i < gelesen - 1; ++i)
        zeile += text[(size_t)i] == '\n';
    return zeile;
}

// The reader's message as one line: its line ends as blanks, none at the
// end nor inside the quotes around a rest of a line; "keine Bildzeile" where
// the reader stopped without one (a line that is no row of an image).
std::string grund(std::string meldung)
{
    while (!meldung.empty() && (meldung.back() == '\n' || meldung.back() == ' '))
        meldung.pop_back();
    if (meldung.size() >= 2 && meldung.back() == '\'' && meldung[meldung.size() - 2] == '\n')
        meldung.erase(meldung.size() - 2, 1);
    for (char& c : meldung)
        if (c == '\n')
            c = ' ';
    return meldung.empty() ? "keine Bildzeile" : meldung;
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
        DBLD_BLOCK b(DBLD_bereinigen(d));
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
    LogFang fang;
    for (int nummer = 1; opt.anzahl < 0 || nummer <= opt.anzahl; ++nummer) {
        long vorher = ftell(mem.get());
        fang.beginnen();
        DBLD_BLOCK d(DBLD_get(mem.get()));
        std::string log = fang.beenden();
        if (d || nur_kopf(text.substr((size_t)vorher))) {
            fputs(log.c_str(), stderr);
            if (!d)
                return true;
            bild_zeigen(d.get(), name, nummer, opt);
            continue;
        }
        long zeile = zeile_bei(text, ftell(mem.get()));
        // Above the error level the log holds the reader's trace; the
        // reason alone comes from reading the image once more at that level.
        if (opt.stufe > DBLD_LOGLEVEL_ERR) {
            fputs(log.c_str(), stderr);
            fseek(mem.get(), vorher, SEEK_SET);
            dbld_loglevel = DBLD_LOGLEVEL_ERR;
            fang.beginnen();
            DBLD_BLOCK nochmal(DBLD_get(mem.get()));
            log = fang.beenden();
            dbld_loglevel = opt.stufe;
        }
        fprintf(stderr, "%s:%ld: Bild %d nicht lesbar: %s\n", name, zeile, nummer,
                grund(log).c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Optionen opt;
    int c;
    long wert;
    enum { VERSION = 256 };
    static const option lang[] = {{"help", no_argument, nullptr, 'h'},
                                  {"version", no_argument, nullptr, VERSION},
                                  {nullptr, 0, nullptr, 0}};
    while ((c = getopt_long(argc, argv, "bun:l:p:r:h", lang, nullptr)) != -1) {
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
            return fflush(stdout) == 0 ? 0 : 1;
        case VERSION:
            printf("dbldinfo (druckmessung) %s\n", DBLD_PROJEKTVERSION);
            return fflush(stdout) == 0 ? 0 : 1;
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
