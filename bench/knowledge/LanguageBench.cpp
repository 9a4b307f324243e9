// Spell checking and language detection costs:
//   BM_SpellCheckWord/<lang>        one nuspell verdict per word (words of that language's set
//   lines) BM_DetectLanguage/<rec>/<words> LanguageDetector::detectLanguage, with p50/p99 counters
//   (µs) BM_LoadDictionaries             start-up load of the five dictionaries (ms, RSS MB)

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/knowledge/LanguageDetector.h"
#include "core/text/Text.h"
#include "language/Cld2LanguageRecognizer.h"
#include "language/HybridLanguageRecognizer.h"
#include "language/NuspellSpellChecker.h"

namespace {

using quorix::language::NuspellSpellChecker;

const char* const kLanguages[] = {"it", "en", "de", "es", "fr"};

struct Line {
    std::string language;
    std::vector<std::string> words;
};

const std::vector<Line>& setLines() {
    static const std::vector<Line> lines = [] {
        std::vector<Line> out;
        std::ifstream in(QUORIX_SOURCE_DIR "/tests/data/langid/catalog-sentences.tsv");
        std::string raw;
        while (std::getline(in, raw)) {
            const std::size_t tab = raw.find('\t');
            if (tab != std::string::npos) {
                out.push_back({raw.substr(0, tab), quorix::text::splitWords(raw.substr(tab + 1))});
            }
        }
        return out;
    }();
    return lines;
}

NuspellSpellChecker& loadedChecker() {
    static NuspellSpellChecker checker;
    static const bool loaded = (checker.preload(), true);
    (void)loaded;
    return checker;
}

double residentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) /
           (1024.0 * 1024.0);
}

// Registered first so that it runs before anything else has loaded a dictionary;
// the first iteration's growth of resident memory is the one reported.
void BM_LoadDictionaries(benchmark::State& state) {
    double megabytes = 0.0;
    for (auto _ : state) {
        const double before = residentMegabytes();
        NuspellSpellChecker checker;
        checker.preload();
        megabytes = std::max(megabytes, residentMegabytes() - before);
        benchmark::DoNotOptimize(checker.isMisspelled("ciao", "it"));
    }
    state.counters["rss_mb"] = megabytes;
}
BENCHMARK(BM_LoadDictionaries)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SpellCheckWord(benchmark::State& state) {
    const char* language = kLanguages[state.range(0)];
    std::vector<std::string> words;
    for (const Line& line : setLines()) {
        if (line.language == language) {
            for (const std::string& word : line.words) {
                words.push_back(quorix::text::toLower(quorix::text::trimPunctuation(word)));
            }
        }
    }
    NuspellSpellChecker& checker = loadedChecker();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(checker.isMisspelled(words[i], language));
        i = (i + 1) % words.size();
    }
    state.SetLabel(language);
}
BENCHMARK(BM_SpellCheckWord)->DenseRange(0, 4);

// Arguments: recogniser (0 CLD2, 1 hybrid), word count.
void BM_DetectLanguage(benchmark::State& state) {
    const bool hybrid = state.range(0) == 1;
    const auto words = static_cast<std::size_t>(state.range(1));
    std::vector<std::string> texts;
    for (const Line& line : setLines()) {
        if (line.words.size() >= words) {
            std::string text;
            for (std::size_t i = 0; i < words; ++i) {
                text += (i > 0 ? " " : "") + line.words[i];
            }
            texts.push_back(std::move(text));
        }
    }
    std::unique_ptr<quorix::platform::LanguageRecognizer> recognizer;
    if (hybrid) {
        recognizer = std::make_unique<quorix::language::HybridLanguageRecognizer>(loadedChecker());
    } else {
        recognizer = std::make_unique<quorix::language::Cld2LanguageRecognizer>();
    }
    quorix::LanguageDetector detector(*recognizer);
    std::vector<double> micros;
    micros.reserve(1 << 16);
    std::size_t i = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(detector.detectLanguage(texts[i]));
        const auto stop = std::chrono::steady_clock::now();
        if (micros.size() < micros.capacity()) {
            micros.push_back(std::chrono::duration<double, std::micro>(stop - start).count());
        }
        i = (i + 1) % texts.size();
    }
    std::sort(micros.begin(), micros.end());
    if (!micros.empty()) {
        state.counters["p50_us"] = micros[micros.size() / 2];
        state.counters["p99_us"] = micros[std::min(micros.size() - 1, micros.size() * 99 / 100)];
    }
    state.SetLabel(hybrid ? "hybrid" : "cld2");
}
BENCHMARK(BM_DetectLanguage)->ArgsProduct({{0, 1}, {3, 5, 8, 15}});

}  // namespace
