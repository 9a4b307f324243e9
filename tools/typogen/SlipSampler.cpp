#include "tools/typogen/SlipSampler.h"

#include <algorithm>
#include <vector>

#include "core/text/Text.h"

namespace quorix::typogen {

namespace {

constexpr int kTries = 4;

struct Span {
    std::size_t from = 0;
    std::size_t to = 0;
};

// Runs of letters of at least three letters, as code point spans; in
// English a negation's "'t" belongs to its word ("can't").
std::vector<Span> wordSpans(const std::u32string& s, bool english) {
    std::vector<Span> out;
    std::size_t i = 0;
    while (i < s.size()) {
        if (!text::isLetter(s[i])) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < s.size() && text::isLetter(s[j])) {
            ++j;
        }
        const std::size_t letters = j - i;
        if (english && j + 1 < s.size() && text::isApostrophe(s[j]) &&
            (s[j + 1] == U't' || s[j + 1] == U'T') &&
            (j + 2 == s.size() || !text::isLetter(s[j + 2]))) {
            j += 2;
        }
        if (letters >= 3) {
            out.push_back({i, j});
        }
        i = j;
    }
    return out;
}

}  // namespace

SlipSampler::SlipSampler(std::string language, uint32_t seed,
                         std::function<bool(std::string_view)> acceptedAnywhere)
    : language_(std::move(language)),
      edits_(Keyboard::forLanguage(language_), language_),
      rng_(seed),
      acceptedAnywhere_(std::move(acceptedAnywhere)) {}

double SlipSampler::uniform() {
    return static_cast<double>(rng_()) / 4294967296.0;
}

std::optional<std::u32string> SlipSampler::slipOf(std::u32string_view lowerWord) {
    const std::vector<Edit> all = edits_.edits(lowerWord);
    double total = 0;
    for (const Edit& e : all) {
        total += e.likelihood;
    }
    if (total <= 0) {
        return std::nullopt;
    }
    double pick = uniform() * total;
    for (const Edit& e : all) {
        pick -= e.likelihood;
        if (pick < 0) {
            return e.typo;
        }
    }
    return all.back().typo;
}

std::optional<SlippedSentence> SlipSampler::slip(std::string_view sentence) {
    const std::u32string s = text::toUtf32(sentence);
    const std::vector<Span> spans = wordSpans(s, language_ == "en");
    if (spans.empty()) {
        return std::nullopt;
    }
    for (int attempt = 0; attempt < kTries; ++attempt) {
        const Span span = spans[rng_() % spans.size()];
        const std::u32string word = s.substr(span.from, span.to - span.from);
        const std::string wordText = text::fromUtf32(word);
        const std::string lower = text::toLower(wordText);
        // Acronyms and words in capitals are left to other tools.
        const std::size_t capitals =
            static_cast<std::size_t>(std::count_if(word.begin(), word.end(), [](char32_t c) {
                const std::string s = text::fromUtf32(std::u32string(1, c));
                return text::toLower(s) != s;
            }));
        if (capitals >= 2 || !acceptedAnywhere_(wordText)) {
            continue;
        }
        const auto typo = slipOf(text::toUtf32(lower));
        if (!typo || acceptedAnywhere_(text::fromUtf32(*typo))) {
            continue;
        }
        std::string typed = text::fromUtf32(*typo);
        if (text::toLower(text::firstCharacter(wordText)) != text::firstCharacter(wordText)) {
            typed = text::toUpper(text::firstCharacter(typed)) +
                    typed.substr(text::firstCharacter(typed).size());
        }
        SlippedSentence out;
        out.expected = std::string(sentence);
        out.input =
            text::fromUtf32(s.substr(0, span.from)) + typed + text::fromUtf32(s.substr(span.to));
        out.typo = typed;
        out.word = wordText;
        return out;
    }
    return std::nullopt;
}

}  // namespace quorix::typogen
