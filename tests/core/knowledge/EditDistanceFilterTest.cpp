#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/knowledge/EditDistanceFilter.h"
#include "core/knowledge/KeyboardErrorModel.h"
#include "core/knowledge/NoisyChannelModel.h"
#include "core/knowledge/SymmetricDeleteIndex.h"
#include "core/text/Text.h"

namespace quorix {
namespace {

TEST(EditDistanceFilter, AgreesWithTheAlignmentTable) {
    const std::u32string longWord(45, U'a');
    const std::vector<std::pair<std::u32string, std::u32string>> pairs = {
        {U"casa", U"casa"},   {U"casa", U"csaa"}, {U"appuntamento", U"apputamento"},
        {U"abcd", U"badc"},   {U"abc", U"ca"},    {U"ab", U"bca"},
        {U"città", U"citta"}, {U"ǆǉ", U"ǉǆ"},     {U"日本", U"本日x"},
        {U"", U"ab"},         {U"abc", U""},      {longWord, longWord + U"b"},
        {longWord, U"a"},     {U"aabb", U"abab"}, {U"l'ufficio", U"lufficio'"},
        {U"a😀b", U"ab"}};
    std::mt19937 rng(7);
    std::vector<std::pair<std::u32string, std::u32string>> all = pairs;
    for (int n = 0; n < 3000; ++n) {  // a small alphabet: many swaps and repeats
        std::u32string a;
        std::u32string b;
        for (std::size_t i = rng() % 9; i > 0; --i) {
            a += U"abcà"[rng() % 4];
        }
        for (std::size_t i = rng() % 9; i > 0; --i) {
            b += U"abcà"[rng() % 4];
        }
        all.emplace_back(a, b);
    }
    for (const auto& [typed, candidate] : all) {
        const EditDistanceFilter filter(typed);
        for (int max = 0; max <= 3; ++max) {
            const int expected = KeyboardErrorModel::boundedDistance(candidate, typed, max);
            ASSERT_EQ(filter.bounded(candidate, max), expected) << text::fromUtf32(candidate);
            ASSERT_EQ(filter.boundedUtf8(text::fromUtf32(candidate), max), expected);
        }
    }
}

// Every word shares the key "q" (two letters deleted): one bucket holds more
// entries than the 16-bit starts count.
TEST(SymmetricDeleteIndex, FindsWordsInABucketOfTensOfThousands) {
    std::vector<std::u32string> words;
    for (char32_t a = 0x100; a <= 0x200; ++a) {
        for (char32_t b = 0x100; b < 0x200; ++b) {
            words.push_back({U'q', a, b});
        }
    }
    words.push_back(U"casa");
    const std::vector<std::u32string_view> views(words.begin(), words.end());
    const SymmetricDeleteIndex index(views);
    std::vector<uint32_t> found;
    for (const uint32_t id : {0u, 12345u, 65791u}) {
        index.candidates(std::u32string{U'q', words[id][1], U'z'}, 1, found);
        EXPECT_TRUE(std::binary_search(found.begin(), found.end(), id)) << id;
    }
    index.candidates(U"csaa", 2, found);
    EXPECT_TRUE(std::binary_search(found.begin(), found.end(), words.size() - 1));
}

TEST(NoisyChannelModel, KeepsTokensAndAccentedWordsAsGiven) {
    const auto model = NoisyChannelModel::parse(NoisyChannelModel::serialize(
        "de", {}, {"Straße", "größe", "haus"}, {"cmq", "bzw", "bzw", "à-la", "ok"}));
    ASSERT_TRUE(model);
    for (const auto& [token, kept] : std::vector<std::pair<std::string, bool>>{{"cmq", true},
                                                                               {"bzw", true},
                                                                               {"à-la", true},
                                                                               {"ok", true},
                                                                               {"cm", false},
                                                                               {"cmqq", false},
                                                                               {"", false},
                                                                               {"haus", false}}) {
        EXPECT_EQ(model->isKept(token), kept) << token;
    }
    EXPECT_TRUE(model->contains(U"straße"));
    EXPECT_EQ(model->candidates(U"haus"), std::vector<std::string>{});  // itself only
    EXPECT_EQ(model->candidates(U"grösse"), std::vector<std::string>{"größe"});
    EXPECT_EQ(model->candidates(U"strasse"), (std::vector<std::string>{"Straße"}));
    EXPECT_FALSE(model->contains(U"strase"));
    EXPECT_EQ(model->suggest(U"strsße").candidate, "Straße");
    EXPECT_EQ(model->suggest(U"grösse").candidate, "größe");
}

// Random words and slips, queried one after the other on one model: its
// candidates are every other word within the edits, whatever came before.
TEST(NoisyChannelModel, CandidatesAreEveryWordWithinTheEdits) {
    std::mt19937 rng(11);
    const std::u32string letters = U"aeiostrnàéü";
    const auto randomWord = [&] {
        std::u32string w;
        for (std::size_t n = 2 + rng() % 8; n > 0; --n) {
            w += letters[rng() % letters.size()];
        }
        return w;
    };
    std::vector<std::u32string> lexicon;
    std::vector<std::string> words;
    for (int i = 0; i < 400; ++i) {
        lexicon.push_back(randomWord());
        words.push_back(text::fromUtf32(lexicon.back()));
    }
    const auto model = NoisyChannelModel::parse(NoisyChannelModel::serialize("it", {}, words, {}));
    ASSERT_TRUE(model);
    for (int n = 0; n < 300; ++n) {
        std::u32string typed = n % 2 == 0 ? randomWord() : lexicon[rng() % lexicon.size()];
        typed[rng() % typed.size()] = letters[rng() % letters.size()];
        const int maxEdits = typed.size() >= NoisyChannelModel::kTwoEditLength ? 2 : 1;
        std::vector<std::string> expected;
        for (std::size_t id = 0; id < lexicon.size(); ++id) {
            const int d = KeyboardErrorModel::boundedDistance(lexicon[id], typed, maxEdits);
            if (d > 0 && d <= maxEdits) {
                expected.push_back(words[id]);
            }
        }
        ASSERT_EQ(model->candidates(typed), expected) << text::fromUtf32(typed);
    }
}

}  // namespace
}  // namespace quorix
