// Pressure image text format: DBLD_get and DBLD_put.
#include "dbld.h"
#include "dbld_speicher.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using dbld_speicher::DBLD_BLOCK;

// One DBLD_get over text: the record, the log it wrote and the stream
// position behind it.
struct Gelesen {
    DBLD_BLOCK dbld;
    std::string log;
    long position = -1;
    std::string rest; // the next line of the stream after the image
};

Gelesen lesen(const std::string& text)
{
    Gelesen g;
    std::vector<char> puffer(text.begin(), text.end());
    puffer.push_back('\0');
    FILE* fp = fmemopen(puffer.data(), text.size(), "r");
    if (!fp) {
        ADD_FAILURE() << "fmemopen";
        return g;
    }
    testing::internal::CaptureStderr();
    g.dbld.reset(DBLD_get(fp));
    g.log = testing::internal::GetCapturedStderr();
    g.position = ftell(fp);
    char zeile[256];
    if (fgets(zeile, sizeof zeile, fp))
        g.rest = zeile;
    fclose(fp);
    return g;
}

std::string schreiben(const DBLD* d)
{
    char* text = nullptr;
    size_t laenge = 0;
    FILE* fp = open_memstream(&text, &laenge);
    DBLD_put(fp, d);
    fclose(fp);
    std::string s(text, laenge);
    free(text);
    return s;
}

// The 2 x 3 example: row 1 = 10, masked, 255; row 0 = 0, 7, 12.
const std::string beispiel = " 1:  10  -1 255\n 0:   0   7  12\n";

int wert(const DBLD* d, int r, int c) { return d->dbld[r * d->n_cols + c]; }
int maske(const DBLD* d, int r, int c) { return d->mask[r * d->n_cols + c]; }

std::string druckwert_meldung(const std::string& wert)
{
    return "Druckwert (" + wert + ") au\xdf" "erhalb des zul\xe4ssigen Bereichs.\n";
}

class Textformat : public ::testing::Test {
protected:
    DBLD_LOGLEVEL alt = dbld_loglevel;
    void TearDown() override { dbld_loglevel = alt; }
};

TEST_F(Textformat, ExampleReadsAndWritesBackCharacterForCharacter)
{
    Gelesen g = lesen(beispiel);
    ASSERT_TRUE(g.dbld);
    const DBLD* d = g.dbld.get();
    EXPECT_EQ(g.log, "");
    EXPECT_EQ(d->n_rows, 2);
    EXPECT_EQ(d->n_cols, 3);
    const int werte[2][3] = {{0, 7, 12}, {10, 0, 255}};
    const int masken[2][3] = {{0, 0, 0}, {0, 1, 0}};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(wert(d, r, c), werte[r][c]) << r << "," << c;
            EXPECT_EQ(maske(d, r, c), masken[r][c]) << r << "," << c;
        }
    EXPECT_EQ(d->val_min, 7);
    EXPECT_EQ(d->val_max, 255);

    std::string geschrieben = schreiben(d);
    EXPECT_EQ(geschrieben, beispiel);
    EXPECT_EQ(geschrieben.find('\n'), 15u); // 16 characters with the line feed
}

TEST_F(Textformat, WriterFormatsWideIndicesAndValues)
{
    DBLD_BLOCK d(DBLD_new(101, 2));
    ASSERT_TRUE(d);
    d->dbld[100 * 2 + 0] = 1234;
    d->mask[100 * 2 + 1] = 1;
    d->dbld[100 * 2 + 1] = 99; // a masked cell's value is not written
    d->dbld[9 * 2 + 0] = 5;
    std::string s = schreiben(d.get());
    EXPECT_EQ(s.substr(0, s.find('\n') + 1), "100: 1234  -1\n");
    EXPECT_NE(s.find("\n10:   0   0\n 9:   5   0\n"), std::string::npos);
    EXPECT_EQ(s.substr(s.size() - 12), " 0:   0   0\n");

    // Read back: the masked cell returns as 0 with its mask set.
    Gelesen g = lesen(s);
    ASSERT_TRUE(g.dbld);
    EXPECT_EQ(wert(g.dbld.get(), 100, 0), 1234);
    EXPECT_EQ(wert(g.dbld.get(), 100, 1), 0);
    EXPECT_EQ(maske(g.dbld.get(), 100, 1), 1);
    EXPECT_EQ(g.dbld->val_min, 5);
    EXPECT_EQ(g.dbld->val_max, 1234);
}

TEST_F(Textformat, LargeImageRoundTrip)
{
    // 300 rows of 200 values: lines of 805 characters, still within 1023.
    DBLD_BLOCK d(DBLD_new(300, 200));
    ASSERT_TRUE(d);
    for (int i = 0; i < 300 * 200; ++i) {
        d->dbld[i] = (i * 37) % 1000;
        d->mask[i] = i % 11 == 0;
        if (d->mask[i])
            d->dbld[i] = 0;
    }
    std::string s = schreiben(d.get());
    Gelesen g = lesen(s);
    ASSERT_TRUE(g.dbld);
    EXPECT_EQ(g.log, "");
    for (int i = 0; i < 300 * 200; ++i) {
        ASSERT_EQ(g.dbld->dbld[i], d->dbld[i]) << i;
        ASSERT_EQ(g.dbld->mask[i], d->mask[i]) << i;
    }
    EXPECT_EQ(g.dbld->val_max, 999);
    EXPECT_EQ(g.dbld->val_min, 1);
    EXPECT_EQ(schreiben(g.dbld.get()), s);
}

TEST_F(Textformat, HeaderLinesBeforeRowsAreSkipped)
{
    Gelesen g = lesen("# Aufnahme\nKOPF: 3 4\nZ\n" + beispiel);
    ASSERT_TRUE(g.dbld);
    EXPECT_EQ(g.dbld->n_rows, 2);
    EXPECT_EQ(wert(g.dbld.get(), 1, 2), 255);

    // Only header lines, or nothing at all: no image and no message.
    for (const char* text : {"# nur Kopf\nABC\n", ""}) {
        Gelesen leer = lesen(text);
        EXPECT_FALSE(leer.dbld) << text;
        EXPECT_EQ(leer.log, "") << text;
    }
}

TEST_F(Textformat, LinesThatAreNoRowLinesEndWithoutMessage)
{
    const char* faelle[] = {
        "\n 0:   1\n",                     // blank first line
        "kopf klein\n 0:   1\n",           // lower case is no header
        " 1:   1   2\n\n 0:   3   4\n",    // blank line between rows
        " 1:   1   2\n# Kopf\n 0:   3   4\n", // header line between rows
        " 1:   1   2\n   \n 0:   3   4\n", // spaces only between rows
    };
    for (const char* text : faelle) {
        Gelesen g = lesen(text);
        EXPECT_FALSE(g.dbld) << text;
        EXPECT_EQ(g.log, "") << text;
    }
}

TEST_F(Textformat, RowLineForms)
{
    // Without the leading space, a single row, a value above 255.
    Gelesen g = lesen("1: 10 -1 255\n0: 0 7 12\n");
    ASSERT_TRUE(g.dbld);
    EXPECT_EQ(schreiben(g.dbld.get()), beispiel);

    Gelesen e = lesen("0: 5 6\n");
    ASSERT_TRUE(e.dbld);
    EXPECT_EQ(e.dbld->n_rows, 1);
    EXPECT_EQ(e.dbld->n_cols, 2);
    EXPECT_EQ(wert(e.dbld.get(), 0, 1), 6);

    Gelesen h = lesen("0:   3 300   \n");
    ASSERT_TRUE(h.dbld);
    EXPECT_EQ(h.dbld->val_min, 3);
    EXPECT_EQ(h.dbld->val_max, 300);

    // Only 0 and -1: range 0 .. 0, zero cells unmasked.
    Gelesen z = lesen(" 1:   0  -1\n 0:  -1   0\n");
    ASSERT_TRUE(z.dbld);
    EXPECT_EQ(z.dbld->val_min, 0);
    EXPECT_EQ(z.dbld->val_max, 0);
    EXPECT_EQ(maske(z.dbld.get(), 1, 0), 0);
    EXPECT_EQ(maske(z.dbld.get(), 1, 1), 1);
    EXPECT_EQ(maske(z.dbld.get(), 0, 0), 1);
    EXPECT_EQ(maske(z.dbld.get(), 0, 1), 0);

    // Outside the format, but read without harm: a "+" sign and a tab.
    Gelesen t = lesen("0: +5\t6\n");
    ASSERT_TRUE(t.dbld);
    EXPECT_EQ(t.dbld->n_cols, 2);
    EXPECT_EQ(wert(t.dbld.get(), 0, 0), 5);
    EXPECT_EQ(wert(t.dbld.get(), 0, 1), 6);
}

