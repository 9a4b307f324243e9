// Measures how long a zenity entry dialog takes to receive a physical Return:
// without the daemon, then with it for a message that needs no change and for
// one corrected by the local dictionary (accessibility path). Not a test: run
// by hand, ideally against a release build (QUORIX_E2E_DAEMON names it):
//   QUORIX_E2E_DAEMON=build/release/cli/quorix quorix_e2e_latency [--samples=N]
// and read the printed medians and 90th percentiles.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "DaemonFixture.h"

namespace quorix::e2e {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

int samples = 20;

// Words that keep a message valid, so that every message differs (no cache
// hit) and the only typo is the one the local dictionary knows.
const std::vector<std::string> kWords = {
    "oggi",  "domani", "stasera", "adesso",  "dopo",   "sempre", "ancora",  "spesso",
    "poi",   "qui",    "bene",    "ora",     "presto", "tardi",  "insieme", "fuori",
    "sotto", "sopra",  "subito",  "lontano", "vicino", "prima",  "allora",  "magari"};

struct Figures {
    double median = 0;
    double p90 = 0;
};

Figures figuresOf(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    const std::size_t n = ms.size();
    Figures f;
    f.median = n % 2 == 1 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
    f.p90 = ms[std::min(n - 1, (n * 9 + 9) / 10 - 1)];
    return f;
}

class ReturnLatency : public DaemonFixture {
  protected:
    // One dialog: types, presses Return, and times until the dialog printed
    // what it received. nullopt-like -1 when it received something else.
    double once(const std::string& name, const std::string& typed, const std::string& expected) {
        startEntry(true, name);
        driver_->type(typed);
        std::this_thread::sleep_for(100ms);
        const auto pressed = Clock::now();
        driver_->stroke("Return", "", 0);
        if (!waitUntil([&] { return !desktop_->outputOf(name).empty(); }, 20s, 1ms))
            return -1;
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - pressed).count();
        const bool right = desktop_->outputOf(name) == expected + "\n";
        waitUntilIdle();
        return right ? ms : -1;
    }
    void report(const char* what, const std::vector<double>& ms) {
        const Figures f = figuresOf(ms);
        std::printf("[latency] %-28s n=%zu median %.1f ms  p90 %.1f ms\n", what, ms.size(),
                    f.median, f.p90);
    }
};

TEST_F(ReturnLatency, PhysicalReturnToDialog) {
    std::vector<double> bare, unchanged, corrected;
    for (int i = 0; i < samples; ++i) {
        const std::string word = kWords[static_cast<std::size_t>(i) % kWords.size()];
        const double ms =
            once("bare" + std::to_string(i), "ci vediamo " + word, "ci vediamo " + word);
        ASSERT_GE(ms, 0) << "dialog " << i;
        bare.push_back(ms);
    }
    startDaemon();
    for (int i = 0; i < samples; ++i) {
        const std::string word = kWords[static_cast<std::size_t>(i) % kWords.size()];
        const double same =
            once("same" + std::to_string(i), "ci vediamo " + word, "ci vediamo " + word);
        ASSERT_GE(same, 0) << "unchanged " << i;
        unchanged.push_back(same);
        const double fixed =
            once("fix" + std::to_string(i), "ciao cge fai " + word, "ciao che fai " + word);
        ASSERT_GE(fixed, 0) << "corrected " << i << "\n" << daemonLog();
        corrected.push_back(fixed);
    }
    report("no Quorix", bare);
    report("Quorix, no change", unchanged);
    report("Quorix, local correction", corrected);
    const std::size_t viaAccessibility =
        logCount("Testo prelevato istantaneamente via Accessibility API");
    const std::size_t written = logCount("[AX Direct Set]");
    std::printf("[latency] accessibility captures %zu of %d, accessibility writes %zu of %d\n",
                viaAccessibility, 2 * samples, written, samples);
    EXPECT_EQ(viaAccessibility, static_cast<std::size_t>(2 * samples));
    EXPECT_EQ(written, static_cast<std::size_t>(samples));
}

}  // namespace
}  // namespace quorix::e2e

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--samples=", 0) == 0)
            quorix::e2e::samples = std::max(2, std::atoi(arg.c_str() + 10));
    }
    return RUN_ALL_TESTS();
}
