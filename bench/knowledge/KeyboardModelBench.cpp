// The keyboard model of the last local step, over the shipped
// keyboard_<lang>.txt files:
//  - BM_KeyboardModelLoad/<lang>: reading and indexing one language's model
//    (what the first rejected word of that language pays); counter
//    "model_MB": the memory the model holds;
//  - BM_KeyboardModelPerRejectedWord/<lang>: one rejected word through
//    NoisyChannelCorrector (spell checks in the five languages, candidates,
//    scoring), with real nuspell; counters "p50_us" and "p99_us" over the
//    slipped words of the 2000 lexicon words after the 200 most frequent;
//    "p99_best_us": the same over each word's fastest run (what a word costs
//    when other processes leave the core and its caches alone);
//  - BM_KeyboardModelSuggest/<lang>: the model's part alone (candidates and
//    scoring, no spell checks), same counters;
//  - BM_KeyboardModelGermanCompound: the same for slipped German compounds
//    of two lexicon nouns (compound search included); counter "changed_pct";
//  - BM_KeyboardModelCandidateCheck/<lang>: the candidates of random slips
//    against a scan of the whole lexicon; counter "mismatches" (must be 0).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "bench/knowledge/BenchTiming.h"
#include "core/knowledge/NoisyChannelCorrector.h"
#include "core/text/Text.h"
#include "language/NuspellSpellChecker.h"

