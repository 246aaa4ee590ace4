// Pelvic rotation log and fit (BROT_*).
//
// The log and the result are process-wide and there is no reset.  The tests
// therefore use the recording state machine itself: each case first closes
// any open recording with a report (aufnahme() below), so its first point
// starts a new recording; cases that look at the fields a failed fit keeps
// first run a complete fit of their own.  The state of the freshly loaded
// library is captured by a global test environment, which runs before any
// test of the program, and only reads (reports on an idle log do not fit).
#include "bild_helfer.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

using Punkte = std::vector<std::pair<double, double>>;

const char frisch_json[] =
    "{\"ok\": \"false\", \"code\": 1, \"width\": 0.000, \"height\": 0.000, "
    "\"center\": {\"x\": 0.000, \"y\": 0.000}, \"left\": {\"x\": 0.000, \"y\": 0.000}, "
    "\"front\": {\"x\": 0.000, \"y\": 0.000}, \"right\": {\"x\": 0.000, \"y\": 0.000}, "
    "\"rear\": {\"x\": 0.000, \"y\": 0.000}, \"c1\": {\"x\": 0.000, \"y\": 0.000}, "
    "\"c2\": {\"x\": 0.000, \"y\": 0.000}, \"c3\": {\"x\": 0.000, \"y\": 0.000}, "
    "\"c4\": {\"x\": 0.000, \"y\": 0.000}}";

struct Frisch {
    int rc = -1;
    OVAL oval;
    char json[400];
    int json_laenge = -1;
    int laenge_361 = -1;
};
Frisch frisch;

class FrischeBibliothek : public ::testing::Environment {
  public:
    void SetUp() override
    {
        memset(&frisch.oval, 0x55, sizeof frisch.oval);
        frisch.rc = BROT_result(&frisch.oval);
        frisch.json_laenge = BROT_json_result(frisch.json, sizeof frisch.json);
        char klein[361];
        frisch.laenge_361 = BROT_json_result(klein, sizeof klein);
    }
};
::testing::Environment* const frische_umgebung =
    ::testing::AddGlobalTestEnvironment(new FrischeBibliothek);

bool gleich(const OVAL& a, const OVAL& b)
{
    return memcmp(&a, &b, sizeof(OVAL)) == 0;
}

OVAL bericht(int* rc = nullptr)
{
    OVAL o;
    int r = BROT_result(&o);
    if (rc)
        *rc = r;
    return o;
}

// Closes any open recording, logs the points as a new one (checking the
// counts) and returns the code of the fit; the record goes to *o.
int aufnahme(const Punkte& punkte, OVAL* o)
{
    bericht();
    int n = 0;
    for (const auto& p : punkte) {
        ++n;
        EXPECT_EQ(BROT_log(p.first, p.second), n > 600 ? 600 : n);
    }
    return BROT_result(o);
}

std::string json()
{
    char puffer[BROT_JSON_LAENGE_MAX + 1];
    int n = BROT_json_result(puffer, sizeof puffer);
    EXPECT_EQ(n, (int)strlen(puffer));
    return std::string(puffer);
}

#define EXPECT_PUNKT(p, ex, ey)                                                          \
    do {                                                                                 \
        EXPECT_EQ((p).x, (float)(ex));                                                   \
        EXPECT_EQ((p).y, (float)(ey));                                                   \
    } while (0)

const Punkte vertikal = {{0, 0}, {4, 0}, {0, 2}, {4, 2}};
const Punkte schraeg = {{0, 0}, {4, 0}, {1, 2}, {5, 2}};

TEST(BeckenrotationFrisch, ResultCodeOneAllZeroAndTheJsonText)
{
    EXPECT_EQ(frisch.rc, 1);
    OVAL null;
    memset(&null, 0, sizeof null);
    EXPECT_TRUE(gleich(frisch.oval, null));
    EXPECT_EQ(frisch.json_laenge, 361);
    EXPECT_EQ(strlen(frisch_json), 361u);
    EXPECT_STREQ(frisch.json, frisch_json);
    // 361 bytes leave no room for the NUL.
    EXPECT_EQ(frisch.laenge_361, 0);
}

