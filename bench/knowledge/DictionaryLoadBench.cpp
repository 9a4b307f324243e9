// Start-up cost of the five shipped typo maps (resources/Dictionaries): time
// to read and parse them into LocalTypoDictionary, and the memory they hold
// (counter "heap_MB": growth of the process's resident set over the run with
// one dictionary alive, measured from /proc/self/statm).

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/config/AppLogger.h"
#include "core/dispatch/ManualQueue.h"
#include "core/dispatch/VirtualClock.h"
#include "core/knowledge/LanguageDetector.h"
#include "core/knowledge/LocalTypoDictionary.h"
#include "core/net/OfflineHttpClient.h"
#include "platform/linux/Cld2LanguageRecognizer.h"
#include "platform/linux/NuspellSpellChecker.h"
#include "platform/sim/SimPreferencesStore.h"

namespace quorix {
namespace {

const std::string kDictionaries = std::string(QUORIX_SOURCE_DIR) + "/resources/Dictionaries";

double residentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) /
           (1024.0 * 1024.0);
}

struct LoadServices {
    std::string folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "quorix-load-bench-XXXXXX").string();
        const char* made = ::mkdtemp(pattern.data());
        return made == nullptr ? std::string() : std::string(made);
    }();
    dispatch::VirtualClock clock;
    AppLogger logger{folder, clock, nullptr};
    platform::NuspellSpellChecker spell;
    platform::Cld2LanguageRecognizer recognizer;
    LanguageDetector detector{recognizer};
    platform::SimPreferencesStore prefs;
    dispatch::ManualQueue utility{clock};
    net::OfflineHttpClient http;

    ~LoadServices() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::unique_ptr<LocalTypoDictionary> load() {
        return std::make_unique<LocalTypoDictionary>(
            LocalTypoDictionary::Dependencies{.configFolder = folder + "/penwarden",
                                              .resourceFolders = {},
                                              .developmentFolder = kDictionaries,
                                              .spell = spell,
                                              .detector = detector,
                                              .logger = logger,
                                              .http = http,
                                              .prefs = prefs,
                                              .utilityQueue = utility,
                                              .clock = clock,
                                              .startSyncOnInit = false});
    }
};

void BM_LoadFiveShippedTypoMaps(benchmark::State& state) {
    LoadServices services;
    std::size_t pairs = 0;
    double grown = 0;
    for (auto _ : state) {
        const double before = residentMegabytes();
        auto dictionary = services.load();
        grown = std::max(grown, residentMegabytes() - before);
        pairs = dictionary->mergedCount();
        benchmark::DoNotOptimize(pairs);
        state.PauseTiming();
        dictionary.reset();
        state.ResumeTiming();
    }
    state.counters["pairs"] = static_cast<double>(pairs);
    state.counters["heap_MB"] = grown;
}
BENCHMARK(BM_LoadFiveShippedTypoMaps)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace quorix
