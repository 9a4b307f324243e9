// End-to-end send latency: a physical Return (XTest on the physical keyboard
// device) until the chat window's field receives a Return, read from the key
// times the window logs (CLOCK_MONOTONIC, the clock std::chrono::steady_clock
// reads). Measured in one run without Quorix and with `quorix daemon`: a
// message that needs no change, a cache hit and a local correction, through
// accessibility and through the clipboard path (a window off the
// accessibility bus); and a letter key's arrival, with and without Quorix,
// while typing and right after a message (see letters()).
//
// The samples are taken in rounds, each with a block without Quorix and a
// block with a freshly started daemon, in alternating order, so that the
// machine's load and any drift over the run weigh on both sides alike.
//
// Not a test: run by hand, ideally against a release build:
//   QUORIX_E2E_DAEMON=build/release/cli/quorix quorix_e2e_latency
//       [--samples=N] [--rounds=R]
// It prints median and 95th percentile per case and the delay Quorix adds.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/DaemonFixture.h"

namespace quorix::e2e {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

int samples = 50;
int rounds = 5;

const std::string kChat = std::string(QUORIX_BINARY_DIR) + "/tests/e2e/quorix_e2e_chatapp";
constexpr long long kQtKeyReturn = 0x01000004;
constexpr long long kQtKeyX = 'X';

const std::vector<std::string> kWords = {
    "oggi",  "domani", "stasera", "adesso",  "dopo",   "sempre", "ancora",  "spesso",
    "poi",   "qui",    "bene",    "ora",     "presto", "tardi",  "insieme", "fuori",
    "sotto", "sopra",  "subito",  "lontano", "vicino", "prima",  "allora",  "magari"};

struct Figures {
    double median = 0;
    double p95 = 0;
};

Figures figuresOf(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    const std::size_t n = ms.size();
    if (n == 0) {
        return {};
    }
    Figures f;
    f.median = n % 2 == 1 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
    f.p95 = ms[std::min(n - 1, (n * 95 + 99) / 100 - 1)];
    return f;
}

std::string tail(int i) {
    const auto n = static_cast<std::size_t>(i);
    // Two different words: a repeated one is suspicious and goes to the AI.
    return " " + kWords[n % kWords.size()] + " " +
           kWords[(n + 1 + n / kWords.size()) % kWords.size()];
}

class ReturnLatency : public DaemonFixture {
  protected:
    struct Window {
        pid_t pid = -1;
        std::string sent;
        // The key log read so far, and the last press of each key in it.
        std::size_t keysRead = 0;
        std::map<long long, long long> lastPress;
    };

    Window open(const std::string& name, bool accessible) {
        Window w;
        w.sent = desktop_->folder() + "/" + name + ".sent";
        std::map<std::string, std::string> env;
        if (!accessible) {
            env["AT_SPI_BUS_ADDRESS"] = "unix:path=" + desktop_->folder() + "/no-bus";
        }
        w.pid = desktop_->start(name, {kChat, w.sent}, env).pid();
        EXPECT_TRUE(focusWindowOf(w.pid));
        return w;
    }
    // The arrival time of the last press of key in the window, or -1. Reads
    // only what the window logged since the last call: the log grows over the
    // run, and reading it whole at every poll would load the machine more
    // and more.
    static long long lastArrival(Window& w, long long key) {
        std::ifstream in(w.sent + ".keys", std::ios::binary);
        in.seekg(static_cast<std::streamoff>(w.keysRead));
        std::string line;
        while (std::getline(in, line) && !in.eof()) {
            w.keysRead += line.size() + 1;
            std::stringstream fields(line);
            long long ns = 0, k = 0;
            if (fields >> ns >> k) {
                w.lastPress[k] = ns;
            }
        }
        const auto it = w.lastPress.find(key);
        return it == w.lastPress.end() ? -1 : it->second;
    }
    static std::size_t sentCount(const Window& w) {
        const std::string text = readFile(w.sent);
        return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    }
    static long long nowNs() {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
            .count();
    }
    // Types, presses Return, and times until the window's field received a
    // Return; -1 when the message did not leave as expected.
    double send(Window& w, const std::string& typed, const std::string& expected) {
        const std::size_t before = sentCount(w);
        driver_->type(typed, 4);
        std::this_thread::sleep_for(60ms);
        const long long pressed = nowNs();
        driver_->stroke("Return", "", 0);
        if (!waitUntil([&] { return sentCount(w) > before; }, 20s, 1ms)) {
            return -1;
        }
        waitUntilIdle();
        std::stringstream in(readFile(w.sent));
        std::string line, last;
        while (std::getline(in, line)) {
            last = line;
        }
        if (last != expected) {
            std::printf("[latency] sent \"%s\", expected \"%s\"\n", last.c_str(), expected.c_str());
            return -1;
        }
        return static_cast<double>(lastArrival(w, kQtKeyReturn) - pressed) / 1e6;
    }
    // One letter key, press to arrival.
    double letter(Window& w) {
        const long long before = lastArrival(w, kQtKeyX);
        const long long pressed = nowNs();
        driver_->stroke("x", "", 0);
        waitUntil([&] { return lastArrival(w, kQtKeyX) != before; }, 5s, 1ms);
        const double ms = static_cast<double>(lastArrival(w, kQtKeyX) - pressed) / 1e6;
        std::this_thread::sleep_for(20ms);
        return ms;
    }

