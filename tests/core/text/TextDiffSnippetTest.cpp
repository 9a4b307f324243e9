#include "core/text/TextDiffSnippet.h"

#include <gtest/gtest.h>

#include <string>

namespace quorix::text {
namespace {

struct Case {
    const char* name;
    std::string orig;
    std::string fixed;
    TextDiffSnippet expected;
};

TEST(TextDiffSnippet, Table) {
    const std::string longWord(5000, 'x');
    const Case cases[] = {
        {"one changed word",
         "ci vedimao stasera per il debrief",
         "ci vediamo stasera per il debrief",
         {"ci ", "vedimao", "vediamo", " stasera per il…"}},
        {"identical, long",
         "buongiorno a tutti quanti voi",
         "buongiorno a tutti quanti voi",
         {"", "Testo verificato", "Nessun errore", "buongiorno a tutti quanti…"}},
        // Words were dropped, but the four shown make only 17 characters.
        {"identical, short",
         "ok grazie mille a tutti voi",
         "ok grazie mille a tutti voi",
         {"", "Testo verificato", "Nessun errore", "ok grazie mille a"}},
        // Grapheme clusters, not bytes or code points: 20 clusters, no ellipsis.
        {"identical, clusters",
         "🇮🇹🇮🇹 cafe\xCC\x81 👩‍👩‍👧 ééééééééé",
         "🇮🇹🇮🇹 cafe\xCC\x81 👩‍👩‍👧 ééééééééé",
         {"", "Testo verificato", "Nessun errore",
          "🇮🇹🇮🇹 cafe\xCC\x81 👩‍👩‍👧 ééééééééé"}},
        {"only adds", "ci vediamo", "ci vediamo domani", {"ci vediamo ", "—", "domani", ""}},
        {"removes in the middle", "a x b c", "a b c", {"a ", "x", "—", " b c"}},
        {"five changed words", "a b c d e f z", "a 1 2 3 4 5 z", {"a ", "b c d…", "1 2 3…", " z"}},
        {"change at the seventh word",
         "1 2 3 4 5 6 x 8",
         "1 2 3 4 5 6 y 8",
         {"…4 5 6 ", "x", "y", " 8"}},
        {"empty before", "   ", "ciao", {"", "   ", "ciao", ""}},
        {"empty after", "ciao", "", {"", "ciao", "", ""}},
        // The suffix walk stops at the prefix: "a a" → "a a a" inserts one word.
        {"repeated words", "a a", "a a a", {"a a ", "—", "a", ""}},
        // Combining marks and emoji are compared exactly (no normalisation).
        {"combining mark",
         "perche\xCC\x81 no",
         "perché no",
         {"", "perche\xCC\x81", "perché", " no"}},
        {"emoji word", "ok 👍🏽 grazie", "ok 👍🏿 grazie", {"ok ", "👍🏽", "👍🏿", " grazie"}},
        {"unicode white space",
         "uno\u00A0dos\u2028tre",
         "uno dos tres",
         {"uno dos ", "tre", "tres", ""}},
        {"very long word",
         "ciao " + longWord,
         "ciao " + longWord + "y",
         {"ciao ", longWord, longWord + "y", ""}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TextDiffSnippet::compute(c.orig, c.fixed, 3), c.expected) << c.name;
    }
}

TEST(TextDiffSnippet, ContextWidthAndVeryLongTexts) {
    EXPECT_EQ(TextDiffSnippet::compute("a b c x", "a b c y", 0),
              (TextDiffSnippet{"… ", "x", "y", ""}));
    EXPECT_EQ(TextDiffSnippet::compute("a x b", "a y b", -2),
              (TextDiffSnippet{"… ", "x", "y", " …"}));
    std::string orig;
    for (int k = 0; k < 20000; ++k) {
        orig += "parola" + std::to_string(k) + " ";
    }
    std::string fixed = orig;
    fixed.replace(fixed.find("parola10000 "), 12, "parolona ");
    const TextDiffSnippet s = TextDiffSnippet::compute(orig, fixed, 3);
    EXPECT_EQ(s, (TextDiffSnippet{"…parola9997 parola9998 parola9999 ", "parola10000", "parolona",
                                  " parola10001 parola10002 parola10003…"}));
}

}  // namespace
}  // namespace quorix::text
