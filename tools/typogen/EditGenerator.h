#pragma once
// Typing slips of one word: the keyboard slips every typist makes and the
// spelling slips frequent in a language, each with a relative likelihood.
//
// Keyboard slips: transposition of neighbouring letters, omission, doubling,
// substitution by an adjacent key, insertion of a key adjacent to a
// neighbouring letter. Language slips: a dropped or swapped accent (all
// languages), all accents dropped at once, Italian single/double consonants,
// German umlauts written ae/oe/ue and ß written ss (and the reverse).
// Slips touching the first letter are less likely than the same slip later.

#include <string>
#include <string_view>
#include <vector>

#include "tools/typogen/Keyboard.h"

namespace quorix::typogen {

struct Edit {
    std::u32string typo;
    double likelihood = 0;  // relative, > 0

    friend bool operator==(const Edit&, const Edit&) = default;
};

class EditGenerator {
  public:
    // `language` selects the language slips ("it", "en", "de", "es", "fr").
    EditGenerator(Keyboard keyboard, std::string language);

    // Every distinct slip of `word` (lower case) that differs from it, with
    // the highest likelihood among the ways it arises; sorted by typo.
    std::vector<Edit> edits(std::u32string_view word) const;

    // Likelihood of typing `typo` for `word`: that of the slip when it is one
    // of `edits(word)`, else `kUnmodelledSlip` (an edit no model covers).
    double likelihood(std::u32string_view word, std::u32string_view typo) const;

    static constexpr double kUnmodelledSlip = 0.1;

    // The letter without its diacritic (è → e, ñ → n, ß stays); the letter
    // itself when it has none.
    static char32_t baseLetter(char32_t letter);

    static bool isVowel(char32_t letter);

  private:
    Keyboard keyboard_;
    std::string language_;
};

}  // namespace quorix::typogen
