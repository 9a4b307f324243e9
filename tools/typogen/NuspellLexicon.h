#pragma once
// Lexicon over the hunspell dictionaries of the system, through nuspell.

#include <string_view>

#include "platform/linux/NuspellSpellChecker.h"
#include "tools/typogen/TypoGenerator.h"

namespace quorix::typogen {

class NuspellLexicon final : public Lexicon {
  public:
    explicit NuspellLexicon(platform::NuspellSpellChecker& spell) : spell_(spell) {}
    bool accepts(std::string_view word, std::string_view language) override {
        return spell_.accepts(word, language);
    }

  private:
    platform::NuspellSpellChecker& spell_;
};

}  // namespace quorix::typogen