TEST_F(Textformat, EveryMessage)
{
    struct Fall {
        const char* text;
        std::string meldung;
    };
    const Fall faelle[] = {
        {" 1:   1  -2\n 0:   1   1\n", druckwert_meldung("-2")},
        {" 0:  -7\n", druckwert_meldung("-7")},
        {" 0: 3000000000\n", druckwert_meldung("3000000000")},
        {" 0: -99999999999999999999\n", druckwert_meldung("-99999999999999999999")},
        {" 1:   1   2\n 0:   1   2   3\n", "Zu viele Spalten bei Zeilenindex 0\n"},
        {" 1:   1   2\n 0:   1\n", "Fehlende Spalten bei Zeilenindex 0\n'\n'\n"},
        {" 1:   1   2   3\n 0:   1 x   3\n", "Fehlende Spalten bei Zeilenindex 0\n'x   3\n'\n"},
        {" 0:   1 x   3\n", "Zu viele Spalten bei Zeilenindex 0\n"}, // counted 1 column
        {" 1:   1   2 abc\n 0:   1   2\n", "Zu viele Spalten bei Zeilenindex 1\n"},
        {" 5:   1\n 4:   1\n 2:   1\n", "Fehler in der Zeilenindex-Reihenfolge."},
        {" 1:   1\n 1:   1\n", "Fehler in der Zeilenindex-Reihenfolge."},
        {" 2:   1\n", "Zeilen mit Index <= 1 fehlen.\n"},
    };
    for (const Fall& f : faelle) {
        Gelesen g = lesen(f.text);
        EXPECT_FALSE(g.dbld) << f.text;
        EXPECT_EQ(g.log, f.meldung) << f.text;
    }

    // A stream that ends after rows 15 to 3.
    std::string zeilen;
    for (int r = 15; r >= 3; --r)
        zeilen += std::to_string(r) + ":   1   2\n";
    Gelesen g = lesen(zeilen);
    EXPECT_FALSE(g.dbld);
    EXPECT_EQ(g.log, "Zeilen mit Index <= 2 fehlen.\n");
}

TEST_F(Textformat, MessagesAppearAtEveryLevel)
{
    dbld_loglevel = DBLD_LOGLEVEL_ERR;
    EXPECT_EQ(lesen(" 0:  -2\n").log, druckwert_meldung("-2"));
}

TEST_F(Textformat, CarriageReturnAndMissingLineFeedAreTooManyColumns)
{
    Gelesen crlf = lesen(" 1:  10  -1 255\r\n 0:   0   7  12\r\n");
    EXPECT_FALSE(crlf.dbld);
    EXPECT_EQ(crlf.log, "Zu viele Spalten bei Zeilenindex 1\n");

    Gelesen offen = lesen(" 1:  10  -1 255\n 0:   0   7  12");
    EXPECT_FALSE(offen.dbld);
    EXPECT_EQ(offen.log, "Zu viele Spalten bei Zeilenindex 0\n");
}

TEST_F(Textformat, LinesLongerThanTheBufferFail)
{
    // 300 values of "   1": 1204 characters; the reader sees 1023 of them.
    std::string zeile = " 0:";
    for (int i = 0; i < 300; ++i)
        zeile += "   1";
    Gelesen g = lesen(zeile + "\n");
    EXPECT_FALSE(g.dbld);
    EXPECT_EQ(g.log, "Zu viele Spalten bei Zeilenindex 0\n");
}

