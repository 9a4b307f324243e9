#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/knowledge/ContextModel.h"
#include "core/knowledge/NoisyChannelCorrector.h"
#include "core/text/Text.h"
#include "tests/core/knowledge/KnowledgeFixtures.h"

namespace quorix {
namespace {

// "tanti auguri" and "da tanto tempo", each seen often; "tanto" and "tanti"
// equally frequent.
ContextModel::Counts italianCounts(double weight = 1) {
    ContextModel::Counts c;
    c.language = "it";
    c.weight = weight;
    c.tokens = 1000;
    c.words = {{"tanto", 40, 5}, {"tanti", 40, 5}, {"auguri", 30, 2}, {"tempo", 30, 2},
               {"da", 50, 10},   {"dell'", 10, 3}, {"ufficio", 10, 1}};
    c.pairs = {{0, 3, 25}, {1, 2, 25}, {4, 0, 20}, {5, 6, 8}};
    return c;
}

TEST(ContextModel, MalformedFilesAreRefusedWholeAndGoodOnesRoundTrip) {
    const std::string good = ContextModel::serialize(italianCounts());
    const auto model = ContextModel::parse(good);
    ASSERT_TRUE(model);
    EXPECT_EQ(model->wordCount(), 7u);
    EXPECT_EQ(model->pairCount(), 4u);
    const auto swap = [&](const char* from, const char* to) {
        return text::replaceAll(good, from, to);
    };
    const struct {
        const char* what;
        std::string data;
    } bad[] = {
        {"empty", ""},
        {"other magic", swap("quorix-context-model 1", "quorix-context-model 2")},
        {"no language", swap("language it", "language")},
        {"weight not a number", swap("weight 1", "weight x")},
        {"negative weight", swap("weight 1", "weight -1")},
        {"discount 1", swap("discount 0.75", "discount 1")},
        {"more words than listed", swap("words 7", "words 8")},
        {"fewer pairs than listed", swap("pairs 4", "pairs 3")},
        {"too many words", swap("words 7", "words 70000")},
        {"word without counts", swap("auguri 30 2", "auguri 30")},
        {"followers over count", swap("auguri 30 2", "auguri 30 31")},
        {"zero count", swap("auguri 30 2", "auguri 0 0")},
        {"pair out of range", swap("5 6 8", "5 7 8")},
        {"pairs out of order", swap("0 3 25\n1 2 25", "1 2 25\n0 3 25")},
        {"huge count", swap("5 6 8", "5 6 99999999999999999999")},
        {"truncated", good.substr(0, good.size() - 4)},
        {"invalid UTF-8", swap("auguri", "augur\xff")},
    };
    for (const auto& b : bad) {
        EXPECT_FALSE(ContextModel::parse(b.data)) << b.what;
    }
}

TEST(ContextModel, UnseenPairsAreLessLikelyButNeverImpossible) {
    const auto model = ContextModel::parse(ContextModel::serialize(italianCounts()));
    ASSERT_TRUE(model);
    const int32_t tanto = model->id(U"tanto");
    const int32_t tanti = model->id(U"tanti");
    const int32_t tempo = model->id(U"tempo");
    EXPECT_EQ(model->logFactor(ContextModel::kNone, tanto, ContextModel::kNone), 0);
    EXPECT_GT(model->logFactor(ContextModel::kNone, tanto, tempo), 0);
    const double unseen = model->logFactor(ContextModel::kNone, tanti, tempo);
    EXPECT_LT(unseen, 0);
    EXPECT_GE(unseen, -ContextModel::kMaxLogRatio);
    // A word the model does not know against a known left neighbour.
    const double unknown = model->logFactor(model->id(U"da"), ContextModel::kNone, tempo);
    EXPECT_TRUE(std::isfinite(unknown));
    EXPECT_GE(unknown, -ContextModel::kMaxLogRatio);
    // Elided heads are words of their own; both apostrophes are one.
    EXPECT_EQ(model->id(U"dell\u2019"), model->id(U"dell'"));
    EXPECT_GT(model->neighbours(U"dell'", U"").logFactor(U"ufficio"), 0);
}

// Two candidates the keyboard model finds equally likely ("tantk": one key
// from "tanto" and "tanti"); the neighbours decide.
TEST(NoisyChannelCorrector, ContextDecidesBetweenEquallyLikelyCandidates) {
    const std::vector<std::string> words = {"da", "tanto", "tanti", "auguri", "tempo", "ufficio"};
    testing::ScriptedSpellChecker spell({words.begin(), words.end()});
    const std::string keyboard = NoisyChannelModel::serialize("it", {0.5, 2, 1e-9}, words, {});
    std::string context = ContextModel::serialize(italianCounts());
    NoisyChannelCorrector corrector(
        spell, [&](std::string_view) { return keyboard; }, {},
        [&](std::string_view) { return std::optional(context); });
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"tantk auguri", "tanti auguri"},
        {"da tantk tempo", "da tanto tempo"},
        {"Tantk auguri!", "Tanti auguri!"},
        {"tantk, auguri", "tantk, auguri"},  // punctuation: no neighbour, ambiguous
        {"tantk", "tantk"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(corrector.correct(c.in, "it").text.value_or(c.in), c.out) << c.in;
    }
    // Without a usable context file the slip stays ambiguous, never a crash.
    context = "quorix-context-model 1\nlanguage it\n";
    NoisyChannelCorrector plain(
        spell, [&](std::string_view) { return keyboard; }, {},
        [&](std::string_view) { return std::optional(context); });
    EXPECT_FALSE(plain.correct("tantk auguri", "it").text);
    EXPECT_EQ(plain.context("it"), nullptr);
}

}  // namespace
}  // namespace quorix
