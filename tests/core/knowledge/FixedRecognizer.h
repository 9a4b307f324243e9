#pragma once
// A language recogniser that reports one settable code for every text, keeps
// the text fed since the last reset and counts the questions asked (the
// detector still answers "it" for texts under three words without asking).

#include <atomic>
#include <string>

#include "platform/LanguageRecognizer.h"

namespace quorix::testing {

class FixedRecognizer final : public platform::LanguageRecognizer {
  public:
    explicit FixedRecognizer(std::string code = "it") : language(std::move(code)) {}
    void reset() override { processed.clear(); }
    void processString(std::string_view text) override { processed += text; }
    std::string dominantLanguage() override {
        ++calls;
        return language;
    }

    std::string language;
    std::string processed;
    std::atomic<int> calls{0};
};

}  // namespace quorix::testing
