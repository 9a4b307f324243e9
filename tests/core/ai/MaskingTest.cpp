#include <gtest/gtest.h>

#include "AITestSupport.h"
#include "core/ai/PlaceholderMasker.h"
#include "core/ai/TagScanner.h"
#include "core/text/Regex.h"
#include "core/text/Text.h"

namespace quorix {
namespace {

using M = PlaceholderMasker;

TEST(MaskURLs, NumbersLinksFromTheStartAndKeepsExactSpans) {
    const MaskResult r = M::maskURLs("vedi https://a.it/x e poi www.b.com/y.");
    EXPECT_EQ(r.maskedText, "vedi __QUORIX_URL_0__ e poi __QUORIX_URL_1__");
    EXPECT_EQ(r.map, (PlaceholderMap{{"__QUORIX_URL_0__", "https://a.it/x"},
                                     {"__QUORIX_URL_1__", "www.b.com/y."}}));
    // Ranges are UTF-16 units: astral characters before and between links.
    const MaskResult astral = M::maskURLs("😀😀 http://a.it/é 😀 www.b.it");
    EXPECT_EQ(astral.maskedText, "😀😀 __QUORIX_URL_0__ 😀 __QUORIX_URL_1__");
    EXPECT_EQ(astral.map.at("__QUORIX_URL_0__"), "http://a.it/é");
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
    // Zero-width spaces go, with or without tags.
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

// The model echoes the masked text: what comes back must be the text as typed.
std::string roundTrip(const std::string& input) {
    const MaskResult urls = M::maskURLs(input);
    const MaskResult tags = M::maskTags(urls.maskedText);
    return M::unmaskURLs(M::unmaskTags(tags.maskedText, tags.map), urls.map);
}

TEST(Unmask, PlaceholdersTypedByTheUserComeBackUnchanged) {
    const std::string cases[] = {
        "scrivi __QUORIX_URL_0__ accanto a https://x.it/a",
        "__QUORIX_URL_0https://x.it e __QUORIX_URL_1__",
        "https://x.it __QUORIX_URL_0__QUORIX_URL_1__ https://y.it",
        "#canale e __QUORIX_TAG_0__ e __QUORIX_TAG_123456789012345678901234567890__ @Mario",
        "[__QUORIX_URL_10__] vedi www.z.it",
        // A zero-width space inside a typed prefix: tag masking drops it.
        "__QUORIX_U\u200BRL_0__ e https://x.it",
    };
    for (const std::string& input : cases) {
        EXPECT_EQ(text::replaceAll(roundTrip(input), "\u200B", ""),
                  text::replaceAll(input, "\u200B", ""))
            << input;
    }
    // The placeholders keep their form; only their numbers move past the typed ones.
    const MaskResult r = M::maskURLs("__QUORIX_URL_0__ https://x.it");
    EXPECT_EQ(r.maskedText, "__QUORIX_URL_0__ __QUORIX_URL_10__");
}

TEST(MaskTags, SameTagsAsTheBacktrackingPattern) {
    const text::Regex reference = text::Regex::compile(
        "(<[^>\\n]+>|\\[[^\\]\\n]+\\]"
        "|@\\s*(?:[A-Za-zÀ-ÿ0-9_.-]+(?:\\s+[A-ZÀ-ÿ][a-z0-9_.-]+)+|[A-Za-z0-9_.-]+)"
        "|#[A-Za-z0-9_.-]+|\\b[A-Z]{2,10}-[0-9]+\\b)");
    const std::string cases[] = {
        "<a [b] c> [x <y] z>",
        "@Mario Rossi <b> #tag",
        "xAB-12 AB-12 [c]",
        "<> [] <<a> [[b]",
        "a\n<b\nc> [d\ne] <f>",
        "@ [x] @\nanna",
        "ÀB-1 @Élodie Durand e [😀] <😀>",
    };
    for (const std::string& input : cases) {
        const std::u16string units = text::toUtf16(input);
        std::vector<text::Range> expected;
        for (const auto& m : reference.findAll(std::u16string_view(units))) {
            expected.push_back(m.range());
        }
        EXPECT_EQ(TagScanner::findAll(units), expected) << input;
    }
}

TEST(MaskTags, UnclosedBracketRunsAndLongWordsStayLinear) {
    // Each of these made the tag pattern rescan to the end from every opener.
    const std::string runs[] = {std::string(200'000, '<'), std::string(200'000, '['),
                                std::string(100'000, '<') + std::string(100'000, '['),
                                std::string(300'000, 'a')};
    for (const std::string& run : runs) {
        const MaskResult r = M::maskTags(run);
        EXPECT_TRUE(r.map.empty());
        EXPECT_EQ(r.maskedText, run);
    }
    std::string many;
    for (int i = 0; i < 50'000; ++i) {
        many += "#a <b> ";
    }
    const MaskResult r = M::maskTags(many + std::string(100'000, '['));
    EXPECT_EQ(r.map.size(), 100'000u);
    EXPECT_EQ(roundTrip(many), many);
}

}  // namespace
}  // namespace quorix
