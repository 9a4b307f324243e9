#pragma once
// Which typo → correction pairs the dictionary may learn or keep: only the
// kind a typing slip makes, so that a correct word is never taught a change.
//
// A pair is allowed when the typo is not a word of the personal dictionary,
// every covered language's spell checker rejects it, at least one accepts the
// correction, and the two are one typing slip apart (isTypoEdit). Rewrites
// ("questo" → "il") and expansions ("cmq" → "comunque") are never allowed.
// Thread: any, as the spell checker and the personal-word test it is given.

#include <array>
#include <functional>
#include <string_view>

#include "platform/SpellChecker.h"

namespace quorix {

class LearningRules {
  public:
    // The languages whose typo maps ship with the program.
    static constexpr std::array<std::string_view, 5> kCoveredLanguages = {"it", "en", "de", "es",
                                                                          "fr"};

    using PersonalWordTest = std::function<bool(std::string_view)>;

    // `isPersonalWord` may be empty: no word is personal.
    LearningRules(platform::SpellChecker& spell, PersonalWordTest isPersonalWord);

    bool allows(std::string_view typo, std::string_view correction) const;
    bool isPersonalWord(std::string_view word) const;

  private:
    platform::SpellChecker& spell_;
    PersonalWordTest isPersonalWord_;
};

}  // namespace quorix
