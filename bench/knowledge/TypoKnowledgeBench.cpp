// Send-path costs of the knowledge layer: a cache lookup, and a local
// correction of a short Italian message with the real spell checker.

#include <benchmark/benchmark.h>

#include <string>

#include "bench/knowledge/OfflineDictionaryServices.h"
#include "core/dispatch/SerialQueue.h"
#include "core/knowledge/TypoCache.h"

namespace quorix {
namespace {

void BM_TypoCacheGet(benchmark::State& state) {
    OfflineDictionaryServices services;
    dispatch::SerialQueue io("bench.cache.io", services.clock);
    TypoCache cache(services.folder + "/cache", services.fs, io, services.logger);
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
    OfflineDictionaryServices services;
    services.spell.preload();
    const auto dict = services.load();
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
