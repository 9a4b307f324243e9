// The context models (context_<lang>.txt) of the last local step:
//  - BM_ContextModelLoad/<lang>: parsing one language's file (paid with its
//    keyboard model, on the first rejected word); counter "context_MB": the
//    memory it holds;
//  - BM_ContextPerRejectedWord/<lang>/<0|1>: one rejected word between two
//    known neighbours through NoisyChannelCorrector (real nuspell), without
//    (0) and with (1) the context model; counters "p50_us", "p99_us" and
//    "p99_best_us" (thread CPU time, BenchTiming.h) over the slipped words of
//    the lexicon words of ranks 200..2200;
//  - BM_ContextSuggest/<lang>/<0|1>: the same words through the model's part
//    alone (no spell checks), without and with the context factor.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/knowledge/BenchTiming.h"
#include "core/knowledge/NoisyChannelCorrector.h"
#include "core/text/Text.h"
#include "language/NuspellSpellChecker.h"

namespace quorix {
namespace {

const std::string kShipped = std::string(QUORIX_SOURCE_DIR) + "/resources/Dictionaries/";
const char* const kLanguages[] = {"it", "en", "de", "es", "fr"};

std::string readFile(const std::string& name) {
    std::ifstream in(kShipped + name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

void BM_ContextModelLoad(benchmark::State& state) {
    const std::string language = kLanguages[state.range(0)];
    const std::string data = readFile(NoisyChannelCorrector::contextFileName(language));
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto model = ContextModel::parse(data);
        if (!model) {
            state.SkipWithError("no context file");
            return;
        }
        bytes = model->memoryBytes();
        benchmark::DoNotOptimize(model);
    }
    state.SetLabel(language);
    state.counters["context_MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
}
BENCHMARK(BM_ContextModelLoad)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

// "<left> <slip> <right>" for lexicon words of ranks 200..2200 of a keyboard
// model file (two middle letters swapped, words under five letters skipped),
// between the two most frequent context words of three letters or more.
std::vector<std::string> slippedPhrases(const std::string& keyboard, const ContextModel* context,
                                        std::string_view language) {
    std::string left = "x";
    std::string right = "x";
    if (context != nullptr) {
        const std::string data = readFile(NoisyChannelCorrector::contextFileName(language));
        std::size_t pos = 0;
        for (int line = 0; pos < data.size() && line < 200 && right == "x"; ++line) {
            const std::size_t end = data.find('\n', pos);
            const std::string word = data.substr(pos, data.find(' ', pos) - pos);
            pos = end + 1;
            if (line >= 7 && text::characterCount(word) >= 3 && word.back() != '\'') {
                (left == "x" ? left : right) = word;
            }
        }
    }
    std::vector<std::string> out;
    std::size_t pos = 0;
    std::size_t line = 0;
    while (pos < keyboard.size() && out.size() < 2000) {
        const std::size_t end = keyboard.find('\n', pos);
        const std::string word = keyboard.substr(pos, end - pos);
        pos = end + 1;
        std::u32string w = text::toUtf32(word);
        if (++line < 7 + 200 || w.size() < 5) {
            continue;
        }
        std::swap(w[w.size() / 2], w[w.size() / 2 - 1]);
        out.push_back(left + " " + text::fromUtf32(w) + " " + right);
    }
    return out;
}

void BM_ContextPerRejectedWord(benchmark::State& state) {
    const std::string language = kLanguages[state.range(0)];
    const bool withContext = state.range(1) != 0;
    const std::string keyboard = readFile(NoisyChannelCorrector::fileName(language));
    const std::string context = readFile(NoisyChannelCorrector::contextFileName(language));
    language::NuspellSpellChecker spell;
    spell.preload();
    NoisyChannelCorrector corrector(
        spell, [&](std::string_view) { return keyboard; }, {},
        [&](std::string_view) { return withContext ? std::optional(context) : std::nullopt; });
    if (corrector.model(language) == nullptr ||
        (withContext && corrector.context(language) == nullptr)) {
        state.SkipWithError("no model file");
        return;
    }
    // The same phrases for both runs.
    const auto probe = ContextModel::parse(context);
    const std::vector<std::string> phrases = slippedPhrases(keyboard, probe.get(), language);
    std::vector<double> micros;
    std::size_t i = 0;
    for (auto _ : state) {
        const double start = bench::threadMicros();
        auto pass = corrector.correct(phrases[i++ % phrases.size()], language);
        micros.push_back(bench::threadMicros() - start);
        benchmark::DoNotOptimize(pass);
    }
    state.SetLabel(language + (withContext ? " with context" : " without context"));
    bench::timingCounters(state, micros, phrases.size());
}
BENCHMARK(BM_ContextPerRejectedWord)
    ->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

// The model's part alone (candidates and scoring, no spell checks), without
// (0) and with (1) the neighbours' context factor; the difference is the
// context term's cost per rejected word.
void BM_ContextSuggest(benchmark::State& state) {
    const std::string language = kLanguages[state.range(0)];
    const std::string keyboard = readFile(NoisyChannelCorrector::fileName(language));
    const auto model = NoisyChannelModel::parse(keyboard);
    const auto context =
        ContextModel::parse(readFile(NoisyChannelCorrector::contextFileName(language)));
    if (!model || !context) {
        state.SkipWithError("no model file");
        return;
    }
    std::vector<std::u32string> typed;
    std::vector<ContextModel::Neighbours> around;
    for (const std::string& phrase : slippedPhrases(keyboard, context.get(), language)) {
        const auto words = text::splitWords(phrase);
        typed.push_back(text::toUtf32(text::toLower(words[1])));
        around.push_back(state.range(1) != 0
                             ? context->neighbours(text::toUtf32(words[0]), text::toUtf32(words[2]))
                             : ContextModel::Neighbours{});
    }
    std::vector<double> micros;
    std::size_t i = 0;
    for (auto _ : state) {
        const std::size_t k = i++ % typed.size();
        const double start = bench::threadMicros();
        auto suggestion = model->suggest(typed[k], model->thresholds(), around[k]);
        micros.push_back(bench::threadMicros() - start);
        benchmark::DoNotOptimize(suggestion);
    }
    state.SetLabel(language + (state.range(1) != 0 ? " with context" : " without context"));
    bench::timingCounters(state, micros, typed.size());
}
BENCHMARK(BM_ContextSuggest)->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1}})->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quorix
