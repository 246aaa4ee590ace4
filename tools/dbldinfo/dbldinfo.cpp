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

// Whether the lines of a stream are header lines and blank lines only,
// character by character: a stream that ends so holds no further image.
class NurKopf {
public:
    void zeichen(int c)
    {
        if (anfang_) {
            kopf_ = c == '#' || (c >= 'A' && c <= 'Z');
            anfang_ = false;
        }
        if (c == '\n') {
            zeile_ende();
            return;
        }
        if (c != ' ' && c != '\t' && c != '\r' && c != '\v' && c != '\f')
            leer_ = false;
        // A line that is neither blank nor a header line is known as such
        // at its first other character, however long it goes on.
        if (!leer_ && !kopf_)
            gut_ = false;
    }
    bool gut() const { return gut_; }

private:
    void zeile_ende()
    {
        anfang_ = true;
        leer_ = true;
        kopf_ = false;
    }
    bool anfang_ = true;
    bool leer_ = true;
    bool kopf_ = false;
    bool gut_ = true;
};

// Longest piece of a line the reader takes at once (its line buffer of
// 1024 characters, the NUL included).  A longer line reaches it in such
// pieces.
const size_t stueck_laenge = 1023;

// The reader's stream over the file: a stream of its own whose reads hand
// over one line (or one piece of a longer line) at a time, exactly the
// piece the reader's next line read takes, so that nothing is read ahead
// of the reader and only the piece in hand is held.  It counts the line
// ends handed over (the line where the reader stopped) and watches the
// text since the start of the present image for anything but header and
// blank lines; at a log level above errors it keeps that text, from its
// first line that is no header line on, for reading the image once more.
class Zufuhr {
public:
    Zufuhr(FILE* fp, bool mitschreiben) : fp_(fp), mitschreiben_(mitschreiben)
    {
        cookie_io_functions_t funktionen = {lesen, nullptr, nullptr, nullptr};
        strom_ = fopencookie(this, "r", funktionen);
        if (strom_)
            setvbuf(strom_, nullptr, _IOFBF, 4 * stueck_laenge);
    }
    ~Zufuhr()
    {
        if (strom_)
            fclose(strom_);
    }
    Zufuhr(const Zufuhr&) = delete;
    Zufuhr& operator=(const Zufuhr&) = delete;

    FILE* strom() const { return strom_; }

    // A new image starts here.
    void marke()
    {
        kopf_ = NurKopf();
        text_.clear();
        vorne_ = true;
    }

    // The line (from 1) holding the last character handed over.
    long zeile() const { return 1 + zeilenenden_ - (letztes_ == '\n' ? 1 : 0); }

    // Whether the text since the mark and the rest of the file are header
    // and blank lines only (reads the file to its end).
    bool nur_kopf()
    {
        int c;
        while (kopf_.gut() && (c = getc(fp_)) != EOF)
            kopf_.zeichen(c);
        return kopf_.gut();
    }

    const std::string& text() const { return text_; }
    int lesefehler() const { return lesefehler_; }

private:
    static ssize_t lesen(void* cookie, char* puffer, size_t groesse)
    {
        return static_cast<Zufuhr*>(cookie)->stueck(puffer, groesse);
    }

    ssize_t stueck(char* puffer, size_t groesse)
    {
        size_t n = 0;
        int c = 0;
        const size_t max = groesse < stueck_laenge ? groesse : stueck_laenge;
        while (n < max && c != '\n' && (c = getc(fp_)) != EOF)
            puffer[n++] = (char)c;
        if (n == 0 && ferror(fp_)) {
            lesefehler_ = errno ? errno : EIO;
            return -1;
        }
        for (size_t i = 0; i < n; ++i) {
            zeilenenden_ += puffer[i] == '\n';
            kopf_.zeichen((unsigned char)puffer[i]);
        }
        if (n > 0)
            letztes_ = puffer[n - 1];
        // The reader skips header lines before an image without a trace
        // at the error level: they need not be kept.
        if (mitschreiben_ && n > 0) {
            vorne_ = vorne_ && (puffer[0] == '#' || (puffer[0] >= 'A' && puffer[0] <= 'Z'));
            if (!vorne_)
                text_.append(puffer, n);
        }
        return (ssize_t)n;
    }

    FILE* fp_;
    FILE* strom_ = nullptr;
    bool mitschreiben_;
    NurKopf kopf_;
    std::string text_;
    bool vorne_ = true;
    long zeilenenden_ = 0;
    char letztes_ = 0;
    int lesefehler_ = 0;
};

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

// All images of one stream, read one line at a time.  false when an image
// could not be read.
bool datei_zeigen(FILE* fp, const char* name, const Optionen& opt)
{
    Zufuhr zufuhr(fp, opt.stufe > DBLD_LOGLEVEL_ERR);
    if (!zufuhr.strom()) {
        fprintf(stderr, "dbldinfo: %s: %s\n", name, strerror(errno));
        return false;
    }
    LogFang fang;
    for (int nummer = 1; opt.anzahl < 0 || nummer <= opt.anzahl; ++nummer) {
        zufuhr.marke();
        fang.beginnen();
        DBLD_BLOCK d(DBLD_get(zufuhr.strom()));
        std::string log = fang.beenden();
        if (zufuhr.lesefehler()) {
            fprintf(stderr, "dbldinfo: %s: %s\n", name, strerror(zufuhr.lesefehler()));
            return false;
        }
        long zeile = zufuhr.zeile();
        if (d || zufuhr.nur_kopf()) {
            fputs(log.c_str(), stderr);
            if (!d)
                return true;
            bild_zeigen(d.get(), name, nummer, opt);
            continue;
        }
        // Above the error level the log holds the reader's trace; the
        // reason alone comes from reading the image once more at that level.
        if (opt.stufe > DBLD_LOGLEVEL_ERR) {
            fputs(log.c_str(), stderr);
            std::string text = zufuhr.text();
            log.clear();
            if (!text.empty()) {
                DateiPtr mem(fmemopen(&text[0], text.size(), "r"));
                if (mem) {
                    dbld_loglevel = DBLD_LOGLEVEL_ERR;
                    fang.beginnen();
                    DBLD_BLOCK nochmal(DBLD_get(mem.get()));
                    log = fang.beenden();
                    dbld_loglevel = opt.stufe;
                }
            }
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
