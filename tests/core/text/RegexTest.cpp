#include "core/text/Regex.h"
#include "core/text/Text.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace quorix::text {
namespace {

std::vector<Range> wholeRanges(const std::vector<RegexMatch>& matches) {
    std::vector<Range> out;
    for (const auto& m : matches)
        out.push_back(m.range());
    return out;
}

TEST(Regex, RangesAreUtf16OffsetsAfterSurrogatePairs) {
    const Regex re = Regex::compile("cat");
    // 😀 is two UTF-16 units, é one; the UTF-8 and UTF-16 overloads agree.
    const std::string text = "😀 cat é cat";
    const std::vector<Range> expected = {{3, 3}, {9, 3}};
    EXPECT_EQ(wholeRanges(re.findAll(text)), expected);
    EXPECT_EQ(wholeRanges(re.findAll(toUtf16(text))), expected);

    // A range replaced through replaceRange lands on the right units.
    std::u16string u = toUtf16(text);
    u = replaceRange(u, expected[1], u"dog");
    EXPECT_EQ(fromUtf16(u), "😀 cat é dog");

    // "." consumes a whole supplementary code point.
    const auto dots = Regex::compile("^.(.)").firstMatch(toUtf16("😀😁x"));
    ASSERT_TRUE(dots);
    EXPECT_EQ(dots->groups[1], (Range{2, 2}));
}

TEST(Regex, CaptureGroupsIncludingUnmatchedOnes) {
    const Regex re = Regex::compile("(\\w+)@(\\w+)(\\.com)?");
    const auto matches = re.findAll(std::string("mail ada@example.org and bob@site.com"));
    ASSERT_EQ(matches.size(), 2u);
    EXPECT_EQ(matches[0].groups,
              (std::vector<Range>{{5, 11}, {5, 3}, {9, 7}, {Range::kNotFound, 0}}));
    EXPECT_FALSE(matches[0].groups[3].found());
    EXPECT_EQ(matches[1].groups, (std::vector<Range>{{25, 12}, {25, 3}, {29, 4}, {33, 4}}));

    const auto alt = Regex::compile("(a)|(b)").firstMatch(u"b");
    ASSERT_TRUE(alt);
    EXPECT_EQ(alt->groups, (std::vector<Range>{{0, 1}, {Range::kNotFound, 0}, {0, 1}}));
}

TEST(Regex, EmptyMatchesAdvanceWithoutLooping) {
    // Like NSRegularExpression: an empty match, the run, then the empty match at the end.
    EXPECT_EQ(wholeRanges(Regex::compile("a*").findAll(u"baaa")),
              (std::vector<Range>{{0, 0}, {1, 3}, {4, 0}}));
    // After an empty match the search moves one code point, never splitting a pair.
    EXPECT_EQ(wholeRanges(Regex::compile("x*").findAll(u"😀")),
              (std::vector<Range>{{0, 0}, {2, 0}}));
    EXPECT_EQ(wholeRanges(Regex::compile("").findAll(u"")), (std::vector<Range>{{0, 0}}));
    EXPECT_EQ(wholeRanges(Regex::compile("\\b").findAll(u"ab cd")),
              (std::vector<Range>{{0, 0}, {2, 0}, {3, 0}, {5, 0}}));
    EXPECT_EQ(Regex::compile("x*").replaceAll(std::string("ab"), "-"), "-a-b-");
}

TEST(Regex, Options) {
    const std::string text = "Été\nétÉ";
    EXPECT_EQ(Regex::compile("été").findAll(text).size(), 0u);
    EXPECT_EQ(Regex::compile("été", Regex::kCaseInsensitive).findAll(text).size(), 2u);
    EXPECT_TRUE(
        Regex::compile("STRASSE", Regex::kCaseInsensitive).search("straße"));  // full case folding

    EXPECT_FALSE(Regex::compile("^ét").search(text));
    EXPECT_TRUE(Regex::compile("^ét", Regex::kMultiline).search(text));
    EXPECT_TRUE(Regex::compile("Été$", Regex::kMultiline).search(text));

    EXPECT_FALSE(Regex::compile("é.é").search("é\né"));
    EXPECT_TRUE(Regex::compile("é.é", Regex::kDotAll).search("é\né"));

    const Regex all =
        Regex::compile("^é.*é$", Regex::kCaseInsensitive | Regex::kMultiline | Regex::kDotAll);
    EXPECT_EQ(all.findAll(text).size(), 1u);
}

TEST(Regex, SearchAndWholeMatch) {
    const Regex word = Regex::compile("\\p{L}+");
    EXPECT_TRUE(word.matchesWhole("perché"));
    EXPECT_FALSE(word.matchesWhole("perché?"));
    EXPECT_TRUE(word.search("?? perché"));
    EXPECT_FALSE(word.search("123 !"));
    EXPECT_FALSE(word.firstMatch(u"123").has_value());
    // Invalid UTF-8 is matched as U+FFFD.
    EXPECT_TRUE(Regex::compile("a\\x{FFFD}b")
                    .matchesWhole("a\xFF"
                                  "b"));
}

TEST(Regex, ReplaceAllWithTemplates) {
    const Regex re = Regex::compile("(\\w+)@(\\w+)");
    EXPECT_EQ(re.replaceAll(std::string("ada@home, bob@work"), "$2:$1"), "home:ada, work:bob");
    EXPECT_EQ(re.replaceAll(std::string("ada@home"), "\\$1 costs \\$$2"), "$1 costs $home");
    EXPECT_EQ(re.replaceAll(u"😀ada@home😀", u"<$0>"), u"😀<ada@home>😀");
    EXPECT_EQ(re.replaceAll(std::string("no match"), "$1"), "no match");
    // A template naming a missing group leaves the text unchanged.
    EXPECT_EQ(re.replaceAll(std::string("ada@home"), "$7"), "ada@home");
}

TEST(Regex, InvalidPatterns) {
    EXPECT_FALSE(Regex::make("(unclosed").has_value());
    EXPECT_FALSE(Regex::make("a{2,1}").has_value());
    EXPECT_TRUE(Regex::make("\\p{Lu}\\p{Ll}*").has_value());
    EXPECT_DEATH(Regex::compile("[z-a]"), "invalid regular expression");
}

TEST(Regex, CopiesShareAndMovedFromStaysUsable) {
    Regex a = Regex::compile("b+");
    const Regex copy = a;
    Regex moved = std::move(a);
    EXPECT_TRUE(copy.search("abbc"));
    EXPECT_TRUE(moved.search("abbc"));
    EXPECT_TRUE(a.search("abbc"));  // NOLINT(bugprone-use-after-move): documented to stay valid
    moved = Regex::compile("z");
    EXPECT_FALSE(moved.search("abbc"));
}

TEST(Regex, ReplaceRangeClampsOutOfBounds) {
    const std::u16string s = u"a😀b";
    EXPECT_EQ(replaceRange(s, {1, 2}, u"-"), u"a-b");
    EXPECT_EQ(replaceRange(s, {4, 0}, u"!"), u"a😀b!");
    EXPECT_EQ(replaceRange(s, {0, 4}, u""), u"");
    EXPECT_EQ(replaceRange(s, {3, 99}, u"c"), u"a😀c");
    EXPECT_EQ(replaceRange(s, {99, 1}, u"c"), u"a😀bc");
    EXPECT_EQ(replaceRange(s, {Range::kNotFound, 0}, u"<"), u"<a😀b");
    EXPECT_EQ(replaceRange(s, {1, -5}, u"x"), u"ax😀b");
}

}  // namespace
}  // namespace quorix::text
