// The pelvic rotation log from several threads at once (BROT_*).  A file
// of its own, so that the ThreadSanitizer build (make test-tsan) can run it
// alone, without the rest of the unit test program.
#include "dbld.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

// Six threads logging at once, one of them also reporting, for a quarter
// of a second each: every count stays within the ring, and no store lands
// outside it (the ring pointer was advanced past its last point and another
// thread stored through it before it wrapped; the sanitizers see that).
// The points mix in the one log, so no figure of theirs is checked; the
// log works on one thread afterwards.
TEST(BeckenrotationFaeden, SixThreadsLogInsideTheRing)
{
    std::atomic<int> falsch{0};
    std::atomic<long> aufrufe{0};
    auto arbeit = [&](int faden) {
        const auto ende = std::chrono::steady_clock::now() + std::chrono::milliseconds(250);
        char json[512];
        long n = 0;
        while (std::chrono::steady_clock::now() < ende) {
            for (int i = 0; i < 1000; ++i, ++n) {
                int k = BROT_log(i % 50, faden);
                if (k < 1 || k > 600)
                    ++falsch;
            }
            if (faden == 0) {
                OVAL o;
                int rc = BROT_result(&o);
                if (rc < 0 || rc > 2 || BROT_json_result(json, sizeof json) <= 0)
                    ++falsch;
            }
        }
        aufrufe += n;
    };
    std::vector<std::thread> faeden;
    for (int t = 0; t < 6; ++t)
        faeden.emplace_back(arbeit, t);
    for (auto& f : faeden)
        f.join();
    EXPECT_EQ(falsch.load(), 0) << aufrufe.load() << " calls";

    // One thread again: a report closes the mixed recording, the next
    // points make a recording of their own.
    OVAL o;
    BROT_result(&o);
    const double punkte[][2] = {{0, 0}, {4, 0}, {1, 2}, {5, 2}};
    int n = 0;
    for (const auto& p : punkte)
        EXPECT_EQ(BROT_log(p[0], p[1]), ++n);
    ASSERT_EQ(BROT_result(&o), 0);
    EXPECT_EQ(o.width, 100.0f);
    EXPECT_EQ(o.height, 40.0f);
    EXPECT_EQ(o.c2.x, 7.5f);
}

} // namespace
