#pragma once
// LanguageRecognizer for short chat texts. CLD2 decides alone when it is
// reliable on a long enough text; otherwise a vote combines CLD2's top three
// languages, frequent function words, telltale letters and word endings of
// it/en/de/es/fr/pt/nl and, when the two leading languages stay close, a
// spell check of a plain content word in the leader whose dictionary is the
// cheaper to ask (acceptance counts for it, rejection for the other leader;
// Portuguese and Dutch, without dictionaries, get a fixed share). Portuguese
// and Dutch texts are answered "pt" and "nl" rather than as a neighbouring
// language.
// "" means that no language dominates.
// Thread: one instance per caller (LanguageRecognizer contract); classify()
// is const and safe from any thread while the spell checker is.

#include <string>
#include <string_view>

#include "platform/LanguageRecognizer.h"
#include "platform/SpellChecker.h"

namespace quorix::language {

class HybridLanguageRecognizer final : public platform::LanguageRecognizer {
  public:
    // The spell checker must outlive the recogniser; its dictionaries load on
    // first use unless preloaded.
    explicit HybridLanguageRecognizer(platform::SpellChecker& spellChecker);

    void reset() override;
    void processString(std::string_view text) override;
    std::string dominantLanguage() override;

    std::string classify(std::string_view text) const;

  private:
    platform::SpellChecker& spellChecker_;
    std::string text_;
};

}  // namespace quorix::language
