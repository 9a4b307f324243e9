// Per-request preparation cost of an AI correction for a 200-character message:
// masking, the system instruction and the request bodies.

#include <benchmark/benchmark.h>

#include <set>
#include <string>

#include "core/ai/GeminiFormat.h"
#include "core/ai/OpenAIChatFormat.h"
#include "core/ai/PlaceholderMasker.h"
#include "core/ai/SystemPrompt.h"

namespace {

// 200 characters with a link, a mention, a channel and a ticket identifier.
const std::string& message() {
    static const std::string m = [] {
        std::string s =
            "ciao @Mario Rossi, ho visto il report su https://example.com/report?id=42 e "
            "secondo me va rivisto prima della call di domani in #team-dev, vedi anche PROJ-1234 "
            "per i dettagli, grazie mille";
        s.resize(200, '.');
        return s;
    }();
    return m;
}

const std::set<std::string>& words() {
    static const std::set<std::string> w = {"quorix", "acme",   "slack", "jira", "figma",
                                            "notion", "linear", "zoom",  "miro", "github"};
    return w;
}

void BM_Mask(benchmark::State& state) {
    for (auto _ : state) {
        auto urls = quorix::PlaceholderMasker::maskURLs(message());
        auto tags = quorix::PlaceholderMasker::maskTags(urls.maskedText);
        benchmark::DoNotOptimize(tags);
    }
}
BENCHMARK(BM_Mask)->Unit(benchmark::kMicrosecond);

void BM_MaskUnmaskRoundTrip(benchmark::State& state) {
    for (auto _ : state) {
        auto urls = quorix::PlaceholderMasker::maskURLs(message());
        auto tags = quorix::PlaceholderMasker::maskTags(urls.maskedText);
        auto back = quorix::PlaceholderMasker::unmaskURLs(
            quorix::PlaceholderMasker::unmaskTags(tags.maskedText, tags.map), urls.map);
        benchmark::DoNotOptimize(back);
    }
}
BENCHMARK(BM_MaskUnmaskRoundTrip)->Unit(benchmark::kMicrosecond);

void BM_SystemPrompt(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(quorix::SystemPrompt::build(false, true, words()));
    }
}
BENCHMARK(BM_SystemPrompt)->Unit(benchmark::kMicrosecond);

// What one OpenAI-compatible attempt costs before the network: mask, build the
// instruction, serialise the body.
void BM_OpenAIRequestFull(benchmark::State& state) {
    for (auto _ : state) {
        auto urls = quorix::PlaceholderMasker::maskURLs(message());
        auto tags = quorix::PlaceholderMasker::maskTags(urls.maskedText);
        auto body = quorix::OpenAIChatFormat::requestBody(
            "llama-3.1-8b-instant", quorix::SystemPrompt::build(false, true, words()),
            tags.maskedText);
        benchmark::DoNotOptimize(body);
    }
}
BENCHMARK(BM_OpenAIRequestFull)->Unit(benchmark::kMicrosecond);

void BM_GeminiRequestBody(benchmark::State& state) {
    const std::string prompt = quorix::SystemPrompt::build(false, true, words());
    for (auto _ : state) {
        benchmark::DoNotOptimize(quorix::GeminiFormat::requestBody(prompt, message()));
    }
}
BENCHMARK(BM_GeminiRequestBody)->Unit(benchmark::kMicrosecond);

}  // namespace
