#pragma once
// Replaces the locally known typos of a message, token by token, using one
// TypoTables state. Only a word the spell checker rejects and the personal
// dictionary does not hold is ever replaced, whatever a map says; a pair that
// only adds or changes an accent acts only when accents are corrected.
// Stateless apart from its compiled pattern and the collaborators it asks;
// safe to use from several threads at once.

#include <optional>
#include <string>
#include <string_view>

#include "core/knowledge/LearningRules.h"
#include "core/knowledge/TypoTables.h"
#include "core/text/Regex.h"
#include "platform/SpellChecker.h"

namespace quorix {

class LocalTypoCorrector {
  public:
    LocalTypoCorrector(platform::SpellChecker& spell, const LearningRules& rules);

    // `text` is the whole, untrimmed message; `language` the code detected for
    // it ("und" or "" when undetermined). Returns the text with every replaced
    // token, or nullopt when nothing was replaced. White space and punctuation
    // between words are kept byte for byte.
    std::optional<std::string> correct(std::string_view text, std::string_view language,
                                       const TypoTables& tables, bool correctAccents) const;

  private:
    platform::SpellChecker& spell_;
    const LearningRules& rules_;
    std::optional<text::Regex> tokenPattern_;
};

}  // namespace quorix
