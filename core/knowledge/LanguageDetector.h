#pragma once
// Dominant language of a message, as a short code ("it", "en", "de", "es",
// "fr", "pt", ...). Texts of fewer than three words, and texts in which no
// language dominates, count as Italian ("it"). Thread: any, concurrently;
// calls into the recogniser are serialised by an internal lock.

#include <mutex>
#include <string>
#include <string_view>

#include "platform/LanguageRecognizer.h"

namespace quorix {

class LanguageDetector {
  public:
    explicit LanguageDetector(platform::LanguageRecognizer& recognizer);

    LanguageDetector(const LanguageDetector&) = delete;
    LanguageDetector& operator=(const LanguageDetector&) = delete;

    std::string detectLanguage(std::string_view text);

  private:
    platform::LanguageRecognizer& recognizer_;
    std::mutex mutex_;
};

}  // namespace quorix