    // A daemon of its own for each round: its log is name's output.
    ChildProcess& startDaemonNamed(const std::string& name) {
        writeConfiguration();
        ChildProcess& daemon = desktop_->start(name, {daemonBinary(), "daemon"});
        const bool ready = waitUntil(
            [&] { return countIn(logOf(name), "[LocalTypoDictionary] Inizializzato") > 0; }, 60s);
        EXPECT_TRUE(ready) << "the daemon did not start";
        return daemon;
    }
    std::string logOf(const std::string& name) const {
        return desktop_->outputOf(name) + desktop_->errorsOf(name);
    }
    static std::size_t countIn(const std::string& text, const std::string& fragment) {
        std::size_t count = 0;
        for (auto at = text.find(fragment); at != std::string::npos;
             at = text.find(fragment, at + 1)) {
            ++count;
        }
        return count;
    }

    std::map<std::string, std::vector<double>> ms_;
    // A sample whose message did not leave as expected is counted, not timed.
    void record(const std::string& what, double ms) {
        if (ms < 0) {
            ++failed_[what];
        } else {
            ms_[what].push_back(ms);
        }
    }
    std::map<std::string, int> failed_;
    // Three letters after a message. The first comes from the physical
    // keyboard right after Quorix posted through the XTEST device: the server
    // switches the core keyboard between the two devices and announces a new
    // keyboard to every client, and toolkits reload their keymap; the second
    // still feels it; the third is typing in a steady state.
    void letters(const std::string& who, Window& w) {
        record("first letter after a message, " + who, letter(w));
        record("second letter after a message, " + who, letter(w));
        record("letter key while typing, " + who, letter(w));
        for (int i = 0; i < 3; ++i) {
            driver_->stroke("BackSpace", "", 0);
        }
    }
    // The same switch without Quorix: another client posts a key (Shift)
    // through the XTEST device, then the user types.
    void lettersAfterAnotherClientsPost(Window& w) {
        driver_->strokeThroughXtest("Shift_L");
        std::this_thread::sleep_for(60ms);
        record("first letter after an XTEST post, no Quorix", letter(w));
        record("second letter after an XTEST post, no Quorix", letter(w));
        for (int i = 0; i < 2; ++i) {
            driver_->stroke("BackSpace", "", 0);
        }
    }
    void report(const std::string& what, const std::string& baseline) {
        const Figures f = figuresOf(ms_[what]);
        const Figures b = figuresOf(ms_[baseline]);
        std::printf("[latency] %-46s n=%3zu (%d failed) median %7.2f ms  p95 %7.2f ms",
                    what.c_str(), ms_[what].size(), failed_[what], f.median, f.p95);
        if (what != baseline) {
            std::printf("   added: median %+7.2f ms  p95 %+7.2f ms", f.median - b.median,
                        f.p95 - b.p95);
        }
        std::printf("\n");
    }
};

TEST_F(ReturnLatency, PhysicalReturnToTheChatWindow) {
    Window ax = open("ax", true);
    Window clip = open("clip", false);
    setClipboard("appunti dell'utente");
    int message = 0;
    std::size_t cacheHits = 0;
    const int perRound = (samples + rounds - 1) / rounds;
    const auto withoutQuorix = [&](int count) {
        for (int i = 0; i < count; ++i) {
            for (Window* w : {&ax, &clip}) {
                ASSERT_TRUE(focusWindowOf(w->pid));
                const std::string text = "ci vediamo" + tail(message++);
                record(w == &ax ? "no Quorix, accessible window" : "no Quorix, clipboard window",
                       send(*w, text, text));
                letters("no Quorix", *w);
                lettersAfterAnotherClientsPost(*w);
            }
        }
    };
    const auto withQuorix = [&](int round, int count) {
        ChildProcess& daemon = startDaemonNamed("daemon-" + std::to_string(round));
        for (Window* w : {&ax, &clip}) {
            ASSERT_TRUE(focusWindowOf(w->pid));
            const std::string path = w == &ax ? "accessibility" : "clipboard";
            // A daemon's first message in a window meets everything cold (its
            // first contact with the application, files not read yet): it
            // runs all day, so that message is not counted.
            const std::string warmUp = "ci vediamo" + tail(message++);
            send(*w, warmUp, warmUp);
            if (w == &clip) {
                std::this_thread::sleep_for(650ms);
            }
            for (int i = 0; i < count; ++i) {
                const std::string t = tail(message++);
                record(path + ": no change", send(*w, "ci vediamo" + t, "ci vediamo" + t));
                record(path + ": local correction",
                       send(*w, "ciao cge fai" + t, "ciao che fai" + t));
                record(path + ": cache hit", send(*w, "ciao cge fai" + t, "ciao che fai" + t));
                letters("Quorix", *w);
                // The clipboard comes back 0.6 s after a write-back.
                if (w == &clip) {
                    std::this_thread::sleep_for(650ms);
                }
            }
        }
        cacheHits += countIn(logOf("daemon-" + std::to_string(round)), "[Cache HIT]");
        daemon.stop();
    };
    for (int round = 0, done = 0; done < samples; ++round) {
        const int count = std::min(perRound, samples - done);
        if (round % 2 == 0) {
            withoutQuorix(count);
            withQuorix(round, count);
        } else {
            withQuorix(round, count);
            withoutQuorix(count);
        }
        done += count;
    }
    report("no Quorix, accessible window", "no Quorix, accessible window");
    for (const char* c : {"no change", "local correction", "cache hit"}) {
        report(std::string("accessibility: ") + c, "no Quorix, accessible window");
    }
    report("no Quorix, clipboard window", "no Quorix, clipboard window");
    for (const char* c : {"no change", "local correction", "cache hit"}) {
        report(std::string("clipboard: ") + c, "no Quorix, clipboard window");
    }
    for (const char* c : {"letter key while typing", "second letter after a message",
                          "first letter after a message"}) {
        const std::string baseline = std::string(c) + ", no Quorix";
        report(baseline, baseline);
        report(std::string(c) + ", Quorix", baseline);
    }
    for (const char* c : {"first", "second"}) {
        report(std::string(c) + " letter after an XTEST post, no Quorix",
               std::string(c) + " letter after a message, no Quorix");
    }
    std::printf("[latency] cache hits logged %zu of %d\n", cacheHits, 2 * samples);
}

}  // namespace
}  // namespace quorix::e2e

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--samples=", 0) == 0) {
            quorix::e2e::samples = std::max(2, std::atoi(arg.c_str() + 10));
        } else if (arg.rfind("--rounds=", 0) == 0) {
            quorix::e2e::rounds = std::max(1, std::atoi(arg.c_str() + 9));
        }
    }
    return RUN_ALL_TESTS();
}
