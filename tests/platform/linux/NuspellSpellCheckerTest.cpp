#include "platform/linux/NuspellSpellChecker.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace quorix::platform {
namespace {

struct Verdict {
    const char* language;
    const char* word;
    bool misspelled;
};

class NuspellSpellCheckerTest : public ::testing::Test {
  protected:
    static NuspellSpellChecker& checker() {
        static NuspellSpellChecker instance;
        return instance;
    }
};

TEST_F(NuspellSpellCheckerTest, JudgesWordsInEachLanguage) {
    const std::vector<Verdict> verdicts{
        {"it", "perché", false},  {"it", "ciao", false},     {"it", "perchè", true},
        {"it", "qwertzu", true},  {"en", "because", false},  {"en", "receive", false},
        {"en", "recieve", true},  {"en", "teh", true},       {"de", "Straße", false},
        {"de", "nicht", false},   {"de", "nciht", true},     {"de", "Strasse", true},
        {"es", "también", false}, {"es", "año", false},      {"es", "tambien", true},
        {"es", "qwertzu", true},  {"fr", "français", false}, {"fr", "aujourd'hui", false},
        {"fr", "francais", true}, {"fr", "qwertzu", true},
    };
    for (const Verdict& v : verdicts) {
        EXPECT_EQ(checker().isMisspelled(v.word, v.language), v.misspelled)
            << v.language << " " << v.word;
        EXPECT_EQ(checker().accepts(v.word, v.language), !v.misspelled)
            << v.language << " " << v.word;
    }
}

TEST_F(NuspellSpellCheckerTest, TypographicApostropheCountsAsThePlainOne) {
    EXPECT_FALSE(checker().isMisspelled("aujourd\u2019hui", "fr"));
    EXPECT_FALSE(checker().isMisspelled("l\u2019homme", "fr"));
    EXPECT_FALSE(checker().isMisspelled("don\u2019t", "en"));
    EXPECT_FALSE(checker().isMisspelled("dell\u2019anno", "it"));
    EXPECT_EQ(checker().isMisspelled("dell\u2019anno", "it"),
              checker().isMisspelled("dell'anno", "it"));
}

TEST_F(NuspellSpellCheckerTest, RegionFormsSelectTheLanguage) {
    EXPECT_EQ(NuspellSpellChecker::languageIndex("en"), 1);
    EXPECT_EQ(NuspellSpellChecker::languageIndex("en-US"), 1);
    EXPECT_EQ(NuspellSpellChecker::languageIndex("en_GB"), 1);
    EXPECT_EQ(NuspellSpellChecker::languageIndex("DE"), 2);
    EXPECT_EQ(NuspellSpellChecker::languageIndex("pt"), -1);
    EXPECT_EQ(NuspellSpellChecker::languageIndex("eng"), -1);
    EXPECT_EQ(NuspellSpellChecker::languageIndex(""), -1);
    EXPECT_TRUE(checker().isMisspelled("recieve", "en_GB"));
    EXPECT_FALSE(checker().isMisspelled("Straße", "de-CH"));
}

TEST_F(NuspellSpellCheckerTest, UnknownLanguageEmptyOrBrokenWordsAreNotMisspelled) {
    EXPECT_FALSE(checker().isMisspelled("qwertzu", "pt"));
    EXPECT_FALSE(checker().isMisspelled("qwertzu", ""));
    EXPECT_FALSE(checker().isMisspelled("qwertzu", "xx-YY"));
    EXPECT_FALSE(checker().isMisspelled("", "it"));
    EXPECT_FALSE(checker().accepts("", "it"));
    EXPECT_FALSE(checker().accepts("ciao", "pt"));
    // Invalid UTF-8 must not crash; the verdict itself is unspecified.
    (void)checker().isMisspelled(std::string("ab\xff\xfe", 4), "fr");
    (void)checker().isMisspelled(std::string("\xc3", 1), "de");
}

TEST(NuspellSpellCheckerFolder, MissingOrMalformedDictionariesAnswerNotMisspelled) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("quorix-hunspell-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "it_IT.aff") << "SET UTF-8\nSFX A Y 1\nSFX A 0 bogus\n";
    std::ofstream(folder / "it_IT.dic") << "not-a-count\nciao/ZZ\n";
    NuspellSpellChecker checker(folder);
    checker.preload();
    EXPECT_FALSE(checker.isMisspelled("qwertzu", "en"));  // no en_US files at all
    EXPECT_FALSE(checker.hasDictionary("en"));
    (void)checker.isMisspelled("qwertzu", "it");  // malformed: loads or not, never crashes
    std::filesystem::remove_all(folder);
}

TEST_F(NuspellSpellCheckerTest, ConcurrentChecksAgreeWithSequentialOnes) {
    const std::vector<Verdict> verdicts{
        {"it", "ciao", false},    {"it", "perchè", true},  {"en", "receive", false},
        {"en", "recieve", true},  {"de", "nicht", false},  {"de", "nciht", true},
        {"es", "año", false},     {"es", "tambien", true}, {"fr", "français", false},
        {"fr", "francais", true},
    };
    NuspellSpellChecker fresh;  // dictionaries load lazily, racing callers included
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 20; ++round) {
                for (std::size_t i = 0; i < verdicts.size(); ++i) {
                    const Verdict& v =
                        verdicts[(i + static_cast<std::size_t>(t)) % verdicts.size()];
                    if (fresh.isMisspelled(v.word, v.language) != v.misspelled) {
                        ++wrong;
                    }
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
}  // namespace quorix::platform