TEST(BeckenrotationFit, FourPointsVerticalAxis)
{
    OVAL o;
    ASSERT_EQ(aufnahme(vertikal, &o), 0);
    EXPECT_PUNKT(o.center, 2, 1);
    EXPECT_PUNKT(o.left, -2, 1);
    EXPECT_PUNKT(o.right, 6, 1);
    EXPECT_PUNKT(o.front, 2, 2);
    EXPECT_PUNKT(o.rear, 2, 0);
    EXPECT_PUNKT(o.c1, -2, 2);
    EXPECT_PUNKT(o.c2, 6, 2);
    EXPECT_PUNKT(o.c3, 6, 0);
    EXPECT_PUNKT(o.c4, -2, 0);
    EXPECT_EQ(o.width, 80.0f);
    EXPECT_EQ(o.height, 20.0f);
}

TEST(BeckenrotationFit, FourPointsSlopedAxisAndItsJson)
{
    OVAL o;
    ASSERT_EQ(aufnahme(schraeg, &o), 0);
    EXPECT_PUNKT(o.center, 2.5, 1);
    EXPECT_PUNKT(o.left, -1.5, 1);
    EXPECT_PUNKT(o.right, 6.5, 1);
    EXPECT_PUNKT(o.front, 3.5, 3);
    EXPECT_PUNKT(o.rear, 1.5, -1);
    EXPECT_PUNKT(o.c1, -0.5, 3);
    EXPECT_PUNKT(o.c2, 7.5, 3);
    EXPECT_PUNKT(o.c3, 5.5, -1);
    EXPECT_PUNKT(o.c4, -2.5, -1);
    EXPECT_EQ(o.width, 100.0f);
    EXPECT_EQ(o.height, 40.0f);
    EXPECT_EQ(json(),
              "{\"ok\": \"true\", \"code\": 0, \"width\": 100.000, \"height\": 40.000, "
              "\"center\": {\"x\": 2.500, \"y\": 1.000}, \"left\": {\"x\": -1.500, \"y\": 1.000}, "
              "\"front\": {\"x\": 3.500, \"y\": 3.000}, \"right\": {\"x\": 6.500, \"y\": 1.000}, "
              "\"rear\": {\"x\": 1.500, \"y\": -1.000}, \"c1\": {\"x\": -0.500, \"y\": 3.000}, "
              "\"c2\": {\"x\": 7.500, \"y\": 3.000}, \"c3\": {\"x\": 5.500, \"y\": -1.000}, "
              "\"c4\": {\"x\": -2.500, \"y\": -1.000}}");
}

TEST(BeckenrotationFit, CentreSumIsKeptInSinglePrecision)
{
    // 2^24 + 1 is no float: the running sum stays 2^24 and the centre is
    // 2^24 / 3 in float (a double sum would give 5592406).
    OVAL o;
    aufnahme({{16777216.0, 0}, {1, 0}, {1, 3}}, &o);
    EXPECT_EQ(o.center.x, 5592405.5f);
    EXPECT_EQ(o.center.y, 1.0f);
}

TEST(BeckenrotationFit, OnePointOnlyRenewsTheCentre)
{
    OVAL alt, o;
    ASSERT_EQ(aufnahme(schraeg, &alt), 0);
    EXPECT_EQ(aufnahme({{7.25, -3.5}}, &o), 1);
    EXPECT_PUNKT(o.center, 7.25, -3.5);
    OVAL rest = o;
    rest.center = alt.center;
    EXPECT_TRUE(gleich(rest, alt));
}

TEST(BeckenrotationFit, TwoPointsOnTheSideLineRenewCentreLeftRight)
{
    OVAL alt, o;
    ASSERT_EQ(aufnahme(vertikal, &alt), 0);
    EXPECT_EQ(aufnahme({{0, 0}, {4, 0}}, &o), 1);
    EXPECT_PUNKT(o.center, 2, 0);
    EXPECT_PUNKT(o.left, -2, 0);
    EXPECT_PUNKT(o.right, 6, 0);
    OVAL rest = o;
    rest.center = alt.center;
    rest.left = alt.left;
    rest.right = alt.right;
    EXPECT_TRUE(gleich(rest, alt));
    // The JSON text shows the failure and hands out the whole record.
    std::string text = json();
    EXPECT_EQ(text.rfind("{\"ok\": \"false\", \"code\": 1, \"width\": 80.000, \"height\": 20.000, "
                         "\"center\": {\"x\": 2.000, \"y\": 0.000}, \"left\": {\"x\": -2.000, ",
                         0),
              0u);
}

