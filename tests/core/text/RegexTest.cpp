#include "core/text/Regex.h"
#include "core/text/Text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorix::text {
namespace {

using Ranges = std::vector<Range>;

Ranges wholeRanges(const std::vector<RegexMatch>& matches) {
    Ranges out;
    for (const auto& m : matches) {
        out.push_back(m.range());
    }
    return out;
}

TEST(Regex, RangesAreUtf16OffsetsAndGroupsMayBeUnmatched) {
    // 😀 is two UTF-16 units, é one; the UTF-8 and UTF-16 overloads agree.
    const std::string text = "😀 cat é cat";
    EXPECT_EQ(wholeRanges(Regex::compile("cat").findAll(text)), (Ranges{{3, 3}, {9, 3}}));
    EXPECT_EQ(wholeRanges(Regex::compile("cat").findAll(toUtf16(text))), (Ranges{{3, 3}, {9, 3}}));
    const auto alt = Regex::compile("(a)|(b)").firstMatch(u"😀b");
    ASSERT_TRUE(alt);
    EXPECT_EQ(alt->groups, (Ranges{{2, 1}, {Range::kNotFound, 0}, {2, 1}}));
    // Invalid UTF-8 is matched as U+FFFD.
    EXPECT_TRUE(Regex::compile("a\\x{FFFD}b").matchesWhole(std::string("a\xFF") + "b"));
}

TEST(Regex, EmptyMatchesAdvanceWithoutLoopingOrSplittingPairs) {
    EXPECT_EQ(wholeRanges(Regex::compile("a*").findAll(u"baaa")), (Ranges{{0, 0}, {1, 3}, {4, 0}}));
    EXPECT_EQ(wholeRanges(Regex::compile("x*").findAll(u"😀")), (Ranges{{0, 0}, {2, 0}}));
    EXPECT_EQ(Regex::compile("x*").replaceAll(std::string("ab"), "-"), "-a-b-");
}

TEST(Regex, ReplaceAllTemplatesAndInvalidPatterns) {
    const Regex re = Regex::compile("(\\w+)@(\\w+)");
    EXPECT_EQ(re.replaceAll(std::string("ada@home, bob@work"), "$2:$1"), "home:ada, work:bob");
    EXPECT_EQ(re.replaceAll(std::string("ada@home"), "\\$1 costs \\$$2"), "$1 costs $home");
    EXPECT_EQ(re.replaceAll(u"😀ada@home😀", u"<$0>"), u"😀<ada@home>😀");
    EXPECT_EQ(re.replaceAll(std::string("ada@home"), "$7"), "ada@home");  // missing group
    EXPECT_FALSE(Regex::make("(unclosed").has_value());
    EXPECT_DEATH(Regex::compile("[z-a]"), "invalid regular expression");
    const uint32_t all = Regex::kCaseInsensitive | Regex::kMultiline | Regex::kDotAll;
    EXPECT_EQ(Regex::compile("^é.é$", all).findAll("x\nÉ\né\ny").size(), 1u);
}

TEST(Regex, ReplaceRangeClampsOutOfBounds) {
    const std::u16string s = u"a😀b";
    EXPECT_EQ(replaceRange(s, {1, 2}, u"-"), u"a-b");
    EXPECT_EQ(replaceRange(s, {3, 99}, u"c"), u"a😀c");
    EXPECT_EQ(replaceRange(s, {99, 1}, u"c"), u"a😀bc");
    EXPECT_EQ(replaceRange(s, {Range::kNotFound, 0}, u"<"), u"<a😀b");
    EXPECT_EQ(replaceRange(s, {1, -5}, u"x"), u"ax😀b");
}

TEST(Regex, BacktrackingBlowUpsEndAsNoMatchWhileLinearWorkScales) {
    // From every unclosed "<" this pattern rescans to the end: quadratic work.
    const Regex quadratic = Regex::compile("<[^>\\n]+>");
    const std::u16string run(100'000, u'<');
    EXPECT_TRUE(quadratic.findAll(std::u16string_view(run)).empty());
    EXPECT_FALSE(quadratic.firstMatch(run));
    EXPECT_FALSE(quadratic.search(fromUtf16(run)));
    EXPECT_EQ(quadratic.replaceAll(std::u16string_view(run), u"x"), run);
    // Linear work over a longer text still finds its match at the very end.
    const std::u16string haystack = std::u16string(1'000'000, u'<') + u"<b>";
    EXPECT_EQ(wholeRanges(Regex::compile("<b>").findAll(std::u16string_view(haystack))),
              (Ranges{{1'000'000, 3}}));
}

TEST(Regex, FirstMatchFromAnOffsetStillSeesTheTextBefore) {
    const Regex word = Regex::compile("\\bAB\\b");
    EXPECT_EQ(word.firstMatch(u"xAB AB", 1)->range(), (Range{4, 2}));
    EXPECT_FALSE(word.firstMatch(u"AB", 3));
}

}  // namespace
}  // namespace quorix::text
