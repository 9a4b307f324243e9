// Start-up cost of the five shipped typo maps (resources/Dictionaries): time
// to read and parse them into LocalTypoDictionary, and the memory they hold
// (counter "heap_MB": growth of the process's resident set over the run with
// one dictionary alive, measured from /proc/self/statm).

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "services/OfflineKnowledge.h"

namespace quorix {
namespace {

const std::string kShippedDictionaries = std::string(QUORIX_SOURCE_DIR) + "/resources/Dictionaries";

double residentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) /
           (1024.0 * 1024.0);
}

void BM_LoadFiveShippedTypoMaps(benchmark::State& state) {
    services::OfflineKnowledge knowledge;
    std::size_t pairs = 0;
    double grown = 0;
    for (auto _ : state) {
        const double before = residentMegabytes();
        auto dictionary = knowledge.loadDictionary(kShippedDictionaries);
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