TEST(BeckenrotationFit, CollinearPointsSplitByRoundingGiveCodeOne)
{
    // The side line through two points puts one of them above itself by
    // rounding; the axis then runs parallel to the side line and the corners
    // would be NaN.  Reported as an empty front group instead.
    OVAL alt, o;
    ASSERT_EQ(aufnahme(schraeg, &alt), 0);
    EXPECT_EQ(aufnahme({{5.615755007781196, 2.7462776825343713},
                        {5.615891652359507, 3.6433614864038555}},
                       &o),
              1);
    OVAL rest = o; // centre, left and right are new, the rest is old
    rest.center = alt.center;
    rest.left = alt.left;
    rest.right = alt.right;
    EXPECT_TRUE(gleich(rest, alt));
    for (const float* f = &o.center.x; f <= &o.height; ++f)
        EXPECT_TRUE(std::isfinite(*f));
    std::string text = json();
    EXPECT_EQ(text.find("nan"), std::string::npos);
    EXPECT_EQ(text.find("inf"), std::string::npos);
}

TEST(BeckenrotationLog, RingKeepsTheLatest600Points)
{
    // The first point is an outlier; the 601st overwrites it in slot 0, so the
    // fit must equal that of a recording holding the 601st point in slot 0.
    auto punkt = [](int i) {
        return std::make_pair((double)(i % 7) * 0.75, (double)(i % 5) + 0.125 * (i % 3));
    };
    Punkte ohne(600), mit(601);
    mit[0] = {1000.0, -1000.0};
    for (int i = 1; i < 600; ++i)
        mit[i] = ohne[i] = punkt(i);
    mit[600] = ohne[0] = punkt(600);
    OVAL a, b;
    int rc_mit = aufnahme(mit, &a);
    int rc_ohne = aufnahme(ohne, &b);
    EXPECT_EQ(rc_mit, 0);
    EXPECT_EQ(rc_mit, rc_ohne);
    EXPECT_TRUE(gleich(a, b));
    EXPECT_LT(a.center.x, 10.0f);
}

TEST(BeckenrotationLog, RepeatedReportsGiveTheSameAnswer)
{
    OVAL erst, o;
    ASSERT_EQ(aufnahme(vertikal, &erst), 0);
    std::string text = json();
    int rc;
    EXPECT_TRUE(gleich(bericht(&rc), erst));
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(json(), text);
    // Also after a failed fit: the stored code and record, no new fit.
    EXPECT_EQ(aufnahme({{1, 1}}, &o), 1);
    EXPECT_TRUE(gleich(bericht(&rc), o));
    EXPECT_EQ(rc, 1);
    // The first point after a report, JSON or record, opens a new recording.
    EXPECT_EQ(BROT_log(1, 2), 1);
    EXPECT_EQ(BROT_log(3, 4), 2);
    json();
    EXPECT_EQ(BROT_log(1, 2), 1);
}

TEST(BeckenrotationLog, NonFinitePointIsNotLogged)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    OVAL o, danach;
    aufnahme(schraeg, &o);
    // Idle: no recording is opened, the stored result stays.
    EXPECT_EQ(BROT_log(inf, 0), 0);
    EXPECT_TRUE(gleich(bericht(), o));
    // Recording: the point is not appended.
    EXPECT_EQ(BROT_log(0, 0), 1);
    EXPECT_EQ(BROT_log(4, 0), 2);
    EXPECT_EQ(BROT_log(1, nan), 0);
    EXPECT_EQ(BROT_log(-inf, 2), 0);
    EXPECT_EQ(BROT_log(1, 2), 3);
    // Finite doubles that are infinite in single precision are refused
    // too; the largest ones that round to FLT_MAX are taken.
    EXPECT_EQ(BROT_log(1e39, 0), 0);
    EXPECT_EQ(BROT_log(0, -1e308), 0);
    EXPECT_EQ(BROT_log(0x1.ffffffp+127, 0), 0);
    EXPECT_EQ(BROT_log(5, 2), 4);
    EXPECT_EQ(BROT_result(&danach), 0);
    EXPECT_TRUE(gleich(danach, o));
    aufnahme({{std::nextafter(0x1.ffffffp+127, 0.0), -(double)FLT_MAX}}, &danach);
    EXPECT_EQ(danach.center.x, FLT_MAX);
    EXPECT_EQ(danach.center.y, -FLT_MAX);
}

