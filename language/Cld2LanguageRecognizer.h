#pragma once
// LanguageRecognizer over CLD2, without hints. The dominant language is the
// ISO 639-1 code of CLD2's answer ("it", "pt", "nl", ...), or "" when CLD2
// finds no language or is not reliable. Invalid UTF-8 yields "".
// Thread: one instance per caller (LanguageRecognizer contract); analyse() is
// stateless and safe from any thread.

#include <array>
#include <string>
#include <string_view>

#include "platform/LanguageRecognizer.h"

namespace quorix::language {

struct Cld2Analysis {
    struct Candidate {
        std::string code;    // ISO 639-1 where one exists; "" for none
        int percent = 0;     // share of the text's letters, 0..100
        double score = 0.0;  // CLD2's score relative to normal text
    };
    std::string code;  // top language, "" for none
    bool reliable = false;
    int textBytes = 0;  // letters-only bytes CLD2 scored
    std::array<Candidate, 3> top;
};

class Cld2LanguageRecognizer final : public platform::LanguageRecognizer {
  public:
    void reset() override;
    void processString(std::string_view text) override;
    std::string dominantLanguage() override;

    static Cld2Analysis analyse(std::string_view text);
    // CLD2's code for a language turned into the ISO 639-1 form ("iw" → "he",
    // "zh-Hant" → "zh"); "un" and unknown become "".
    static std::string isoCode(std::string_view cld2Code);

  private:
    std::string text_;
};

}  // namespace quorix::language
