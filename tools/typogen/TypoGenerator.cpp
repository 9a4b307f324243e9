#include "tools/typogen/TypoGenerator.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <unordered_set>

#include "core/text/Text.h"
#include "tools/typogen/EditGenerator.h"
#include "tools/typogen/Keyboard.h"

namespace quorix::typogen {

namespace {

constexpr std::size_t kMinimumSourceLetters = 3;

bool lettersOnly(const std::u32string& s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char32_t c) { return text::isLetter(c); });
}

void count(std::map<std::string, std::size_t>* counts, const std::string& reason) {
    if (counts != nullptr) {
        ++(*counts)[reason];
    }
}

}  // namespace

TypoGenerator::TypoGenerator(Lexicon& lexicon, const std::vector<LanguageInput>& languages,
                             KeepRules rules, GeneratorOptions options)
    : lexicon_(lexicon), rules_(std::move(rules)), options_(options) {
    std::set<char32_t> alphabet;
    for (const LanguageInput& input : languages) {
        languages_.push_back(input.code);
        // Lower-case key → (form, frequency), keeping the highest frequency.
        std::map<std::u32string, Word> byLower;
        for (const auto& [word, frequency] : input.words) {
            const std::string lower = text::toLower(word);
            std::u32string lower32 = text::toUtf32(lower);
            if (lower32.size() < 2 || !lettersOnly(lower32)) {
                continue;
            }
            auto found = byLower.find(lower32);
            if (found != byLower.end()) {
                found->second.frequency = std::max(found->second.frequency, frequency);
                continue;
            }
            std::string form;
            if (lexicon_.accepts(lower, input.code)) {
                form = lower;
            } else if (const std::string cap = text::capitalized(lower);
                       input.code == "de" && lexicon_.accepts(cap, input.code)) {
                form = cap;
            } else {
                continue;
            }
            byLower.emplace(lower32, Word{form, lower32, frequency});
        }
        std::vector<Word>& words = vocabulary_[input.code];
        for (auto& [lower, word] : byLower) {
            words.push_back(std::move(word));
        }
        std::stable_sort(words.begin(), words.end(),
                         [](const Word& a, const Word& b) { return a.frequency > b.frequency; });
        auto& frequencies = frequencies_[input.code];
        for (const Word& w : words) {
            frequencies.emplace(w.lower, w.frequency);
            double& known = known_[w.lower];
            known = std::max(known, w.frequency);
            alphabet.insert(w.lower.begin(), w.lower.end());
        }
    }
    alphabet_.assign(alphabet.begin(), alphabet.end());
}

std::size_t TypoGenerator::vocabularySize(std::string_view language) const {
    const auto it = vocabulary_.find(language);
    return it == vocabulary_.end() ? 0 : it->second.size();
}

double TypoGenerator::frequency(std::string_view word, std::string_view language) const {
    const auto it = vocabulary_.find(language);
    if (it == vocabulary_.end()) {
        return 0;
    }
    const std::u32string lower = text::toUtf32(text::toLower(word));
    for (const Word& w : it->second) {
        if (w.lower == lower) {
            return w.frequency;
        }
    }
    return 0;
}

double TypoGenerator::strongestRival(std::string_view language, const EditGenerator& slips,
                                     const std::u32string& typo, const std::u32string& source,
                                     std::u32string* word) const {
    const auto& own = frequencies_.find(language)->second;
    const double foreignWeight = language == "it" ? 1.0 : options_.foreignRivalWeight;
    double best = 0;
    const auto consider = [&](const std::u32string& variant) {
        if (variant == source) {
            return;
        }
        const auto it = known_.find(variant);
        if (it == known_.end()) {
            return;
        }
        const auto mine = own.find(variant);
        const double frequency =
            std::max(mine == own.end() ? 0.0 : mine->second, it->second * foreignWeight);
        const double score = frequency * slips.likelihood(variant, typo);
        if (score > best) {
            best = score;
            if (word != nullptr) {
                *word = variant;
            }
        }
    };
    const std::size_t n = typo.size();
    std::u32string v;
    for (std::size_t i = 0; i < n; ++i) {
        v = typo;
        v.erase(i, 1);
        consider(v);
        if (i + 1 < n && typo[i] != typo[i + 1]) {
            v = typo;
            std::swap(v[i], v[i + 1]);
            consider(v);
        }
        for (const char32_t c : alphabet_) {
            if (c != typo[i]) {
                v = typo;
                v[i] = c;
                consider(v);
            }
        }
    }
    for (std::size_t i = 0; i <= n; ++i) {
        for (const char32_t c : alphabet_) {
            v = typo;
            v.insert(v.begin() + static_cast<std::ptrdiff_t>(i), c);
            consider(v);
        }
    }
    return best;
}

std::optional<std::string> TypoGenerator::rejectByRulesAndSpelling(const std::string& typo,
                                                                   bool checkInUse) {
    if (const auto rejection = rules_.reject(typo, checkInUse)) {
        return std::string(rejectionName(*rejection));
    }
    if (known_.count(text::toUtf32(typo)) != 0) {
        return "known-word";
    }
    const std::string cap = text::capitalized(typo);
    for (const std::string& language : languages_) {
        if (lexicon_.accepts(typo, language) || lexicon_.accepts(cap, language)) {
            return "valid-" + language;
        }
    }
    return std::nullopt;
}

