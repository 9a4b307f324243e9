#include "core/knowledge/WordShape.h"

#include <algorithm>

#include "core/knowledge/KeyboardErrorModel.h"
#include "core/knowledge/KeyboardLayout.h"
#include "core/text/Text.h"

namespace quorix::wordshape {

bool isUpper(char32_t c) {
    const std::string s = text::fromUtf32(std::u32string(1, c));
    return text::toLower(s) != s;
}

bool onlyInitialAccentAdded(std::u32string_view typed, std::u32string_view candidate) {
    return !typed.empty() && typed.size() == candidate.size() && typed[0] != candidate[0] &&
           text::withoutAccents(text::fromUtf32(candidate.substr(0, 1))) ==
               text::fromUtf32(typed.substr(0, 1)) &&
           typed.substr(1) == candidate.substr(1);
}

bool onlyAccentsRemoved(std::u32string_view typed, std::u32string_view candidate) {
    if (typed.size() != candidate.size() || typed == candidate) {
        return false;
    }
    for (std::size_t i = 0; i < typed.size(); ++i) {
        if (typed[i] != candidate[i] && KeyboardLayout::baseLetter(typed[i]) != candidate[i]) {
            return false;
        }
    }
    return true;
}

bool onlyAgentEndingChanged(std::u32string_view typed, std::u32string_view candidate) {
    return typed.size() >= 5 && typed.ends_with(U"er") && candidate.size() == typed.size() &&
           candidate.back() != U'r' &&
           candidate.substr(0, candidate.size() - 1) == typed.substr(0, typed.size() - 1);
}

bool onlyAgentPluralEndingLost(std::u32string_view typed, std::u32string_view candidate) {
    return typed.size() >= 6 && typed.ends_with(U"ers") && candidate.size() + 1 == typed.size() &&
           candidate.ends_with(U"es") &&
           candidate.substr(0, candidate.size() - 2) == typed.substr(0, typed.size() - 3);
}

bool hasInnerCapital(std::u32string_view word) {
    for (std::size_t i = 1; i < word.size(); ++i) {
        if (isUpper(word[i]) && !isUpper(word[i - 1])) {
            return true;
        }
    }
    return false;
}

bool hasTwoCapitals(std::u32string_view word) {
    return std::count_if(word.begin(), word.end(), isUpper) >= 2;
}

bool isVowel(char32_t c) {
    static constexpr std::u32string_view kVowels =
        U"aeiouyàáâäãèéêëìíîïòóôöõùúûüÿAEIOUYÀÁÂÄÈÉÊËÌÍÎÏÒÓÔÖÙÚÛÜ";
    return kVowels.find(c) != std::u32string_view::npos;
}

bool hasNoVowel(std::u32string_view word) {
    return std::none_of(word.begin(), word.end(), isVowel);
}

bool hasForeignLetter(std::u32string_view word, std::string_view language) {
    // The letters past ASCII each language writes (lower case).
    static constexpr std::u32string_view kItalian = U"àèéìíîòóù";
    static constexpr std::u32string_view kSpanish = U"áéíóúüñ";
    static constexpr std::u32string_view kGerman = U"äöüß";
    static constexpr std::u32string_view kFrench = U"àâæçéèêëîïôœùûüÿ";
    const std::u32string_view own = language == "it"   ? kItalian
                                    : language == "es" ? kSpanish
                                    : language == "de" ? kGerman
                                    : language == "fr" ? kFrench
                                                       : std::u32string_view();
    constexpr char32_t kFirstLatinLetter = 0xC0;
    constexpr char32_t kLastLatin = 0x24F;
    return std::any_of(word.begin(), word.end(), [&](char32_t c) {
        return c >= kFirstLatinLetter && c <= kLastLatin && text::isLetter(c) &&
               own.find(c) == std::u32string_view::npos;
    });
}

bool onlyOneVowelStruckAmiss(std::u32string_view typed, std::u32string_view candidate,
                             const KeyboardErrorModel& keys) {
    if (typed.size() != candidate.size()) {
        return false;
    }
    std::size_t changed = 0;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        if (typed[i] != candidate[i] &&
            (++changed > 1 || !isVowel(candidate[i]) ||
             !(keys.isNeighbour(candidate[i], typed[i]) ||
               keys.isNeighbour(KeyboardLayout::baseLetter(candidate[i]), typed[i])))) {
            return false;
        }
    }
    return changed == 1;
}

bool isConsonant(char32_t c) {
    static constexpr std::u32string_view kConsonants = U"bcdfghjklmnpqrstvwxzßçñ";
    return kConsonants.find(
               text::toUtf32(text::toLower(text::fromUtf32(std::u32string(1, c)))).front()) !=
           std::u32string_view::npos;
}

bool isElongated(std::u32string_view word) {
    for (std::size_t i = 0; i < word.size();) {
        std::size_t run = 1;
        while (i + run < word.size() && word[i + run] == word[i]) {
            ++run;
        }
        if (run >= 3 && (run > 3 || i + run == word.size() || !isConsonant(word[i]))) {
            return true;
        }
        i += run;
    }
    return false;
}

}  // namespace quorix::wordshape
