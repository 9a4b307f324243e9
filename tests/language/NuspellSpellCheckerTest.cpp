#include "language/NuspellSpellChecker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/core/config/ConfigTestSupport.h"

namespace quorix::language {
namespace {

struct Verdict {
    const char* language;
    const char* word;
    bool misspelled;
};

// A correct and a misspelled word per language.
const std::vector<Verdict> kVerdicts{
    {"it", "perché", false},  {"it", "perchè", true},  {"en", "receive", false},
    {"en", "recieve", true},  {"de", "Straße", false}, {"de", "Strasse", true},
    {"es", "también", false}, {"es", "tambien", true}, {"fr", "français", false},
    {"fr", "francais", true}, {"en", "colour", false}, {"en", "cancelling", false},
};

class NuspellSpellCheckerTest : public ::testing::Test {
  protected:
    static NuspellSpellChecker& checker() {
        static NuspellSpellChecker instance;
        return instance;
    }
};

// Each language's verdicts are checked by the concurrent test below.
TEST_F(NuspellSpellCheckerTest, AcceptsApostrophesLanguageCodesAndBrokenWords) {
    EXPECT_TRUE(checker().accepts("perché", "it"));
    EXPECT_FALSE(checker().accepts("perchè", "it"));
    // The typographic apostrophe counts as the plain one.
    EXPECT_FALSE(checker().isMisspelled("aujourd\u2019hui", "fr"));
    EXPECT_FALSE(checker().isMisspelled("don\u2019t", "en"));
    EXPECT_EQ(NuspellSpellChecker::languageIndex("en-US"), 1);
    EXPECT_EQ(NuspellSpellChecker::languageIndex("DE"), 2);
    EXPECT_EQ(NuspellSpellChecker::languageIndex("eng"), -1);
    EXPECT_TRUE(checker().isMisspelled("recieve", "en_GB"));
    EXPECT_FALSE(checker().isMisspelled("Straße", "de-CH"));
    // Unknown languages, empty or broken words are never misspelled.
    EXPECT_FALSE(checker().isMisspelled("qwertzu", "pt"));
    EXPECT_FALSE(checker().isMisspelled("qwertzu", ""));
    EXPECT_FALSE(checker().isMisspelled("", "it"));
    EXPECT_FALSE(checker().accepts("", "it"));
    EXPECT_FALSE(checker().accepts("ciao", "pt"));
    // Invalid UTF-8 must not crash; the verdict itself is unspecified.
    (void)checker().isMisspelled(std::string("ab\xff\xfe", 4), "fr");
    (void)checker().isMisspelled(std::string("\xc3", 1), "de");
}

TEST(NuspellSpellCheckerFolder, MissingOrMalformedDictionariesAnswerNotMisspelled) {
    const testing::TempFolder temp;
    const std::filesystem::path folder = temp.path();
    std::ofstream(folder / "it_IT.aff") << "SET UTF-8\nSFX A Y 1\nSFX A 0 bogus\n";
    std::ofstream(folder / "it_IT.dic") << "not-a-count\nciao/ZZ\n";
    NuspellSpellChecker checker(folder);
    checker.preload();
    EXPECT_FALSE(checker.isMisspelled("qwertzu", "en"));  // no en_US files at all
    EXPECT_FALSE(checker.hasDictionary("en"));
    (void)checker.isMisspelled("qwertzu", "it");  // malformed: loads or not, never crashes
}

// English accepts a word either spelling accepts, and works with either
// dictionary alone.
TEST(NuspellSpellCheckerFolder, EnglishAcceptsAmericanAndBritishSpellings) {
    const testing::TempFolder temp;
    const std::filesystem::path folder = temp.path();
    std::ofstream(folder / "en_GB.aff") << "SET UTF-8\n";
    std::ofstream(folder / "en_GB.dic") << "2\ncolour\nthe\n";
    {
        NuspellSpellChecker britishOnly(folder);
        EXPECT_TRUE(britishOnly.hasDictionary("en"));
        EXPECT_TRUE(britishOnly.accepts("colour", "en-US"));
        EXPECT_TRUE(britishOnly.isMisspelled("color", "en"));
    }
    std::ofstream(folder / "en_US.aff") << "SET UTF-8\n";
    std::ofstream(folder / "en_US.dic") << "2\ncolor\nthe\n";
    NuspellSpellChecker both(folder);
    EXPECT_TRUE(both.accepts("color", "en"));
    EXPECT_TRUE(both.accepts("colour", "en"));
    EXPECT_TRUE(both.isMisspelled("colr", "en"));
    EXPECT_EQ(both.firstSuggestion("colour", "en"), std::nullopt);
}

TEST_F(NuspellSpellCheckerTest, JudgesWordsInEachLanguageFromConcurrentCallers) {
    NuspellSpellChecker fresh;  // dictionaries load lazily, racing callers included
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (std::size_t i = 0; i < 20 * kVerdicts.size(); ++i) {
                const Verdict& v = kVerdicts[(i + t) % kVerdicts.size()];
                if (fresh.isMisspelled(v.word, v.language) != v.misspelled) {
                    ++wrong;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace quorix::language