namespace quorix {
namespace {

using bench::threadMicros;
using bench::timingCounters;

const std::string kShipped = std::string(QUORIX_SOURCE_DIR) + "/resources/Dictionaries/";
const char* const kLanguages[] = {"it", "en", "de", "es", "fr"};

std::string readModel(std::string_view language) {
    std::ifstream in(kShipped + NoisyChannelCorrector::fileName(language), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

void BM_KeyboardModelLoad(benchmark::State& state) {
    const std::string language = kLanguages[state.range(0)];
    const std::string data = readModel(language);
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto model = NoisyChannelModel::parse(data);
        if (!model) {
            state.SkipWithError("no model file");
            return;
        }
        bytes = model->memoryBytes();
        benchmark::DoNotOptimize(model);
    }
    state.SetLabel(language);
    state.counters["model_MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
}
BENCHMARK(BM_KeyboardModelLoad)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

// Lexicon words of ranks 200..2200 of a model file, each with its two
// middle letters swapped (words under five letters skipped).
std::vector<std::string> slippedWords(const std::string& data) {
    std::vector<std::string> out;
    std::size_t pos = 0;
    std::size_t line = 0;
    while (pos < data.size() && out.size() < 2000) {
        const std::size_t end = data.find('\n', pos);
        const std::string word = data.substr(pos, end - pos);
        pos = end + 1;
        if (++line < 7 + 200) {
            continue;
        }
        std::u32string w = text::toUtf32(word);
        if (w.size() < 5) {
            continue;
        }
        std::swap(w[w.size() / 2], w[w.size() / 2 - 1]);
        out.push_back(text::fromUtf32(w));
    }
    return out;
}

void BM_KeyboardModelPerRejectedWord(benchmark::State& state) {
    const std::string language = kLanguages[state.range(0)];
    const std::string data = readModel(language);
    language::NuspellSpellChecker spell;
    spell.preload();
    NoisyChannelCorrector corrector(spell, [&](std::string_view) { return data; });
    const std::vector<std::string> words = slippedWords(data);
    if (words.empty() || corrector.model(language) == nullptr) {
        state.SkipWithError("no model file");
        return;
    }
    std::vector<double> micros;
    std::size_t i = 0;
    for (auto _ : state) {
        const double start = threadMicros();
        auto pass = corrector.correct(words[i++ % words.size()], language);
        micros.push_back(threadMicros() - start);
        benchmark::DoNotOptimize(pass);
    }
    state.SetLabel(language);
    timingCounters(state, micros, words.size());
}
BENCHMARK(BM_KeyboardModelPerRejectedWord)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

// The spell checks alone: each slipped word against the five languages'
// checkers, the text's language first (what an applied correction asks).
void BM_KeyboardModelSpellChecks(benchmark::State& state) {
    const std::string language = kLanguages[state.range(0)];
    const std::string data = readModel(language);
    language::NuspellSpellChecker spell;
    spell.preload();
    const std::vector<std::string> words = slippedWords(data);
    if (words.empty()) {
        state.SkipWithError("no model file");
        return;
    }
    std::vector<double> micros;
    std::size_t i = 0;
    for (auto _ : state) {
        const std::string lower = text::toLower(words[i++ % words.size()]);
        const double start = threadMicros();
        bool rejected = spell.isMisspelled(lower, language);
        for (const char* other : kLanguages) {
            rejected = rejected && (other == language || spell.isMisspelled(lower, other));
        }
        micros.push_back(threadMicros() - start);
        benchmark::DoNotOptimize(rejected);
    }
    state.SetLabel(language);
    timingCounters(state, micros, words.size());
}
BENCHMARK(BM_KeyboardModelSpellChecks)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

// The model's part alone: candidates and scoring, no spell checks.
void BM_KeyboardModelSuggest(benchmark::State& state) {
    const std::string language = kLanguages[state.range(0)];
    const std::string data = readModel(language);
    const auto model = NoisyChannelModel::parse(data);
    const std::vector<std::string> words = slippedWords(data);
    if (!model || words.empty()) {
        state.SkipWithError("no model file");
        return;
    }
    std::vector<std::u32string> typed;
    for (const std::string& w : words) {
        typed.push_back(text::toUtf32(text::toLower(w)));
    }
    std::vector<double> micros;
    std::size_t i = 0;
    for (auto _ : state) {
        const double start = threadMicros();
        auto suggestion = model->suggest(typed[i++ % typed.size()]);
        micros.push_back(threadMicros() - start);
        benchmark::DoNotOptimize(suggestion);
    }
    state.SetLabel(language);
    timingCounters(state, micros, typed.size());
}
BENCHMARK(BM_KeyboardModelSuggest)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

// German compounds of two lexicon nouns (ranks 200 onwards, the tail's two
// middle letters swapped): what a long word outside the lexicon costs,
// compound search included.
std::vector<std::string> slippedCompounds(const std::string& data) {
    std::vector<std::string> nouns;
    std::size_t pos = 0;
    for (std::size_t line = 0; pos < data.size() && nouns.size() < 1000; ++line) {
        const std::size_t end = data.find('\n', pos);
        const std::string word = data.substr(pos, end - pos);
        pos = end + 1;
        const std::size_t letters = text::toUtf32(word).size();
        if (line >= 7 + 200 && letters >= 4 && letters <= 10 && text::toLower(word) != word) {
            nouns.push_back(word);
        }
    }
    std::vector<std::string> out;
    for (std::size_t i = 0; i + 1 < nouns.size(); i += 2) {
        std::u32string tail = text::toUtf32(text::toLower(nouns[i + 1]));
        std::swap(tail[tail.size() / 2], tail[tail.size() / 2 - 1]);
        out.push_back(nouns[i] + text::fromUtf32(tail));
    }
    return out;
}

void BM_KeyboardModelGermanCompound(benchmark::State& state) {
    const std::string data = readModel("de");
    language::NuspellSpellChecker spell;
    spell.preload();
    NoisyChannelCorrector corrector(spell, [&](std::string_view) { return data; });
    const std::vector<std::string> words = slippedCompounds(data);
    if (words.empty() || corrector.model("de") == nullptr) {
        state.SkipWithError("no model file");
        return;
    }
    std::vector<double> micros;
    double changed = 0;
    std::size_t i = 0;
    for (auto _ : state) {
        const double start = threadMicros();
        auto pass = corrector.correct(words[i++ % words.size()], "de");
        micros.push_back(threadMicros() - start);
        changed += pass.text ? 1 : 0;
    }
    state.SetLabel("de");
    timingCounters(state, micros, words.size());
    state.counters["changed_pct"] = 100 * changed / static_cast<double>(micros.size());
}
BENCHMARK(BM_KeyboardModelGermanCompound)->Unit(benchmark::kMicrosecond);

// Slips of one or two random edits of lexicon words; their candidates must
// be exactly the lexicon words within the edits (a scan of every word).
void BM_KeyboardModelCandidateCheck(benchmark::State& state) {
    const std::string language = kLanguages[state.range(0)];
    const std::string data = readModel(language);
    const auto model = NoisyChannelModel::parse(data);
    if (!model) {
        state.SkipWithError("no model file");
        return;
    }
    // The words follow the header, whose last line is "keep <count>".
    std::vector<std::u32string> lexicon;
    std::size_t pos = data.find("\nkeep ");
    pos = pos == std::string::npos ? data.size() : data.find('\n', pos + 1) + 1;
    while (pos < data.size() && lexicon.size() < model->wordCount()) {
        const std::size_t end = data.find('\n', pos);
        lexicon.push_back(text::toUtf32(text::toLower(data.substr(pos, end - pos))));
        pos = end + 1;
    }
    std::mt19937 random(17);
    const std::u32string letters = U"abcdefghilmnoprstuvzàèéìòùäöüßñç'";
    double mismatches = 0;
    for (auto _ : state) {
        std::u32string typed = lexicon[random() % std::min<std::size_t>(lexicon.size(), 5000)];
        for (int edit = random() % 2; edit >= 0 && !typed.empty(); --edit) {
            const std::size_t at = random() % typed.size();
            const char32_t letter = letters[random() % letters.size()];
            switch (random() % 4) {
                case 0:
                    typed.erase(at, 1);
                    break;
                case 1:
                    typed.insert(at, 1, letter);
                    break;
                case 2:
                    typed[at] = letter;
                    break;
                default:
                    std::swap(typed[at], typed[(at + 1) % typed.size()]);
            }
        }
        const int maxEdits = typed.size() >= NoisyChannelModel::kTwoEditLength ? 2 : 1;
        std::vector<std::string> expected;
        for (std::size_t id = 0; id < lexicon.size(); ++id) {
            const int d = KeyboardErrorModel::boundedDistance(lexicon[id], typed, maxEdits);
            if (d > 0 && d <= maxEdits) {
                expected.push_back(text::fromUtf32(lexicon[id]));
            }
        }
        std::vector<std::string> found = model->candidates(typed);
        for (std::string& word : found) {
            word = text::toLower(word);
        }
        mismatches += found != expected ? 1 : 0;
    }
    state.SetLabel(language);
    state.counters["mismatches"] = mismatches;
}
BENCHMARK(BM_KeyboardModelCandidateCheck)
    ->DenseRange(0, 4)
    ->Iterations(2000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorix
