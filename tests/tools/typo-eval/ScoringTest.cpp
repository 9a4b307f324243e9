#include <gtest/gtest.h>

#include <map>

#include "tools/typo-eval/MisspellingCheck.h"
#include "tools/typo-eval/SentenceScore.h"

namespace quorix::typoeval {
namespace {

TEST(MisspellingCheck, ParsesBothListFormatsAndScoresOneWordTypos) {
    const auto codespell = parseCodespell(
        "# comment\nteh->the\ntaks->takes, task, tasks,\nabouta->about a\nbroken line\n");
    EXPECT_EQ(codespell.at("taks"), (std::set<std::string>{"takes", "task", "tasks"}));
    const auto npm = parseMisspellingJson(R"({"coudl": "could,cloud", "Teh": "the"})");
    EXPECT_EQ(npm.at("coudl"), (std::set<std::string>{"could", "cloud"}));
    EXPECT_TRUE(parseMisspellingJson("[1, 2]").empty());

    const TypoMap map{{"teh", "the"}, {"taks", "take"}, {"abouta", "about a"}};
    const MisspellingScore s = scoreMisspellings(codespell, map);
    EXPECT_EQ(s.listed, 2u);  // "abouta" has no one-word correction
    EXPECT_EQ(s.covered, 2u);
    EXPECT_DOUBLE_EQ(s.precision(), 0.5);
}

TEST(SentenceScore, CountsRightWrongMissedAndFalseChanges) {
    const auto set = parseLabelledSentences(
        "# header\nciao cge fai\tciao che fai\nno tab here\na\tb\tc\n\nbene\tbene\r\n");
    ASSERT_EQ(set.size(), 2u);
    EXPECT_EQ(set[1].expected, "bene");

    SetScore score;
    addToSetScore(score, set[0], "ciao che fai");
    addToSetScore(score, {"sono stnaco oggi", "sono stanco oggi"}, "sono stnaco oggi");
    addToSetScore(score, {"va bnee dai", "va bene dai"}, "va bene da");
    addToSetScore(score, {"ok", "ok"}, "ok ok");  // unaligned output
    EXPECT_EQ(score.fullyCorrected, 1u);
    EXPECT_EQ(score.wordsToFix, 3u);
    EXPECT_EQ(score.rightChanges, 2u);
    EXPECT_EQ(score.wordsChanged, 4u);
    EXPECT_EQ(score.wrongChanges.count("dai -> da (dai)"), 1u);
    // Only an unfixed slip left as typed is a miss.
    EXPECT_EQ(score.missed, (std::map<std::string, std::size_t>{{"stnaco (stanco)", 1}}));

    CleanScore clean;
    addToCleanScore(clean, "tutto bene", "tutto bene");
    addToCleanScore(clean, "Weierhin gut", "Weiterhin gut");
    addToCleanScore(clean, "Weierhin schlecht", "Weiterhin schlecht");
    EXPECT_EQ(clean.changed, 2u);
    const auto top = mostFrequent(clean.falseCorrections, 5);
    ASSERT_EQ(top.size(), 1u);
    EXPECT_EQ(top[0].first, "Weierhin -> Weiterhin");
    EXPECT_EQ(top[0].second, 2u);
}

}  // namespace
}  // namespace quorix::typoeval
