// Hot-path costs of core/text: the cache key (trim + toLower), counting
// characters, and a URL scan with a precompiled regex.

#include "core/text/Regex.h"
#include "core/text/Text.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace quorix::text;

// 60 characters each; the Italian one has 8 accented letters (2 bytes each).
const std::string kAscii = "  Ciao Marco, ci vediamo domani alle otto al solito posto!  ";
const std::string kItalian = "  Perché no? Così è più facile, però sarà già tardi, città  ";
const std::string kEmoji =
    "Ciao 👋🏽 ci vediamo 🇮🇹 e\xCC\x81 domani 👨‍👩‍👧 alle otto al solito "
    "posto";

void BM_TrimToLower(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        std::string key = toLower(trim(text));
        benchmark::DoNotOptimize(key);
    }
}
BENCHMARK_CAPTURE(BM_TrimToLower, ascii60, kAscii);
BENCHMARK_CAPTURE(BM_TrimToLower, italian60, kItalian);

void BM_Trim(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(trim(text));
    }
}
BENCHMARK_CAPTURE(BM_Trim, ascii60, kAscii);
BENCHMARK_CAPTURE(BM_Trim, italian60, kItalian);

void BM_ToLower(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(toLower(text));
    }
}
BENCHMARK_CAPTURE(BM_ToLower, ascii60, kAscii);
BENCHMARK_CAPTURE(BM_ToLower, italian60, kItalian);

void BM_IsBlank(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(isBlank(text));
    }
}
BENCHMARK_CAPTURE(BM_IsBlank, ascii60, kAscii);

void BM_SplitWords(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(splitWords(text));
    }
}
BENCHMARK_CAPTURE(BM_SplitWords, ascii60, kAscii);
BENCHMARK_CAPTURE(BM_SplitWords, italian60, kItalian);

void BM_CharacterCount(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(characterCount(text));
    }
}
BENCHMARK_CAPTURE(BM_CharacterCount, ascii60, kAscii);
BENCHMARK_CAPTURE(BM_CharacterCount, italian60, kItalian);
BENCHMARK_CAPTURE(BM_CharacterCount, emoji, kEmoji);

void BM_CanonicallyEqual(benchmark::State& state) {
    const std::string decomposed = "Perche\xCC\x81 no? Cosi\xCC\x80 e\xCC\x80 piu\xCC\x80 facile";
    const std::string composed = nfc(decomposed);
    for (auto _ : state) {
        benchmark::DoNotOptimize(canonicallyEqual(composed, decomposed));
    }
}
BENCHMARK(BM_CanonicallyEqual);

// 200 characters with two URLs.
const std::string kUrlText =
    "Ciao! Ti mando il link del documento: https://docs.example.com/d/1AbC-xyz/edit?usp=sharing e "
    "anche quello vecchio www.example.it/pagina perché serve. Fammi sapere se funziona, grazie "
    "mille.";

void BM_FindAllUrl(benchmark::State& state) {
    static const Regex url = Regex::compile("(?:https?://|www\\.)[\\w.-]+(?:/[\\w./?%&=~+#-]*)?",
                                            Regex::kCaseInsensitive);
    const std::u16string text = toUtf16(kUrlText);
    for (auto _ : state) {
        benchmark::DoNotOptimize(url.findAll(text));
    }
    state.SetLabel(std::to_string(text.size()) + " UTF-16 units, " +
                   std::to_string(url.findAll(text).size()) + " matches");
}
BENCHMARK(BM_FindAllUrl);

void BM_FindAllUrlUtf8(benchmark::State& state) {
    static const Regex url = Regex::compile("(?:https?://|www\\.)[\\w.-]+(?:/[\\w./?%&=~+#-]*)?",
                                            Regex::kCaseInsensitive);
    for (auto _ : state) {
        benchmark::DoNotOptimize(url.findAll(kUrlText));
    }
}
BENCHMARK(BM_FindAllUrlUtf8);

}  // namespace
