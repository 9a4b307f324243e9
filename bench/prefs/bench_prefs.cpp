// Opening the preferences window (build, show, first paint) on each page with
// heavy settings: 10,000 applications in the statistics, 3,000 excluded and
// 3,000 work applications, 5,000 dictionary words, names with emoji and
// right-to-left text. Offscreen Qt platform.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QImage>

#include "core/ai/AIClient.h"
#include "core/config/AppConfig.h"
#include "core/config/AppLogger.h"
#include "core/dispatch/ManualQueue.h"
#include "core/dispatch/VirtualClock.h"
#include "core/knowledge/TypoCache.h"
#include "core/net/OfflineHttpClient.h"
#include "platform/sim/MemoryFileSystem.h"
#include "platform/sim/SimSystemEnvironment.h"
#include "platform/sim/SimWorkspace.h"
#include "ui/prefs/PreferencesWindow.h"

namespace {

using namespace quorix;

QApplication& application() {
    static int argc = 1;
    static char name[] = "bench_prefs";
    static char* argv[] = {name, nullptr};
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication app(argc, argv);
    return app;
}

struct World {
    dispatch::VirtualClock clock;
    platform::SimWorkspace workspace;
    platform::SimSystemEnvironment env;
    platform::MemoryFileSystem files;
    AppLogger logger{"/nonexistent", files, clock, nullptr, StorageMode::readOnly};
    AppConfig config{"/nonexistent", files, logger, clock, workspace, env, StorageMode::readOnly};
    dispatch::ManualQueue io{clock};
    TypoCache cache{"/nonexistent", files, io, logger};
    net::OfflineHttpClient offline;
    AIClient ai{config, logger, offline, env, clock};

    World() {
        std::map<std::string, int64_t> counts;
        std::vector<std::string> excluded, work;
        std::set<std::string> words;
        for (int i = 0; i < 10000; ++i) {
            counts["App 💬 مرحبا " + std::to_string(i)] = 1 + (i * 7919) % 500;
        }
        for (int i = 0; i < 3000; ++i) {
            excluded.push_back("org.example.tool" + std::to_string(i));
            work.push_back("com.example.work" + std::to_string(i));
        }
        for (int i = 0; i < 5000; ++i) {
            words.insert("parola" + std::to_string(i) + (i % 3 == 0 ? "🙂" : ""));
        }
        config.setAppTypoCounts(counts);
        config.setTotalTyposCorrected(1234567);
        config.setCustomBlacklistedApps(excluded);
        config.setExecutiveWorkApps(work);
        config.setWhitelistWords(words);
    }
};

void openPage(benchmark::State& state, ui::PrefsTab tab) {
    application();
    World world;
    ui::PreferencesServices services(world.config, world.logger, world.cache, world.ai);
    for (auto _ : state) {
        ui::prefs::PreferencesWindow window(services);
        window.show(tab);
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.grab().toImage().width());
    }
}

BENCHMARK_CAPTURE(openPage, stats, ui::PrefsTab::stats)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(openPage, general, ui::PrefsTab::general)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(openPage, ai, ui::PrefsTab::ai)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(openPage, tone, ui::PrefsTab::tone)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(openPage, exceptions, ui::PrefsTab::whitelist)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(openPage, updates, ui::PrefsTab::updates)->Unit(benchmark::kMillisecond);

}  // namespace
