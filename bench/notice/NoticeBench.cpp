// The floating notice under a real Qt event loop (offscreen platform):
//   BM_CallToPainted: an engine thread calls show / hide; time until the pill
//     has painted the new state (median and p95, ms);
//   BM_IdleAfterDismissal: after a toast is dismissed, the notice's running
//     timers and animations (must be 0), the timer events delivered and the
//     main thread's CPU time during one second of idle event loop.
#include <benchmark/benchmark.h>
#include <time.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "core/config/AppConfig.h"
#include "core/config/AppLogger.h"
#include "core/dispatch/ManualQueue.h"
#include "core/dispatch/VirtualClock.h"
#include "core/knowledge/TypoCache.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/sim/SimSoundPlayer.h"
#include "platform/sim/SimSystemEnvironment.h"
#include "platform/sim/SimWorkspace.h"
#include "ui/ConfettiOverlay.h"
#include "ui/FloatingNotice.h"

namespace {

using namespace quorix;
using Clock = std::chrono::steady_clock;

struct Services {
    std::string home = [] {
        std::string t = (std::filesystem::temp_directory_path() / "quorix-bench-XXXXXX").string();
        return std::string(::mkdtemp(t.data()));
    }();
    std::string folder = home + "/.config/penwarden";
    dispatch::VirtualClock clock;
    platform::SimWorkspace workspace{home};
    platform::SimSystemEnvironment env{home, {"it-IT"}};
    platform::PosixFileSystem fs;
    AppLogger logger{folder, fs, clock, nullptr};
    AppConfig config{folder, fs, logger, clock, workspace, env, StorageMode::readOnly};
    dispatch::ManualQueue io;
    TypoCache cache{folder, fs, io, logger};
    platform::SimJournal journal{clock};
    platform::SimSoundPlayer sounds{journal};
    ~Services() {
        std::error_code ignored;
        std::filesystem::remove_all(home, ignored);
    }
};

double threadCpuMs() {
    timespec ts{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size())))];
}

void BM_CallToPainted(benchmark::State& state) {
    Services s;
    ui::ConfettiOverlay confetti(&s.logger, [] { return true; });
    ui::FloatingNotice notice({s.config, s.cache, s.sounds}, &confetti);
    std::atomic<int> painted{0};
    notice.pill().onPainted = [&] { painted.fetch_add(1); };
    std::vector<double> samples;
    int i = 0;
    for (auto _ : state) {
        const int before = painted.load();
        Clock::time_point called;
        std::thread engine([&] {
            called = Clock::now();
            if (i % 2 == 0) {
                notice.show(i % 4 == 0 ? "Correzione in corso..."
                                       : "Dirav Aroveridide in azione...");
            } else {
                notice.hide("Corretto ✓",
                            i % 3 == 0 ? std::optional<std::string>("qeusto") : std::nullopt);
            }
        });
        engine.join();
        while (painted.load() == before) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - called).count();
        state.SetIterationTime(ms / 1e3);
        samples.push_back(ms);
        ++i;
    }
    state.counters["median_ms"] = percentile(samples, 0.5);
    state.counters["p95_ms"] = percentile(samples, 0.95);
    notice.hide(std::nullopt, std::nullopt);
}
BENCHMARK(BM_CallToPainted)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

// Counts timer events delivered anywhere but to the loop's own stop timer.
struct TimerEventCounter final : QObject {
    const QObject* ignored = nullptr;
    int count = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Timer && watched != ignored) {
            ++count;
        }
        return false;
    }
};

void BM_IdleAfterDismissal(benchmark::State& state) {
    Services s;
    ui::ConfettiOverlay confetti(&s.logger, [] { return true; });
    ui::FloatingNotice notice({s.config, s.cache, s.sounds}, &confetti);
    double running = 0, timerEvents = 0, cpuMs = 0, shownCpuMs = 0;
    const auto idleSecond = [&](TimerEventCounter* counter) {
        QEventLoop loop;
        QTimer stop;
        stop.setSingleShot(true);
        QObject::connect(&stop, &QTimer::timeout, &loop, &QEventLoop::quit);
        if (counter != nullptr) {
            counter->ignored = &stop;
        }
        const double cpu = threadCpuMs();
        stop.start(1000);
        loop.exec();
        return threadCpuMs() - cpu;
    };
    for (auto _ : state) {
        notice.showToast("🎉 Quorix: 10° Refuso evitato!", 1.0);
        shownCpuMs += idleSecond(nullptr);  // the notice up, turning, with confetti
        QElapsedTimer waited;
        waited.start();
        while (notice.panel().isVisible() || confetti.isVisible()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        running += notice.runningTimers();
        TimerEventCounter counter;
        qApp->installEventFilter(&counter);
        cpuMs += idleSecond(&counter);
        qApp->removeEventFilter(&counter);
        timerEvents += counter.count;
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["timers_running_after"] = running / n;
    state.counters["timer_events_idle_1s"] = timerEvents / n;
    state.counters["cpu_ms_idle_1s"] = cpuMs / n;
    state.counters["cpu_ms_shown_1s"] = shownCpuMs / n;
}
BENCHMARK(BM_IdleAfterDismissal)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
