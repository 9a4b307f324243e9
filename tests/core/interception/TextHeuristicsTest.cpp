#include "core/interception/TextHeuristics.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "core/knowledge/LanguageDetector.h"
#include "language/NuspellSpellChecker.h"
#include "tests/core/config/ConfigTestSupport.h"
#include "tests/core/knowledge/FixedRecognizer.h"
#include "tests/core/knowledge/WordListSpellChecker.h"

namespace quorix {
namespace {

class TextHeuristicsTest : public ::testing::Test {
  protected:
    TextHeuristicsTest() {
        config_.setWhitelistWords({});
        spell_.accept({"ciao", "come", "stai", "guarda", "scrivi", "dimmi", "vediamo", "sei",
                       "bravi", "non", "vieni", "domani", "perché", "l’altro"},
                      "it");
        spell_.accept({"meeting", "see", "you", "tomorrow", "the"}, "en");
        spell_.accept({"wir", "sehen", "uns", "morgen"}, "de");
    }

    testing::ConfigWorld world_;
    AppConfig& config_ = world_.config;
    testing::FixedRecognizer recognizer_;
    LanguageDetector detector_{recognizer_};
    testing::WordListSpellChecker spell_{{}, /*strict=*/true};
    TextHeuristics heuristics_{config_, detector_, spell_};
};

TEST_F(TextHeuristicsTest, RecognisesLinksPathsNavigationAndCodeTokens) {
    for (const char* text : {"  http://example.com \n", "www.a.com", "<www.example.com>",
                             "[https://a.com]", "~/Documents", "./run.sh", "Home – Impostazioni"}) {
        EXPECT_TRUE(heuristics_.isPureURLOrNavigation(text)) << text;
    }
    for (const char* text : {"guarda https://example.com", "(ciao)", "[https://a.com b]",
                             "./run.sh --fast", "Home–Impostazioni", " \n\t"}) {
        EXPECT_FALSE(heuristics_.isPureURLOrNavigation(text)) << text;
    }
    for (const char* word : {"getUserName", "snake_case", "main.py", "Git,", "LGTM", "foo()",
                             "std::move", "@mario", "#general", "<div>", "__QUORIX_URL_0__"}) {
        EXPECT_TRUE(heuristics_.isCodeOrDevToken(word)) << word;
    }
    for (const char* word : {"Ciao", "...", "README.MD", "Getusername"}) {
        EXPECT_FALSE(heuristics_.isCodeOrDevToken(word)) << word;
    }
}

// Mentions, code tokens, elongations, one-letter pieces and personal words
// are exempt; apostrophes do not split words and a lone elided form is never
// checked; unaccented words count only when accents are corrected.
TEST_F(TextHeuristicsTest, ScansSkipExemptWords) {
    EXPECT_TRUE(heuristics_.hasPotentialTypo("ciao come stao"));
    EXPECT_EQ(heuristics_.findMisspelledWord("ciao Zorbolo", false).misspelledWord, "zorbolo");
    config_.addWordToWhitelist("Zorbolo");
    spell_.takeAsked();
    EXPECT_FALSE(heuristics_.hasPotentialTypo("ciaooo @mario getUserName a b zorbolo, come stai"));
    for (const auto& [word, language] : spell_.takeAsked()) {
        EXPECT_EQ(language, "it") << word;  // Italian only
    }
    EXPECT_TRUE(heuristics_.hasPotentialTypo("see you tomorrow"));

    EXPECT_EQ(heuristics_.findMisspelledWord("ciaooo Zorbolo", false).misspelledWord, std::nullopt);
    const SpellScan scan = heuristics_.findMisspelledWord("non vieni, l’altro po' domani", false);
    EXPECT_EQ(scan.candidateWords,
              (std::vector<std::string>{"non", "vieni", "l’altro", "po'", "domani"}));
    EXPECT_EQ(scan.misspelledWord, std::nullopt);

    config_.setCorrectAccents(false);
    EXPECT_EQ(heuristics_.findMisspelledWord("perche non vieni", false).misspelledWord,
              std::nullopt);
    config_.setCorrectAccents(true);
    EXPECT_EQ(heuristics_.findMisspelledWord("perche non vieni", false).misspelledWord, "perche");
}

// Identifiers, file names and paths are candidates as a whole and count as
// code; a dot between two words of a sentence still gets checked.
TEST_F(TextHeuristicsTest, IdentifiersFileNamesAndPathsStayWhole) {
    const std::string text = "guarda user_idd, config.yml e src/main.cpp o C:\\tmp\\log.txt";
    const SpellScan scan = heuristics_.findMisspelledWord(text, false);
    EXPECT_EQ(scan.candidateWords, (std::vector<std::string>{"guarda", "user_idd", "config.yml",
                                                             "src/main.cpp", "C:\\tmp\\log.txt"}));
    EXPECT_EQ(scan.misspelledWord, std::nullopt);
    EXPECT_FALSE(heuristics_.hasPotentialTypo("ciao user_idd config.yml"));
    EXPECT_EQ(heuristics_.findMisspelledWord("ciao.Cmoe stai", false).misspelledWord, "ciao.cmoe");
    EXPECT_EQ(heuristics_.findMisspelledWord("ciao, cmoe stai", false).misspelledWord, "cmoe");
}

TEST_F(TextHeuristicsTest, ItalianContextChecksItalianThenEnglishAndStopsAtFirstTypo) {
    const SpellScan scan =
        heuristics_.findMisspelledWord("non vieni al meeting domani xyzzy qwerty", false);
    EXPECT_EQ(scan.misspelledWord, "al");  // rejected by both lists
    EXPECT_EQ(recognizer_.calls, 0);
    using Asked = testing::WordListSpellChecker::Asked;
    EXPECT_EQ(spell_.takeAsked(),
              (Asked{{"non", "it"}, {"vieni", "it"}, {"al", "it"}, {"al", "en"}}));

    spell_.accept({"al"}, "it");
    EXPECT_EQ(heuristics_.findMisspelledWord("non vieni al meeting domani", false).misspelledWord,
              std::nullopt);  // "meeting" is English
}

TEST_F(TextHeuristicsTest, OtherwiseChecksDetectedLanguageThenEnglishThenItalian) {
    recognizer_.language = "de";
    EXPECT_EQ(heuristics_.findMisspelledWord("wir sehen uns morgen", false).misspelledWord,
              std::nullopt);
    spell_.takeAsked();
    EXPECT_EQ(heuristics_.findMisspelledWord("wir sehn uns morgen", false).misspelledWord, "sehn");
    using Asked = testing::WordListSpellChecker::Asked;
    EXPECT_EQ(spell_.takeAsked(),
              (Asked{{"wir", "de"}, {"sehn", "de"}, {"sehn", "en"}, {"sehn", "it"}}));

    // A detected "en" is not asked twice.
    recognizer_.language = "en";
    EXPECT_EQ(heuristics_.findMisspelledWord("see you tomorow", false).misspelledWord, "tomorow");
    EXPECT_EQ(spell_.takeAsked(),
              (Asked{{"see", "en"}, {"you", "en"}, {"tomorow", "en"}, {"tomorow", "it"}}));
}

TEST_F(TextHeuristicsTest, PlaceholdersOfLinksAndMentionsStayWholeAndAreNotChecked) {
    const SpellScan scan = heuristics_.findMisspelledWord(
        "guarda https://example.com/page_1?x=2 e scrivi a @Mario Rossi (cc [JIRA]) #canale "
        "ABC-12",
        false);
    EXPECT_EQ(scan.candidateWords, (std::vector<std::string>{"guarda", "scrivi", "cc"}));
    EXPECT_EQ(scan.misspelledWord, "cc");
    spell_.accept({"cc"}, "it");
    EXPECT_EQ(heuristics_.findMisspelledWord("ciao @marco, guarda www.example.com/x_y", false)
                  .misspelledWord,
              std::nullopt);
    // A placeholder glued to a word does not hide the word.
    EXPECT_EQ(
        heuristics_.findMisspelledWord("ciao guardahttps://example.com", false).candidateWords,
        (std::vector<std::string>{"ciao", "guarda"}));
}

TEST_F(TextHeuristicsTest, ContextualSuspicion) {
    struct Case {
        std::string text;
        bool executive;
        bool correctAccents;
        bool expected;
    };
    const std::vector<Case> cases = {
        {"cmq ci vediamo", true, false, true},         {"cmq ci vediamo", false, false, false},
        {"Che SCHIFO di giornata", true, false, true}, {"Ci ci vediamo", false, false, true},
        {"e e vediamo", false, false, false},          {"sei statti bravi", false, false, true},
        {"statti zitto", false, false, false},         {"sono daccordo", false, false, true},
        {"qual'è il punto", false, false, false},      {"qual'è il punto", false, true, true},
        {"un po' di pane", false, true, false},
    };
    for (const auto& c : cases) {
        config_.setCorrectAccents(c.correctAccents);
        const auto words = heuristics_.findMisspelledWord(c.text, c.executive).candidateWords;
        EXPECT_EQ(heuristics_.hasContextualSuspicion(c.text, words, c.executive), c.expected)
            << c.text << " executive=" << c.executive;
    }
}

TEST_F(TextHeuristicsTest, UnfinishedAutocompleteTokens) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"ciao @", "Menzione: @"},
        {"ciao\n@mar", "Menzione: @mar"},
        {"ciao\r\n:smi", "Emoji: :smi"},
        {"ok :+1", "Emoji: :+1"},
        {"/giphy", "Comando: /giphy"},
        {"ciao #todo", "Hashtag: #todo"},
        {"vai /giphy", ""},
        {"ciao #", ""},
        {"ciao @mario come stai", ""},
        {"scrivi a mario@example", ""},
        {"ore 10:30", ""},
        {"", ""}};
    for (const auto& [text, expected] : cases) {
        const AutocompleteToken got = heuristics_.isUnfinishedAutocompleteToken(text);
        EXPECT_EQ(got.isMatch, !expected.empty()) << text;
        EXPECT_EQ(got.matched, expected) << text;
    }
}

