#include "core/knowledge/LanguageDetector.h"

#include "core/text/Text.h"

namespace quorix {

namespace {

constexpr std::size_t kMinimumWords = 3;
constexpr const char* kDefaultLanguage = "it";

// Maps the recogniser's code onto the code handed to the spell checker.
// Regional and script variants of the five table languages ("en-GB",
// "de_AT") collapse to their base code; anything else passes unchanged.
std::string mapLanguage(const std::string& code) {
    if (code.empty()) {
        return kDefaultLanguage;
    }
    const std::string base = code.substr(0, code.find_first_of("-_"));
    for (const char* known : {"it", "en", "de", "es", "fr"}) {
        if (base == known) {
            return base;
        }
    }
    return code;
}

}  // namespace

LanguageDetector::LanguageDetector(platform::LanguageRecognizer& recognizer)
    : recognizer_(recognizer) {}

std::string LanguageDetector::detectLanguage(std::string_view text) {
    const std::string trimmed = text::trim(text);
    if (text::splitWords(trimmed).size() < kMinimumWords) {
        return kDefaultLanguage;
    }
    std::string dominant;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        recognizer_.reset();
        recognizer_.processString(trimmed);
        dominant = recognizer_.dominantLanguage();
    }
    return mapLanguage(dominant);
}

}  // namespace quorix
