// Send-path costs of the knowledge layer: a cache lookup, a local correction
// of a short Italian message with the real spell checker, and the start-up
// load of the typo maps shipped in resources/Dictionaries.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "core/config/AppLogger.h"
#include "core/dispatch/ManualQueue.h"
#include "core/dispatch/SerialQueue.h"
#include "core/dispatch/VirtualClock.h"
#include "core/knowledge/LanguageDetector.h"
#include "core/knowledge/LocalTypoDictionary.h"
#include "core/knowledge/TypoCache.h"
#include "core/net/OfflineHttpClient.h"
#include "platform/linux/Cld2LanguageRecognizer.h"
#include "platform/linux/NuspellSpellChecker.h"
#include "platform/sim/SimPreferencesStore.h"

namespace quorix {
namespace {

const std::string kShippedDictionaries = std::string(QUORIX_SOURCE_DIR) + "/resources/Dictionaries";

std::string scratchFolder() {
    static const std::string folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "quorix-bench-XXXXXX").string();
        return std::string(::mkdtemp(pattern.data()));
    }();
    return folder;
}

struct Services {
    dispatch::VirtualClock clock;
    AppLogger logger{scratchFolder(), clock, nullptr};
    platform::NuspellSpellChecker spell;
    platform::Cld2LanguageRecognizer recognizer;
    LanguageDetector detector{recognizer};
    platform::SimPreferencesStore prefs;
    dispatch::ManualQueue utility{clock};
    net::OfflineHttpClient http;

    LocalTypoDictionary::Dependencies dependencies() {
        return {.configFolder = scratchFolder() + "/penwarden",
                .resourceFolders = {},
                .developmentFolder = kShippedDictionaries,
                .spell = spell,
                .detector = detector,
                .logger = logger,
                .http = http,
                .prefs = prefs,
                .utilityQueue = utility,
                .clock = clock,
                .startSyncOnInit = false};
    }
};

void BM_TypoCacheGet(benchmark::State& state) {
    dispatch::VirtualClock clock;
    AppLogger logger(scratchFolder(), clock, nullptr);
    dispatch::SerialQueue io("bench.cache.io", clock);
    TypoCache cache(scratchFolder() + "/cache", io, logger);
    for (int i = 0; i < 600; ++i) {
        cache.set("Ciao, ci vediamo domani alle " + std::to_string(i) + "?", "ok");
    }
    cache.flushForTesting();
    const bool hit = state.range(0) != 0;
    const std::string text = hit ? "  Ciao, ci vediamo domani alle 300?\n" : "  Nessuna voce\n";
    for (auto _ : state) {
        benchmark::DoNotOptimize(cache.get(text));
    }
    state.SetLabel(hit ? "hit" : "miss");
}
BENCHMARK(BM_TypoCacheGet)->Arg(1)->Arg(0);

void BM_TryCorrectLocally(benchmark::State& state) {
    Services services;
    services.spell.preload();
    LocalTypoDictionary dict(services.dependencies());
    // 12 words, two typos.
    const std::string message = "Ciao Marco, cge ne dici di vederci domani sera? Qeusto va bene";
    if (dict.tryCorrectLocally(message) !=
        "Ciao Marco, che ne dici di vederci domani sera? Questo va bene") {
        state.SkipWithError("unexpected correction");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(dict.tryCorrectLocally(message));
    }
}
BENCHMARK(BM_TryCorrectLocally)->Unit(benchmark::kMicrosecond);

void BM_LoadTypoMaps(benchmark::State& state) {
    Services services;
    for (auto _ : state) {
        LocalTypoDictionary dict(services.dependencies());
        benchmark::DoNotOptimize(dict.mergedCount());
    }
}
BENCHMARK(BM_LoadTypoMaps)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorix
