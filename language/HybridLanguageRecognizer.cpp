#include "language/HybridLanguageRecognizer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <vector>

#include "core/text/Text.h"
#include "language/Cld2LanguageRecognizer.h"
#include "language/LanguageCueTable.h"

namespace quorix::language {

namespace {

using Cues = LanguageCueTable;
constexpr std::size_t kLanguageCount = Cues::Count;
using Scores = std::array<double, kLanguageCount>;

// Vote weights, tuned on the even-numbered lines of each language of
// tests/data/langid/catalog-sentences.tsv (tools/langid-eval --part tune).
struct Weights {
    double cld = 2.0;            // CLD2's top three, times their share of the text
    double reliable = 1.0;       // extra for CLD2's answer when it calls it reliable
    double cldUnreliable = 0.5;  // CLD2's top three when it is not reliable
    double cldFullWords = 8;     // CLD2's vote reaches full weight at this many words
    double function = 2.0;       // a function word, shared among its languages
    double functionMiss = 0.5;   // a function word, against each language lacking it
    double character = 1.0;      // a telltale letter (once per word)
    double ending = 0.5;         // a typical word ending
    double group = 0.15;         // a typical letter group
    double spell = 1.0;          // a word accepted (or rejected, for the other leader)
    double noDictionary = 0.75;  // share of `spell` credited to pt/nl per checked word
    double spellMargin = 1.0;    // leaders closer than this are settled by spelling
    double minimum = 0.5;        // below this the evidence names no language
    std::size_t spellWords = 1;  // nuspell is costly (0.4-5 µs a word): one word only
    std::size_t spellMaxBytes = 12;
    std::size_t maxTokens = 12;  // words scored; CLD2 still reads the whole text
};

constexpr Weights kWeights{};

int languageOf(std::string_view code) {
    for (std::size_t i = 0; i < kLanguageCount; ++i) {
        if (code == Cues::kCodes[i]) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool hasDictionary(std::size_t language) {
    return language <= Cues::Fr;
}

// Relative cost of a nuspell lookup per language, dominated by rejected
// words: German and French try compounds and many affixes before refusing.
constexpr std::array<int, kLanguageCount> kSpellCost{0, 2, 4, 1, 3, 9, 9};

// Of two leaders, the one whose dictionary is cheaper to ask.
std::size_t cheaperToSpell(std::size_t a, std::size_t b) {
    return kSpellCost[a] <= kSpellCost[b] ? a : b;
}

// Only plain words are spell-checked: digits, hyphens and other symbols mark
// identifiers and compounds that no dictionary settles, at a high cost.
bool isPlainWord(std::string_view word) {
    for (std::size_t i = 0; i < word.size(); ++i) {
        const auto c = static_cast<unsigned char>(word[i]);
        if (c < 0x80 && !(c >= 'a' && c <= 'z') && !(c >= 'A' && c <= 'Z')) {
            return false;
        }
    }
    return true;
}

void addShared(Scores& scores, Cues::Mask mask, double weight) {
    if (mask == 0) {
        return;
    }
    const double share = weight / std::popcount(static_cast<unsigned>(mask));
    for (std::size_t i = 0; i < kLanguageCount; ++i) {
        if (mask & (1u << i)) {
            scores[i] += share;
        }
    }
}

struct Token {
    std::string word;  // lowercased, punctuation trimmed, elision removed
    bool functionWord = false;
};

// Splits at white space, trims punctuation, lowercases, turns ’ into ' and
// separates an elided article ("l'", "dell'", "qu'") from its word; the
// elision itself is scored as a function word.
std::vector<Token> tokenize(std::string_view text, const Cues& cues, Scores& scores,
                            const Weights& w) {
    std::vector<Token> tokens;
    for (const std::string& piece : text::splitWords(text)) {
        std::string word =
            text::toLower(text::replaceAll(text::trimPunctuation(piece), "\u2019", "'"));
        if (word.empty()) {
            continue;
        }
        const std::size_t apostrophe = word.find('\'');
        if (apostrophe != std::string::npos && apostrophe + 1 < word.size() && apostrophe <= 8) {
            addShared(scores, cues.functionWord(std::string_view(word).substr(0, apostrophe + 1)),
                      w.function);
            word.erase(0, apostrophe + 1);
        }
        tokens.push_back({std::move(word), false});
        if (tokens.size() >= w.maxTokens) {
            break;
        }
    }
    return tokens;
}

}  // namespace

HybridLanguageRecognizer::HybridLanguageRecognizer(platform::SpellChecker& spellChecker)
    : spellChecker_(spellChecker) {}

void HybridLanguageRecognizer::reset() {
    text_.clear();
}

void HybridLanguageRecognizer::processString(std::string_view text) {
    if (!text_.empty() && !text.empty()) {
        text_.push_back('\n');
    }
    text_.append(text);
}

std::string HybridLanguageRecognizer::dominantLanguage() {
    return classify(text_);
}

std::string HybridLanguageRecognizer::classify(std::string_view text) const {
    if (!text::isValidUtf8(text)) {
        return {};
    }
    const Weights& w = kWeights;
    const Cues& cues = Cues::instance();
    const Cld2Analysis cld = Cld2LanguageRecognizer::analyse(text);

    Scores scores{};
    std::vector<Token> tokens = tokenize(text, cues, scores, w);
    if (tokens.empty()) {
        return {};
    }
    // CLD2 calls nearly every short text reliable; its vote grows with length.
    const double cldTrust = std::min(1.0, static_cast<double>(tokens.size()) / w.cldFullWords);
    for (const Cld2Analysis::Candidate& candidate : cld.top) {
        const int language = languageOf(candidate.code);
        if (language >= 0) {
            scores[static_cast<std::size_t>(language)] +=
                cldTrust * (cld.reliable ? w.cld : w.cldUnreliable) * candidate.percent / 100.0;
        }
    }
    const int cldTop = languageOf(cld.code);
    if (cld.reliable && cldTop >= 0) {
        scores[static_cast<std::size_t>(cldTop)] += cldTrust * w.reliable;
    }
    for (Token& token : tokens) {
        const Cues::Mask function = cues.functionWord(token.word);
        token.functionWord = function != 0;
        addShared(scores, function, w.function);
        if (function != 0) {
            addShared(scores, static_cast<Cues::Mask>(~function & ((1u << kLanguageCount) - 1)),
                      -w.functionMiss *
                          (kLanguageCount - std::popcount(static_cast<unsigned>(function))));
        }
        Cues::Mask letters = 0;
        if (!std::all_of(token.word.begin(), token.word.end(),
                         [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
            for (char32_t c : text::toUtf32(token.word)) {
                if (c >= 0x80) {
                    letters |= cues.character(c);
                }
            }
        }
        for (std::size_t i = 0; i < kLanguageCount; ++i) {
            if (letters & (1u << i)) {
                addShared(scores, static_cast<Cues::Mask>(1u << i), w.character);
            }
        }
        if (!token.functionWord) {
            addShared(scores, cues.ending(token.word), w.ending);
            cues.forEachGroup(token.word,
                              [&](Cues::Mask mask) { addShared(scores, mask, w.group); });
        }
    }

    std::array<std::size_t, kLanguageCount> order{};
    for (std::size_t i = 0; i < kLanguageCount; ++i) {
        order[i] = i;
    }
    auto rank = [&] {
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return scores[a] > scores[b]; });
    };
    rank();
    const std::size_t first = order[0];
    const std::size_t second = order[1];
    if (scores[first] - scores[second] < w.spellMargin &&
        (hasDictionary(first) || hasDictionary(second))) {
        std::vector<const Token*> content;
        for (const Token& token : tokens) {
            if (!token.functionWord && token.word.size() >= 3 && isPlainWord(token.word) &&
                token.word.size() <= w.spellMaxBytes && content.size() < w.spellWords) {
                content.push_back(&token);
            }
        }
        const double third = scores[order[2]];
        for (std::size_t i = 0; i < content.size(); ++i) {
            // Stop once the remaining words can no longer change the order.
            const double gap = std::abs(scores[first] - scores[second]);
            if (gap > static_cast<double>(content.size() - i) * w.spell &&
                std::min(scores[first], scores[second]) > third) {
                break;
            }
            if (hasDictionary(first) && hasDictionary(second)) {
                // One lookup per word: acceptance counts for the language
                // asked, rejection for the other leader.
                const std::size_t asked = cheaperToSpell(first, second);
                const std::size_t other = asked == first ? second : first;
                scores[!spellChecker_.isMisspelled(content[i]->word, Cues::kCodes[asked])
                           ? asked
                           : other] += w.spell;
                continue;
            }
            for (std::size_t language : {first, second}) {
                if (!hasDictionary(language)) {
                    scores[language] += w.spell * w.noDictionary;
                } else if (!spellChecker_.isMisspelled(content[i]->word, Cues::kCodes[language])) {
                    scores[language] += w.spell;
                }
            }
        }
        rank();
    }
    if (scores[order[0]] < w.minimum) {
        return cld.reliable ? cld.code : std::string();
    }
    return Cues::kCodes[order[0]];
}

}  // namespace quorix::language
