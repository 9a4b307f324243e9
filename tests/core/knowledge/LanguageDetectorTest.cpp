#include "core/knowledge/LanguageDetector.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "tests/core/knowledge/FixedRecognizer.h"

namespace quorix {
namespace {

// One recogniser serves every row: each call must reset it and feed only the
// trimmed text. Fewer than three words are Italian without asking it.
TEST(LanguageDetector, FeedsTheTrimmedTextAndMapsTheAnswer) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"", "it"},      {"de", "de"},    {"und", "und"},
        {"en-GB", "en"}, {"de_AT", "de"}, {"pt-BR", "pt-BR"},
    };
    testing::FixedRecognizer recognizer;
    LanguageDetector detector(recognizer);
    for (const auto& [recognized, expected] : cases) {
        recognizer.language = recognized;
        EXPECT_EQ(detector.detectLanguage("  \n how are you \u00a0"), expected) << recognized;
        EXPECT_EQ(recognizer.processed, "how are you");
    }
    EXPECT_EQ(detector.detectLanguage("\u00a0ciao\u2028mondo\u00a0"), "it");
    EXPECT_EQ(recognizer.calls, static_cast<int>(cases.size()));
}

// Answers the first word of the text it was given; fails the test if two
// callers ever overlap between reset() and dominantLanguage().
class EchoRecognizer : public platform::LanguageRecognizer {
  public:
    void reset() override {
        if (busy.exchange(true)) {
            overlapped = true;
        }
        text.clear();
    }
    void processString(std::string_view t) override { text += t; }
    std::string dominantLanguage() override {
        std::this_thread::yield();
        std::string first = text.substr(0, text.find(' '));
        busy = false;
        return first;
    }
    std::atomic<bool> busy{false};
    std::atomic<bool> overlapped{false};
    std::string text;
};

TEST(LanguageDetector, ConcurrentCallersEachGetTheirOwnAnswer) {
    EchoRecognizer recognizer;
    LanguageDetector detector(recognizer);
    const std::vector<std::string> codes{"en", "de", "es", "fr", "pt", "nl"};
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (const std::string& code : codes) {
        threads.emplace_back([&, code] {
            for (int i = 0; i < 300; ++i) {
                if (detector.detectLanguage(code + " some words here") != code) {
                    ++wrong;
                }
                if (detector.detectLanguage(code + " two") != "it") {
                    ++wrong;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_FALSE(recognizer.overlapped);
}

}  // namespace
}  // namespace quorix
