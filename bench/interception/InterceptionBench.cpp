// Key routing and the Return-to-posted-Return latency of the correction flow on
// the simulated desktop. The desktop runs in virtual time, so the flow's fixed
// waits (key posts, paste waits) cost nothing: the figures are the program's
// own work, thread hops included.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "core/ai/AIClient.h"
#include "core/config/AppConfig.h"
#include "core/config/AppLogger.h"
#include "core/dispatch/Dispatcher.h"
#include "core/dispatch/ManualQueue.h"
#include "core/interception/EventInterceptor.h"
#include "core/interception/KeyCodes.h"
#include "core/knowledge/LanguageDetector.h"
#include "core/knowledge/LocalTypoDictionary.h"
#include "core/knowledge/TypoCache.h"
#include "core/net/OfflineHttpClient.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimPreferencesStore.h"
#include "platform/sim/SimScenes.h"
#include "platform/sim/SimSystemEnvironment.h"
#include "platform/sim/SimWorkspace.h"
#include "services/DictionaryAssembly.h"
#include "services/InterceptorAssembly.h"

namespace quorix {
namespace {

std::string makeTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorix-bench-XXXXXX").string();
    return ::mkdtemp(pattern.data());
}

// Words listed as typos are misspelled in every language; all others are fine.
class ListSpellChecker final : public platform::SpellChecker {
  public:
    explicit ListSpellChecker(std::set<std::string> typos) : typos_(std::move(typos)) {}
    bool isMisspelled(std::string_view word, std::string_view) override {
        return typos_.contains(std::string(word));
    }

  private:
    const std::set<std::string> typos_;
};

class ItalianRecognizer final : public platform::LanguageRecognizer {
  public:
    void reset() override {}
    void processString(std::string_view) override {}
    std::string dominantLanguage() override { return "it"; }
};

class SilentNotice final : public Notice {
  public:
    void show(const std::string&) override {}
    void hide(const std::optional<std::string>&, const std::optional<std::string>&) override {}
    void showToast(const std::string&, double) override {}
};

// The whole graph over a chat application of the simulated desktop.
struct Graph {
    Graph()
        : folder(makeTempFolder()),
          desktop(workspace),
          logger(folder, fs, desktop.clock(), nullptr, StorageMode::readOnly),
          config(folder, fs, logger, desktop.clock(), workspace, env, StorageMode::readOnly),
          mainQueue(desktop.clock()),
          dispatcher(desktop.clock(), mainQueue),
          detector(recognizer),
          cache(folder, fs, dispatcher.global(dispatch::QoS::utility), logger),
          dictionary(services::dictionaryDependencies(
              {.files = fs,
               .spell = spell,
               .detector = detector,
               .logger = logger,
               .http = offline,
               .prefs = prefs,
               .utilityQueue = dispatcher.global(dispatch::QoS::utility),
               .clock = desktop.clock(),
               .settings = &config},
              {.configFolder = folder,
               .resourceFolders = {std::string(QUORIX_SOURCE_DIR) + "/resources"},
               .developmentFolder = {}})),
          ai(config, logger, offline, env, desktop.clock()) {
        chat = platform::addChatApp(desktop, 101, "org.telegram.desktop", "Telegram");
        interceptor = std::make_unique<EventInterceptor>(
            services::interceptorServices(services::CoreServices{.config = config,
                                                                 .logger = logger,
                                                                 .cache = cache,
                                                                 .dictionary = dictionary,
                                                                 .ai = ai,
                                                                 .detector = detector,
                                                                 .spell = spell,
                                                                 .dispatcher = dispatcher},
                                          services::simDesktopPorts(desktop, workspace), notice));
        interceptor->setPipelineObserver([this](const PipelineReport& report) {
            std::lock_guard lock(mutex);
            lastPath = report.path;
            runs.fetch_add(1);
        });
        interceptor->start();
    }
    ~Graph() {
        interceptor.reset();
        dispatcher.drainGlobal();
        cache.flushForTesting();
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }

    // Presses Return on `text` and returns once the flow has posted its Return
    // and isWorking is clear again.
    std::string sendAndWait(const std::string& text) {
        desktop.setText(chat.field, text);
        const int before = runs.load();
        desktop.pressKey(keys::kReturn);
        while (runs.load() == before) {
        }
        while (interceptor->isWorking()) {
            mainQueue.runUntilIdle();
        }
        std::lock_guard lock(mutex);
        return lastPath;
    }

    std::string folder;
    platform::SimWorkspace workspace;
    platform::SimDesktop desktop;
    platform::SimSystemEnvironment env{"/home/sim", {"it-IT"}};
    platform::PosixFileSystem fs;
    AppLogger logger;
    AppConfig config;
    dispatch::ManualQueue mainQueue;
    dispatch::Dispatcher dispatcher;
    ListSpellChecker spell{{"grazei", "cge"}};
    ItalianRecognizer recognizer;
    LanguageDetector detector;
    net::OfflineHttpClient offline;
    platform::SimPreferencesStore prefs;
    TypoCache cache;
    LocalTypoDictionary dictionary;
    AIClient ai;
    SilentNotice notice;
    platform::SimChatApp chat;
    std::unique_ptr<EventInterceptor> interceptor;
    std::mutex mutex;
    std::string lastPath;
    std::atomic<int> runs{0};
};

// A letter key: routing only (the background precheck is postponed, never run,
// since virtual time does not move); held by the hook (0) or already delivered
// to the application (1, the X11 raw keys).
void BM_RouteNonReturnKey(benchmark::State& state) {
    Graph graph;
    const platform::KeyEvent key{.keyCode = keys::kC, .alreadyDelivered = state.range(0) == 1};
    for (auto _ : state) {
        benchmark::DoNotOptimize(graph.interceptor->handleEvent(key));
    }
}
BENCHMARK(BM_RouteNonReturnKey)->Arg(0)->Arg(1);

// Sends messages until the benchmark ends; each must take expectedPath.
void runFlow(benchmark::State& state, const std::function<void(Graph&)>& setUp,
             const std::function<std::string(long)>& message, const std::string& expectedPath) {
    Graph graph;
    setUp(graph);
    long n = 0;
    for (auto _ : state) {
        const std::string path = graph.sendAndWait(message(++n));
        if (path != expectedPath) {
            state.SkipWithError(("unexpected path " + path).c_str());
            break;
        }
        if (graph.desktop.journal().size() > 10'000) {
            state.PauseTiming();
            graph.desktop.journal().clear();
            state.ResumeTiming();
        }
    }
}

// Return to posted Return when the cache holds the correction.
void BM_ReturnToSendCacheHit(benchmark::State& state) {
    runFlow(
        state, [](Graph& g) { g.cache.set("ciao cge fai", "ciao che fai"); },
        [](long) { return std::string("ciao cge fai"); }, "cache");
}
BENCHMARK(BM_ReturnToSendCacheHit)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Return to posted Return when the local dictionary settles the message (each
// message is new, so the cache never answers).
void BM_ReturnToSendLocalDictionary(benchmark::State& state) {
    runFlow(
        state, [](Graph&) {}, [](long n) { return "grazei mille a tutti " + std::to_string(n); },
        "local");
}
BENCHMARK(BM_ReturnToSendLocalDictionary)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
}  // namespace quorix