TEST(BeckenrotationFit, OverflowingFigureIsNoFigure)
{
    // Finite points whose mirrored points and corners overflow the float
    // range: no figure (code 1), the record of the last fit unchanged.
    OVAL o, danach;
    ASSERT_EQ(aufnahme(schraeg, &o), 0);
    EXPECT_EQ(aufnahme({{1e38, 1e38}, {-1e38, -1e38}, {3e38, -3e38}, {-3e38, 3e38}, {0, 0}},
                       &danach),
              1);
    EXPECT_TRUE(gleich(danach, o));
    // A centre sum beyond the float range stops the fit the same way.
    EXPECT_EQ(aufnahme({{3e38, 0}, {3e38, 1}, {-1, 0}}, &danach), 1);
    EXPECT_TRUE(gleich(danach, o));
    EXPECT_EQ(json().rfind("{\"ok\": \"false\", \"code\": 1, \"width\": 100.000,", 0), 0u);
}

TEST(BeckenrotationJson, LongestTextFitsTheStatedBound)
{
    // Every number has at most the 44 characters of -FLT_MAX with three
    // decimals, against 5 for 0.000 in the 361-character text.
    char zahl[64];
    int breiteste = snprintf(zahl, sizeof zahl, "%.3f", (double)-FLT_MAX);
    EXPECT_EQ(breiteste, 44);
    EXPECT_EQ(BROT_JSON_LAENGE_MAX, 361 + 20 * (breiteste - 5));
}

TEST(BeckenrotationJson, GeneratedCloudsGiveFiniteFiguresAndValidJson)
{
    // Clouds at every scale from subnormal to the float limit, some points
    // beyond it: every record stays finite, every text fits the bound, and
    // python3's parser (no NaN or Infinity constants) reads every text.
    const double skalen[] = {1e-42, 1e-30, 1e-3, 1, 1e6, 1e20, 1e36, 1e38, 3e38, 3.4e38, 1e39};
    uint64_t z = 20261208;
    auto zufall = [&z]() {
        z = z * 6364136223846793005ull + 1442695040888963407ull;
        return (double)(z >> 11) / 9007199254740992.0;
    };
    // One file per process: the plain and the valgrind run share a folder.
    const std::string datei = "beckenrotation_json_" + std::to_string(getpid()) + ".txt";
    FILE* f = fopen(datei.c_str(), "w");
    ASSERT_NE(f, nullptr);
    int vollstaendig = 0, n_texte = 0;
    size_t laengste = 0;
    for (int runde = 0; runde < 400; ++runde) {
        bericht();
        // One scale per cloud and axis; now and then a point of any scale.
        const int n = 1 + (int)(zufall() * 30);
        const double kx = skalen[(int)(zufall() * 11)], ky = skalen[(int)(zufall() * 11)];
        for (int i = 0; i < n; ++i) {
            bool ausreisser = zufall() < 0.1;
            double sx = ausreisser ? skalen[(int)(zufall() * 11)] : kx;
            double sy = ausreisser ? skalen[(int)(zufall() * 11)] : ky;
            BROT_log(sx * (2 * zufall() - 1), sy * (2 * zufall() - 1));
        }
        OVAL o;
        int rc = BROT_result(&o);
        EXPECT_TRUE(rc >= 0 && rc <= 2);
        vollstaendig += rc == 0;
        const float* w = &o.center.x;
        for (size_t i = 0; i < sizeof(OVAL) / sizeof(float); ++i)
            ASSERT_TRUE(std::isfinite(w[i])) << "runde " << runde << " feld " << i;
        std::string text = json();
        ASSERT_FALSE(text.empty());
        laengste = std::max(laengste, text.size());
        EXPECT_LE(text.size(), (size_t)BROT_JSON_LAENGE_MAX);
        fprintf(f, "%s\n", text.c_str());
        ++n_texte;
    }
    fclose(f);
    EXPECT_GT(vollstaendig, 50);
    EXPECT_GT(laengste, 361u + 200u);
    if (std::system("python3 -c '' 2>/dev/null") != 0)
        GTEST_SKIP() << "python3 not available: JSON texts not parsed";
    const std::string pruefung =
        "python3 -c 'import json, sys\n"
        "def k(c): raise ValueError(c)\n"
        "n = sum(1 for zeile in open(sys.argv[1]) if json.loads(zeile, parse_constant=k))\n"
        "sys.exit(0 if n == int(sys.argv[2]) else 1)' " +
        datei + " " + std::to_string(n_texte);
    EXPECT_EQ(std::system(pruefung.c_str()), 0);
    std::remove(datei.c_str());
}

TEST(BeckenrotationLogcop, CentreOfPressureIsLogged)
{
    OVAL o;
    aufnahme({}, &o);
    TestBild bild(4, 6, {{2, 5, 10}});
    EXPECT_EQ(BROT_logcop(&bild.dbld), 1);
    TestBild zwei(2, 2, {{1, 1, 5}});
    EXPECT_EQ(BROT_logcop(&zwei.dbld), 2);
    // (5, 2) and (1, 1): centre (3, 1.5); one point each side, none above g1.
    EXPECT_EQ(BROT_result(&o), 1);
    EXPECT_PUNKT(o.center, 3, 1.5);
}

TEST(BeckenrotationLogcop, WithoutPressureLeavesLogAndStateAlone)
{
    OVAL o, danach;
    aufnahme(schraeg, &o);
    TestBild leer(3, 3);
    TestBild spalte0(3, 3, {{1, 0, 9}}); // centre in column 0: no result
    // Idle: no recording is opened, no new fit.
    EXPECT_EQ(BROT_logcop(&leer.dbld), 0);
    EXPECT_EQ(BROT_logcop(&spalte0.dbld), 0);
    EXPECT_TRUE(gleich(bericht(), o));
    // Recording: nothing appended.
    EXPECT_EQ(BROT_log(0, 0), 1);
    EXPECT_EQ(BROT_log(4, 0), 2);
    EXPECT_EQ(BROT_logcop(&leer.dbld), 0);
    EXPECT_EQ(BROT_log(1, 2), 3);
    EXPECT_EQ(BROT_logcop(&spalte0.dbld), 0);
    EXPECT_EQ(BROT_log(5, 2), 4);
    EXPECT_EQ(BROT_result(&danach), 0);
    EXPECT_TRUE(gleich(danach, o));
}

TEST(BeckenrotationJson, NeverWritesPastSize)
{
    OVAL o;
    ASSERT_EQ(aufnahme(schraeg, &o), 0);
    const std::string voll = json();
    const size_t n = voll.size();
    for (size_t size = 0; size <= n + 3; ++size) {
        std::vector<char> puffer(n + 8, '#');
        int r = BROT_json_result(puffer.data(), size);
        if (size >= n + 1) {
            EXPECT_EQ(r, (int)n) << size;
            EXPECT_EQ(std::string(puffer.data()), voll);
        } else {
            EXPECT_EQ(r, 0) << size;
        }
        for (size_t i = size; i < puffer.size(); ++i)
            ASSERT_EQ(puffer[i], '#') << "size " << size << " byte " << i;
    }
    EXPECT_EQ(BROT_json_result(nullptr, 1000), 0);
    // A null buffer still ends the recording like any report.
    for (const auto& p : schraeg)
        BROT_log(p.first, p.second);
    EXPECT_EQ(BROT_json_result(nullptr, 0), 0);
    EXPECT_EQ(BROT_log(0, 0), 1);
}

} // namespace
