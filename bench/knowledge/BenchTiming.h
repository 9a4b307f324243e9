#pragma once
// Per-call timings of the knowledge benches: thread CPU time (one core's
// work, whatever else the machine runs), summarised as counters.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <limits>
#include <vector>

namespace quorix::bench {

// CPU time of the calling thread: one core's work, whatever else the
// machine runs meanwhile.
inline double threadMicros() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

// Timings of word i % words into `micros`; counters p50_us, p99_us and
// p99_best_us (each word's fastest run).
inline void timingCounters(benchmark::State& state, const std::vector<double>& micros,
                           std::size_t words) {
    if (words == 0 || micros.empty()) {
        return;
    }
    std::vector<double> best(std::min(words, micros.size()),
                             std::numeric_limits<double>::infinity());
    for (std::size_t i = 0; i < micros.size(); ++i) {
        best[i % best.size()] = std::min(best[i % best.size()], micros[i]);
    }
    std::vector<double> sorted = micros;
    std::sort(sorted.begin(), sorted.end());
    std::sort(best.begin(), best.end());
    state.counters["p50_us"] = sorted[sorted.size() / 2];
    state.counters["p99_us"] = sorted[sorted.size() * 99 / 100];
    state.counters["p99_best_us"] = best[best.size() * 99 / 100];
}

}  // namespace quorix::bench
