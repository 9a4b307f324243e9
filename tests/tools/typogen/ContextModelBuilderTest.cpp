#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "core/knowledge/ContextModel.h"
#include "tools/typogen/ContextModelBuilder.h"

namespace quorix::typogen {
namespace {

const std::vector<std::string> kLexicon = {"grazie", "a",       "tutti", "casa",
                                           "torno",  "ufficio", "vado",  "nel"};

// "left right" -> count, by spelling.
std::map<std::string, uint64_t> pairsOf(const ContextModel::Counts& c) {
    std::map<std::string, uint64_t> out;
    for (const auto& p : c.pairs) {
        out[c.words[p.left].word + " " + c.words[p.right].word] = p.count;
    }
    return out;
}

TEST(ContextModelBuilder, PairsStopAtPunctuationAndUnknownWordsAndSplitElisions) {
    ContextModelBuilder builder(kLexicon);
    builder.addText(
        "Grazie a tutti! Torno a casa, grazie.\nVado nell'ufficio; nell’ufficio xyz casa");
    const ContextModel::Counts c = builder.counts("it", 0.5);
    const std::map<std::string, uint64_t> expected = {{"grazie a", 1},      {"a tutti", 1},
                                                      {"torno a", 1},       {"a casa", 1},
                                                      {"nell' ufficio", 2}, {"vado nell'", 1}};
    EXPECT_EQ(pairsOf(c), expected);
    EXPECT_EQ(c.tokens, 14u);  // "nell'" "ufficio" count as two, "xyz" as one
    ASSERT_FALSE(c.words.empty());
    EXPECT_EQ(c.words.front().word, "a");  // most frequent first
    EXPECT_EQ(c.words.front().followers, 2u);
    ASSERT_TRUE(ContextModel::parse(ContextModel::serialize(c)));
}

TEST(ContextModelBuilder, FrequentWordsOutsideTheLexiconAreTheTextsOwnTokens) {
    ContextModelBuilder builder(kLexicon);
    builder.addText(
        "Il TTY e la cpu: tty, cpu, tty. Casa casa casa; xy xy xy; dell'x dell'x dell'x");
    const std::vector<std::string> expected = {"tty"};  // "cpu" twice, "xy" too short
    EXPECT_EQ(builder.frequentOutsideWords(3, 3), expected);
    EXPECT_EQ(builder.frequentOutsideCounts(2, 3),
              (std::vector<std::pair<std::string, uint64_t>>{{"cpu", 2}, {"tty", 3}}));
    // Once lexicon words, they are counted in the model and no longer outside.
    builder.addLexiconWords({"TTY"});
    EXPECT_EQ(builder.frequentOutsideWords(2, 3), std::vector<std::string>{"cpu"});
    const ContextModel::Counts c = builder.counts("it", 0.5);
    const auto tty =
        std::find_if(c.words.begin(), c.words.end(), [](const auto& w) { return w.word == "tty"; });
    ASSERT_NE(tty, c.words.end());
    EXPECT_EQ(tty->count, 3u);
}

TEST(ContextModelBuilder, MarkupGivesItsBlockTextWithoutMetadataOrCode) {
    ContextModelBuilder builder(kLexicon);
    builder.addMarkup(
        "<page><info><credit><name>Grazie Casa</name></credit></info>"
        "<title>Torno a casa</title><p>Vado nel <gui>ufficio</gui></p>"
        "<code>a tutti</code><p>grazie</p></page>");
    builder.addMarkup(
        "<html><head><title>casa nel</title></head><body><p>grazie&nbsp;a <a "
        "href=\"x\">tutti</a></p><pre>torno a</pre></body></html>");
    const std::map<std::string, uint64_t> expected = {{"torno a", 1},  {"a casa", 1},
                                                      {"vado nel", 1}, {"nel ufficio", 1},
                                                      {"grazie a", 1}, {"a tutti", 1}};
    EXPECT_EQ(pairsOf(builder.counts("it", 1)), expected);
}

TEST(ContextModelBuilder, EqualTextInAnyOrderGivesEqualBytes) {
    const char* parts[] = {"grazie a tutti", "torno a casa", "vado nell'ufficio a casa"};
    ContextModelBuilder forward(kLexicon);
    ContextModelBuilder backward(kLexicon);
    for (int i = 0; i < 3; ++i) {
        forward.addText(parts[i]);
        backward.addText(parts[2 - i]);
    }
    EXPECT_EQ(ContextModel::serialize(forward.counts("it", 1)),
              ContextModel::serialize(backward.counts("it", 1)));
}

}  // namespace
}  // namespace quorix::typogen
