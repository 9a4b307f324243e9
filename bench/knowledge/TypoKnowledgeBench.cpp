// Send-path costs of the knowledge layer: a cache lookup, and a local
// correction of a short Italian message with the real spell checker.

#include <benchmark/benchmark.h>

#include <string>

#include "core/dispatch/SerialQueue.h"
#include "core/knowledge/TypoCache.h"
#include "services/OfflineKnowledge.h"

namespace quorix {
namespace {

const std::string kShippedDictionaries = std::string(QUORIX_SOURCE_DIR) + "/resources/Dictionaries";

void BM_TypoCacheGet(benchmark::State& state) {
    services::OfflineKnowledge knowledge;
    dispatch::SerialQueue io("bench.cache.io", knowledge.clock());
    TypoCache cache(knowledge.scratchFolder() + "/cache", knowledge.files(), io,
                    knowledge.logger());
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
    services::OfflineKnowledge knowledge;
    knowledge.spell().preload();
    const auto dict = knowledge.loadDictionary(kShippedDictionaries);
    // 12 words, two typos.
    const std::string message = "Ciao Marco, cge ne dici di vederci domani sera? Qeusto va bene";
    if (dict->tryCorrectLocally(message) !=
        "Ciao Marco, che ne dici di vederci domani sera? Questo va bene") {
        state.SkipWithError("unexpected correction");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(dict->tryCorrectLocally(message));
    }
}
BENCHMARK(BM_TryCorrectLocally)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quorix
