#include <gtest/gtest.h>

#include "AITestSupport.h"
#include "core/ai/PlaceholderMasker.h"

namespace quorix {
namespace {

using M = PlaceholderMasker;

TEST(MaskURLs, NumbersLinksFromTheStartAndKeepsExactSpans) {
    const MaskResult r = M::maskURLs("vedi https://a.it/x e poi www.b.com/y.");
    EXPECT_EQ(r.maskedText, "vedi __QUORIX_URL_0__ e poi __QUORIX_URL_1__");
    EXPECT_EQ(r.map, (PlaceholderMap{{"__QUORIX_URL_0__", "https://a.it/x"},
                                     {"__QUORIX_URL_1__", "www.b.com/y."}}));
}

TEST(MaskURLs, CaseInsensitiveSchemeAndStopCharacters) {
    EXPECT_EQ(M::maskURLs("HTTPS://X.IT ok").maskedText, "__QUORIX_URL_0__ ok");
    EXPECT_TRUE(M::maskURLs("wwwx.it e www ok").map.empty());
    // Quotes, angle brackets, U+2019 and the grave accent end a link.
    const MaskResult r =
        M::maskURLs("\"http://a.it/p\" <http://b.it> http://c.it\u2019s `www.d.it`");
    EXPECT_EQ(r.maskedText,
              "\"__QUORIX_URL_0__\" <__QUORIX_URL_1__> __QUORIX_URL_2__\u2019s `__QUORIX_URL_3__`");
    EXPECT_EQ(r.map.at("__QUORIX_URL_2__"), "http://c.it");
}

TEST(MaskURLs, RangesAreUtf16AcrossAstralCharacters) {
    const MaskResult r = M::maskURLs("😀😀 http://a.it/é 😀 www.b.it");
    EXPECT_EQ(r.maskedText, "😀😀 __QUORIX_URL_0__ 😀 __QUORIX_URL_1__");
    EXPECT_EQ(r.map.at("__QUORIX_URL_0__"), "http://a.it/é");
}

TEST(MaskTags, AlternativesAndTheirLimits) {
    EXPECT_EQ(M::maskTags("ciao @Mario Rossi come va").maskedText, "ciao __QUORIX_TAG_0__ come va");
    EXPECT_EQ(M::maskTags("@mario ciao").maskedText, "__QUORIX_TAG_0__ ciao");
    EXPECT_EQ(M::maskTags("in #general e <b> e [nota]").maskedText,
              "in __QUORIX_TAG_0__ e __QUORIX_TAG_1__ e __QUORIX_TAG_2__");
    EXPECT_EQ(M::maskTags("vedi PROJ-123 e AB-1").maskedText,
              "vedi __QUORIX_TAG_0__ e __QUORIX_TAG_1__");
    EXPECT_TRUE(M::maskTags("vedi proj-123 e A-1 e ABCDEFGHIJK-1").map.empty());
    EXPECT_TRUE(M::maskTags("[a\nb] e <c\nd>").map.empty());
    EXPECT_TRUE(M::maskTags("__QUORIX_URL_0__ __QUORIX_URL_12__").map.empty());
}

TEST(MaskTags, RemovesZeroWidthSpacesEvenWithoutTags) {
    EXPECT_EQ(M::maskTags("ci\u200Bao\u200B").maskedText, "ciao");
    EXPECT_EQ(M::maskTags("\u200B#a\u200B").maskedText, "__QUORIX_TAG_0__");
}

TEST(Unmask, LinkInsideBracketsRoundTrips) {
    const std::string input = "guarda <www.y.it> e [nota https://x.it/a ] ok @Anna";
    const MaskResult urls = M::maskURLs(input);
    const MaskResult tags = M::maskTags(urls.maskedText);
    EXPECT_EQ(tags.maskedText, "guarda __QUORIX_TAG_0__ e __QUORIX_TAG_1__ ok __QUORIX_TAG_2__");
    EXPECT_EQ(tags.map.at("__QUORIX_TAG_0__"), "<__QUORIX_URL_0__>");
    EXPECT_EQ(tags.map.at("__QUORIX_TAG_1__"), "[nota __QUORIX_URL_1__ ]");
    EXPECT_EQ(M::unmaskURLs(M::unmaskTags(tags.maskedText, tags.map), urls.map), input);

    // A closing square bracket right after a link belongs to the link.
    const std::string glued = "vedi [https://x.it/a] ora";
    const MaskResult u = M::maskURLs(glued);
    EXPECT_EQ(u.map.at("__QUORIX_URL_0__"), "https://x.it/a]");
    const MaskResult t = M::maskTags(u.maskedText);
    EXPECT_TRUE(t.map.empty());
    EXPECT_EQ(M::unmaskURLs(M::unmaskTags(t.maskedText, t.map), u.map), glued);
}

TEST(Unmask, RestoresRepeatsAndRepairsLostPlaceholdersWithLogLines) {
    testing::ConfigWorld world;
    const PlaceholderMap urls{{"__QUORIX_URL_0__", "https://a.it"},
                              {"__QUORIX_URL_1__", "www.b.it"}};
    EXPECT_EQ(M::unmaskURLs("__QUORIX_URL_0__ e __QUORIX_URL_0__", urls, &world.logger),
              "https://a.it e https://a.it www.b.it");
    EXPECT_TRUE(world.logged(
        "⚠️ [AIClient] Placeholder __QUORIX_URL_1__ rimosso dall'AI. Ripristino di sicurezza "
        "dell'URL."));

    const PlaceholderMap tags{{"__QUORIX_TAG_0__", "@Mario Rossi"}};
    EXPECT_EQ(M::unmaskTags("ciao a tutti", tags, &world.logger), "@Mario Rossi ciao a tutti");
    EXPECT_TRUE(world.logged(
        "⚠️ [AIClient] Segnaposto tag __QUORIX_TAG_0__ rimosso dall'AI. Ripristino del tag "
        "originale."));
}

TEST(Unmask, PlaceholderNumbersDoNotCollide) {
    PlaceholderMap urls;
    std::string text;
    for (int i = 0; i < 12; ++i) {
        urls["__QUORIX_URL_" + std::to_string(i) + "__"] = "u" + std::to_string(i);
        text += "__QUORIX_URL_" + std::to_string(i) + "__ ";
    }
    EXPECT_EQ(M::unmaskURLs(text, urls), "u0 u1 u2 u3 u4 u5 u6 u7 u8 u9 u10 u11 ");
}

}  // namespace
}  // namespace quorix
