#include "tools/typogen/EditGenerator.h"

#include <algorithm>
#include <map>
#include <utility>

namespace quorix::typogen {

namespace {

// Relative likelihoods of one slip (before the first-letter factor).
constexpr double kTransposition = 1.0;
constexpr double kOmission = 0.8;
constexpr double kDoubling = 0.5;
constexpr double kSubstitution = 0.6;
constexpr double kInsertion = 0.3;
constexpr double kAccentDropped = 2.0;
constexpr double kAccentSwapped = 1.0;
constexpr double kItalianConsonant = 1.5;  // tuto / doppo
constexpr double kUmlautSpelled = 1.0;     // fuer
constexpr double kSharpSSpelled = 1.5;     // heiss
constexpr double kSharpSForSs = 0.3;       // daß
constexpr double kFirstLetterFactor = 0.3;

class EditSet {
  public:
    explicit EditSet(std::u32string_view word) : word_(word) {}

    void add(std::u32string typo, double likelihood, bool touchesFirstLetter) {
        if (typo == word_ || typo.empty()) {
            return;
        }
        const double weighted = touchesFirstLetter ? likelihood * kFirstLetterFactor : likelihood;
        auto [it, inserted] = best_.emplace(std::move(typo), weighted);
        if (!inserted && it->second < weighted) {
            it->second = weighted;
        }
    }

    std::vector<Edit> take() {
        std::vector<Edit> out;
        out.reserve(best_.size());
        for (auto& [typo, likelihood] : best_) {
            out.push_back({typo, likelihood});
        }
        return out;
    }

  private:
    std::u32string_view word_;
    std::map<std::u32string, double> best_;
};

// True when `typo` is `word` with only accents dropped that French accepts
// without them: on a first letter (capitals are commonly written unaccented,
// and the maps are keyed in lower case) or a circumflex on i or u (the 1990
// spellings: chaine, gout).
bool isFrenchAccentVariant(std::u32string_view word, std::u32string_view typo) {
    if (word.size() != typo.size()) {
        return false;
    }
    bool dropped = false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (word[i] == typo[i]) {
            continue;
        }
        if (EditGenerator::baseLetter(word[i]) != typo[i]) {
            return false;
        }
        if (i != 0 && word[i] != U'î' && word[i] != U'û') {
            return false;
        }
        dropped = true;
    }
    return dropped;
}

bool isConsonant(char32_t c) {
    return c >= U'a' && c <= U'z' && !EditGenerator::isVowel(c);
}

std::u32string replaced(std::u32string_view word, std::size_t at, std::size_t length,
                        std::u32string_view with) {
    std::u32string out(word.substr(0, at));
    out += with;
    out += word.substr(at + length);
    return out;
}

}  // namespace

EditGenerator::EditGenerator(Keyboard keyboard, std::string language)
    : keyboard_(std::move(keyboard)), language_(std::move(language)) {}

char32_t EditGenerator::baseLetter(char32_t c) {
    return KeyboardLayout::baseLetter(c);
}

bool EditGenerator::isVowel(char32_t c) {
    const char32_t base = baseLetter(c);
    return base == U'a' || base == U'e' || base == U'i' || base == U'o' || base == U'u' ||
           base == U'y';
}

std::vector<Edit> EditGenerator::edits(std::u32string_view word) const {
    EditSet set(word);
    const std::size_t n = word.size();
    const bool italian = language_ == "it";

    for (std::size_t i = 0; i < n; ++i) {
        const char32_t c = word[i];
        const bool first = i == 0;
        const bool doubled = (i + 1 < n && word[i + 1] == c) || (i > 0 && word[i - 1] == c);

        // Omission; dropping one of a doubled consonant is the Italian slip.
        set.add(replaced(word, i, 1, U""),
                italian && doubled && isConsonant(c) ? kItalianConsonant : kOmission, first);

        // Transposition with the next letter.
        if (i + 1 < n && word[i + 1] != c) {
            std::u32string t(word);
            std::swap(t[i], t[i + 1]);
            set.add(std::move(t), kTransposition, first);
        }

        // Doubling; doubling a single consonant between vowels is the Italian slip.
        const bool betweenVowels =
            i > 0 && i + 1 < n && isVowel(word[i - 1]) && isVowel(word[i + 1]);
        set.add(
            replaced(word, i, 0, std::u32string(1, c)),
            italian && !doubled && isConsonant(c) && betweenVowels ? kItalianConsonant : kDoubling,
            first);

        // Adjacent keys: substitution, and insertion before or after the letter.
        for (const char32_t near : keyboard_.neighbours(c)) {
            set.add(replaced(word, i, 1, std::u32string(1, near)), kSubstitution, first);
            set.add(replaced(word, i, 0, std::u32string(1, near)), kInsertion, first);
            set.add(replaced(word, i + 1, 0, std::u32string(1, near)), kInsertion, false);
        }

        // Accents: dropped, or the other letter of the same key (è ↔ é).
        const char32_t base = baseLetter(c);
        if (base != c) {
            set.add(replaced(word, i, 1, std::u32string(1, base)), kAccentDropped, first);
        }
        for (const char32_t mate : keyboard_.keyMates(c)) {
            set.add(replaced(word, i, 1, std::u32string(1, mate)), kAccentSwapped, first);
        }

        if (language_ == "de") {
            if (c == U'ä' || c == U'ö' || c == U'ü') {
                const std::u32string spelled{base, U'e'};
                set.add(replaced(word, i, 1, spelled), kUmlautSpelled, first);
            } else if (c == U'ß') {
                set.add(replaced(word, i, 1, U"ss"), kSharpSSpelled, first);
            } else if (c == U's' && i + 1 < n && word[i + 1] == U's') {
                set.add(replaced(word, i, 2, U"ß"), kSharpSForSs, first);
            }
        }
    }

    // Every accent dropped at once (été → ete).
    std::u32string plain(word);
    std::transform(plain.begin(), plain.end(), plain.begin(), baseLetter);
    set.add(std::move(plain), kAccentDropped, false);

    std::vector<Edit> out = set.take();
    if (language_ == "fr") {
        std::erase_if(out, [&](const Edit& e) { return isFrenchAccentVariant(word, e.typo); });
    }
    return out;
}

double EditGenerator::likelihood(std::u32string_view word, std::u32string_view typo) const {
    for (const Edit& edit : edits(word)) {
        if (edit.typo == typo) {
            return edit.likelihood;
        }
    }
    return kUnmodelledSlip;
}

}  // namespace quorix::typogen
