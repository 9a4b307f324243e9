#pragma once
// Lexicon over the hunspell dictionaries of the system, through nuspell.

#include <string_view>

#include "language/NuspellSpellChecker.h"
#include "tools/typogen/TypoGenerator.h"

namespace quorix::typogen {

class NuspellLexicon final : public Lexicon {
  public:
    explicit NuspellLexicon(language::NuspellSpellChecker& spell) : spell_(spell) {}
    bool accepts(std::string_view word, std::string_view language) override {
        return spell_.accepts(word, language);
    }

  private:
    language::NuspellSpellChecker& spell_;
};

}  // namespace quorix::typogen