bool TypoGenerator::validAnywhere(std::string_view word) {
    const std::string cap = text::capitalized(word);
    return std::any_of(languages_.begin(), languages_.end(), [&](const std::string& language) {
        return lexicon_.accepts(word, language) || lexicon_.accepts(cap, language);
    });
}

std::optional<std::string> TypoGenerator::rejectPair(std::string_view typo,
                                                     std::string_view language) {
    if (vocabulary_.find(language) == vocabulary_.end()) {
        return "unknown-language";
    }
    return rejectByRulesAndSpelling(text::toLower(typo), true);
}

std::string TypoGenerator::explain(std::string_view typo, std::string_view correction,
                                   std::string_view language) {
    const auto vocab = vocabulary_.find(language);
    if (vocab == vocabulary_.end()) {
        return "unknown-language";
    }
    const std::u32string typo32 = text::toUtf32(text::toLower(typo));
    const std::u32string source32 = text::toUtf32(text::toLower(correction));
    const std::vector<Word>& words = vocab->second;
    std::size_t rank = 0;
    const Word* source = nullptr;
    for (const Word& w : words) {
        if (w.lower.size() >= kMinimumSourceLetters) {
            ++rank;
        }
        if (w.lower == source32) {
            source = &w;
            break;
        }
    }
    if (source == nullptr) {
        return "source-not-in-vocabulary";
    }
    if (rank > options_.sources) {
        return "source-rank-" + std::to_string(rank);
    }
    const EditGenerator generator(Keyboard::forLanguage(language), std::string(language));
    double likelihood = 0;
    for (const Edit& edit : generator.edits(source32)) {
        if (edit.typo == typo32) {
            likelihood = edit.likelihood;
        }
    }
    if (likelihood == 0) {
        return "not-a-slip";
    }
    std::string detail;
    if (const auto reason = rejectSlip(language, generator, typo32, *source, likelihood, &detail)) {
        return *reason + detail;
    }
    return "kept " +
           std::to_string(std::pow(source->frequency, options_.frequencyExponent) * likelihood);
}

std::optional<std::string> TypoGenerator::rejectSlip(std::string_view language,
                                                     const EditGenerator& slips,
                                                     const std::u32string& typo32,
                                                     const Word& source, double likelihood,
                                                     std::string* detail) {
    const std::string typo = text::fromUtf32(typo32);
    std::u32string plain(source.lower);
    std::transform(plain.begin(), plain.end(), plain.begin(), EditGenerator::baseLetter);
    const bool accentsDropped = plain == typo32;
    if (const auto rules = rules_.reject(typo, !accentsDropped)) {
        return std::string(rejectionName(*rules));
    }
    if (known_.count(typo32) != 0) {
        return "known-word";
    }
    std::u32string rival;
    const double rivalScore = strongestRival(language, slips, typo32, source.lower, &rival);
    if (source.frequency * likelihood < options_.dominance * rivalScore) {
        if (detail != nullptr) {
            *detail = " (" + text::fromUtf32(rival) + " " + std::to_string(rivalScore) + " vs " +
                      std::to_string(source.frequency * likelihood) + ")";
        }
        return "ambiguous";
    }
    return rejectByRulesAndSpelling(typo, !accentsDropped);
}

std::vector<TypoEntry> TypoGenerator::generate(std::string_view language,
                                               std::map<std::string, std::size_t>* rejected) {
    const auto vocab = vocabulary_.find(language);
    if (vocab == vocabulary_.end()) {
        return {};
    }
    const std::vector<Word>& words = vocab->second;
    const EditGenerator generator(Keyboard::forLanguage(language), std::string(language));

    struct Candidate {
        std::size_t source = 0;
        double score = 0;
        double likelihood = 0;
    };
    std::unordered_map<std::u32string, Candidate> candidates;
    std::size_t used = 0;
    for (std::size_t i = 0; i < words.size() && used < options_.sources; ++i) {
        if (words[i].lower.size() < kMinimumSourceLetters) {
            continue;
        }
        ++used;
        const double weight = std::pow(words[i].frequency, options_.frequencyExponent);
        for (Edit& edit : generator.edits(words[i].lower)) {
            const double score = weight * edit.likelihood;
            const Candidate candidate{i, score, edit.likelihood};
            auto [it, inserted] = candidates.try_emplace(std::move(edit.typo), candidate);
            if (!inserted && score > it->second.score) {
                it->second = candidate;
            }
        }
    }

    std::vector<std::pair<std::u32string, Candidate>> ranked(candidates.begin(), candidates.end());
    candidates.clear();
    std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
        if (a.second.score != b.second.score) {
            return a.second.score > b.second.score;
        }
        return a.first < b.first;
    });

    const std::size_t limit = language == "it" ? options_.italianEntries : options_.entries;
    std::vector<TypoEntry> out;
    std::vector<std::size_t> keptPerSource(words.size(), 0);
    for (const auto& [typo32, candidate] : ranked) {
        if (out.size() >= limit) {
            break;
        }
        const Word& source = words[candidate.source];
        if (keptPerSource[candidate.source] >= options_.perSource) {
            count(rejected, "source-full");
            continue;
        }
        if (const auto reason =
                rejectSlip(language, generator, typo32, source, candidate.likelihood)) {
            count(rejected, *reason);
            continue;
        }
        ++keptPerSource[candidate.source];
        out.push_back({text::fromUtf32(typo32), source.form, candidate.score});
    }
    return out;
}

}  // namespace quorix::typogen
