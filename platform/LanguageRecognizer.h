#pragma once
// Natural-language recogniser: the dominant language of a text as a short
// code ("it", "en", "de", "es", "fr", "pt", ...), or "" when no language
// dominates. Thread: not thread-safe; callers serialise (the detector locks).

#include <string>
#include <string_view>

namespace quorix::platform {

class LanguageRecognizer {
  public:
    virtual ~LanguageRecognizer() = default;
    virtual void reset() = 0;
    virtual void processString(std::string_view text) = 0;
    virtual std::string dominantLanguage() = 0;
};

}  // namespace quorix::platform