TEST(TextHeuristicsCleanUp, TidiesSpacingAroundPunctuationButNeverInsideLinks) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"ciao ,come  stai ?", "ciao, come stai?"},
        {"uno;due,tre", "uno; due, tre"},
        {"vale 1,5 euro", "vale 1,5 euro"},
        {"si,è vero", "si, è vero"},
        {"riga uno  \n\nriga due", "riga uno \n\nriga due"},
        {"vedi https://example.com/q?a=1,b;c=2 ,grazie",
         "vedi https://example.com/q?a=1,b;c=2, grazie"}};
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(TextHeuristics::cleanPunctuationAndSpacing(input), expected) << input;
    }
}

TEST_F(TextHeuristicsTest, ConcurrentScansOnOneInstanceAgree) {
    const std::string text = "guarda https://example.com e scrivi a @mario, ciao Zorbolo";
    const SpellScan expected = heuristics_.findMisspelledWord(text, false);
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 50; ++i) {
                const SpellScan scan = heuristics_.findMisspelledWord(text, false);
                mismatches += scan.candidateWords != expected.candidateWords ||
                              scan.misspelledWord != expected.misspelledWord;
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(mismatches, 0);
}

// The same scan over the real hunspell dictionaries.
TEST_F(TextHeuristicsTest, RealDictionariesAcceptCorrectItalianWithLinkAndMention) {
    language::NuspellSpellChecker nuspell;
    if (!nuspell.hasDictionary("it") || !nuspell.hasDictionary("en")) {
        GTEST_SKIP() << "hunspell dictionaries for it/en are not installed";
    }
    TextHeuristics real(config_, detector_, nuspell);
    EXPECT_EQ(real.findMisspelledWord("Ciao Marco, guarda https://example.com/pagina_1 e dimmi "
                                      "cosa ne pensi @giulia",
                                      false)
                  .misspelledWord,
              std::nullopt);
    EXPECT_EQ(
        real.findMisspelledWord("Ciao, ci vediamo domani sera al ristornte", false).misspelledWord,
        "ristornte");
}

}  // namespace
}  // namespace quorix
