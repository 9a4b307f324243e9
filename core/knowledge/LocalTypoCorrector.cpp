#include "core/knowledge/LocalTypoCorrector.h"

#include <algorithm>

#include "core/text/Text.h"

namespace quorix {

namespace {

// White-space runs, runs of the separating punctuation, and runs of anything
// else: every character belongs to exactly one token.
constexpr std::string_view kTokenPattern = R"((\s+|[.,!?;:()]+|[^\s.,!?;:()]+))";

bool containsLetter(std::string_view token) {
    const std::u32string cps = text::toUtf32(token);
    return std::any_of(cps.begin(), cps.end(), [](char32_t c) { return text::isLetter(c); });
}

bool startsWithUppercaseLetter(std::string_view token) {
    const std::string first = text::firstCharacter(token);
    if (first.empty()) {
        return false;
    }
    const std::u32string cps = text::toUtf32(first);
    return text::isLetter(cps.front()) && text::toLower(first) != first;
}

std::string withFirstCharacterUppercased(const std::string& s) {
    const std::string first = text::firstCharacter(s);
    return text::toUpper(first) + s.substr(first.size());
}

// "citta" → "città", "perchè" → "perché": the same letters once accents are
// set aside.
bool isAccentOnly(const std::string& lower, const std::string& replacement) {
    return text::withoutAccents(lower) == text::withoutAccents(text::toLower(replacement));
}

const std::string* find(const TypoMap& map, const std::string& key) {
    const auto it = map.find(key);
    return it == map.end() ? nullptr : &it->second;
}

}  // namespace

LocalTypoCorrector::LocalTypoCorrector(platform::SpellChecker& spell, const LearningRules& rules)
    : spell_(spell), rules_(rules), tokenPattern_(text::Regex::make(kTokenPattern)) {}

std::optional<std::string> LocalTypoCorrector::correct(std::string_view text,
                                                       std::string_view language,
                                                       const TypoTables& tables,
                                                       bool correctAccents) const {
    if (!tokenPattern_) {
        return std::nullopt;
    }
    const bool undetermined = language == "und";
    const TypoMap& learned = *tables.learned;
    const TypoMap& langMap = tables.language(language);
    const TypoMap& itMap = tables.language("it");
    static const TypoMap kNoMap;
    const TypoMap& enMap = language == "en" ? kNoMap : tables.language("en");
    const std::string_view spellLanguage =
        (undetermined || language.empty()) ? std::string_view("it") : language;

    const std::u16string units = text::toUtf16(text);
    const auto matches = tokenPattern_->findAll(std::u16string_view(units));
    if (matches.empty()) {
        return std::nullopt;
    }

    std::string result;
    result.reserve(text.size() + 16);
    bool changed = false;
    for (const auto& match : matches) {
        const text::Range r = match.range();
        const std::string token =
            text::fromUtf16(std::u16string_view(units).substr(r.location, r.length));
        if (!containsLetter(token)) {
            result += token;
            continue;
        }
        const std::string lower = text::toLower(token);
        const std::string core = text::trimPunctuation(lower);

        // A word the spell checker accepts, a short one, or a personal word is
        // never replaced, even by a learned pair.
        const bool misspelled =
            text::characterCount(core) >= 2 && spell_.isMisspelled(core, spellLanguage);
        if (!misspelled || rules_.isPersonalWord(core)) {
            result += token;
            continue;
        }

        const std::string* replacement = find(learned, lower);
        if (replacement == nullptr) {
            replacement = find(langMap, lower);
        }
        if (replacement == nullptr) {
            replacement = find(itMap, lower);
        }
        if (replacement == nullptr && undetermined) {
            replacement = find(enMap, lower);
        }
        if (replacement == nullptr || text::toLower(*replacement) == lower ||
            (!correctAccents && isAccentOnly(lower, *replacement))) {
            result += token;
            continue;
        }

        result += startsWithUppercaseLetter(token) ? withFirstCharacterUppercased(*replacement)
                                                   : *replacement;
        changed = true;
    }
    if (!changed) {
        return std::nullopt;
    }
    return result;
}

}  // namespace quorix