TEST_F(Textformat, StreamStaysBehindRowZero)
{
    Gelesen g = lesen(beispiel + "danach\n 0:   1\n");
    ASSERT_TRUE(g.dbld);
    EXPECT_EQ(g.position, (long)beispiel.size());
    EXPECT_EQ(g.rest, "danach\n");

    // Two images one after the other, each with its own headers.
    std::string zwei = "# eins\n 0:   1   2\n# zwei\n 1:   3\n 0:   4\n";
    std::vector<char> puffer(zwei.begin(), zwei.end());
    FILE* fp = fmemopen(puffer.data(), puffer.size(), "r");
    ASSERT_NE(fp, nullptr);
    DBLD_BLOCK a(DBLD_get(fp));
    DBLD_BLOCK b(DBLD_get(fp));
    DBLD_BLOCK c(DBLD_get(fp));
    fclose(fp);
    ASSERT_TRUE(a);
    ASSERT_TRUE(b);
    EXPECT_FALSE(c);
    EXPECT_EQ(a->n_cols, 2);
    EXPECT_EQ(b->n_rows, 2);
    EXPECT_EQ(wert(b.get(), 1, 0), 3);
}

TEST_F(Textformat, DebugLevelsEchoLinesAndSize)
{
    dbld_loglevel = DBLD_LOGLEVEL_DBG;
    EXPECT_EQ(lesen("# k\n" + beispiel).log, "Druckbild 2 x 3\n");
    dbld_loglevel = DBLD_LOGLEVEL_DBG2;
    EXPECT_EQ(lesen("# k\n" + beispiel).log,
              "# k\n 1:  10  -1 255\n1. Zeile gefunden.\nDruckbild 2 x 3\n"
              " 0:   0   7  12\n");
}

TEST_F(Textformat, FirstRowIndexBelowZeroGivesNull)
{
    for (const char* text : {"-1: 4 5\n", "-1:\n", " -7:   1\n-8:   1\n"}) {
        Gelesen g = lesen(text);
        EXPECT_FALSE(g.dbld) << text;
        EXPECT_EQ(g.log, "") << text;
    }
}

TEST_F(Textformat, RecordSizesBeyondIntGiveNullWithMessage)
{
    Gelesen a = lesen("2147483647: 1\n");
    EXPECT_FALSE(a.dbld);
    EXPECT_EQ(a.log, "Zeilenindex 2147483647 zu gro\xdf.\n");

    Gelesen b = lesen("99999999999999999999999: 1\n");
    EXPECT_FALSE(b.dbld);
    EXPECT_EQ(b.log, "Zeilenindex 99999999999999999999999 zu gro\xdf.\n");

    // 2^30 rows of 2 values: 2^31 cells.
    Gelesen c = lesen("1073741823: 1 2\n");
    EXPECT_FALSE(c.dbld);
    EXPECT_EQ(c.log, "Druckbild 1073741824 x 2 zu gro\xdf.\n");

    // Just within int: the rows must still be there.
    Gelesen d = lesen("1073741822: 1 2\n");
    EXPECT_FALSE(d.dbld);
    EXPECT_EQ(d.log, "Zeilen mit Index <= 1073741821 fehlen.\n");
}

#if !defined(__SANITIZE_ADDRESS__)
// With the address space of the process limited to 256 MB, a huge row count
// whose rows are missing ends with the missing rows' message: nothing the
// size of the announced image was allocated.  (The sanitizer build cannot
// run under such a limit.)
void knapp_lesen()
{
    rlimit grenze;
    grenze.rlim_cur = grenze.rlim_max = 256u << 20;
    setrlimit(RLIMIT_AS, &grenze);
    std::string text = "1000000000: 1 2\n999999999: 3 4\n";
    FILE* fp = fmemopen(&text[0], text.size(), "r");
    DBLD* d = DBLD_get(fp);
    exit(d == nullptr ? 0 : 1);
}

TEST(TextformatSpeicher, HugeRowCountAllocatesNothingBeforeTheRows)
{
    EXPECT_EXIT(knapp_lesen(), ::testing::ExitedWithCode(0),
                "^Zeilen mit Index <= 999999998 fehlen.\n$");
}
#endif

} // namespace
