#include "core/text/Text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorix::text {
namespace {

using Strings = std::vector<std::string>;

// U+FFFD as UTF-8.
const std::string kFFFD = "\xEF\xBF\xBD";

TEST(TextUtf, InvalidUtf8DecodesAsReplacementCharacters) {
    // A lone bad byte, a truncated sequence (maximal subpart: one U+FFFD), an
    // overlong encoding and an encoded surrogate (one U+FFFD per byte).
    EXPECT_EQ(toUtf32(std::string("a\xFF") + "b"), (std::u32string{U'a', 0xFFFD, U'b'}));
    EXPECT_EQ(toUtf32(std::string("\xE2\x82") + "a"), (std::u32string{0xFFFD, U'a'}));
    EXPECT_EQ(toUtf32("\xC0\xAF"), (std::u32string{0xFFFD, 0xFFFD}));
    EXPECT_EQ(toUtf32("\xED\xA0\x80"), (std::u32string{0xFFFD, 0xFFFD, 0xFFFD}));
    EXPECT_EQ(toUtf32("\xF4\x90\x80\x80").size(), 4u);                    // above U+10FFFF
    EXPECT_EQ(toUtf32("x\xF0\x9F\x98"), (std::u32string{U'x', 0xFFFD}));  // cut-off emoji
    EXPECT_FALSE(isValidUtf8("caf\xC3"));
    EXPECT_EQ(sanitizeUtf8("caf\xC3"), "caf" + kFFFD);
    EXPECT_EQ(toUtf16("a\xFF"), u"a\uFFFD");
}

TEST(TextUtf, ConversionsRoundTripAndRejectInvalidCodeUnits) {
    const std::string s = "Perché 😀 🇮🇹 e\xCC\x81";
    EXPECT_EQ(fromUtf32(toUtf32(s)), s);
    EXPECT_EQ(fromUtf16(toUtf16(s)), s);
    // Lone surrogates in UTF-16, surrogates and out-of-range values in UTF-32.
    EXPECT_EQ(fromUtf16(std::u16string{u'a', char16_t(0xD83D), u'b'}), "a" + kFFFD + "b");
    EXPECT_EQ(fromUtf32(std::u32string{char32_t(0xD800), char32_t(0x110000), U'z'}),
              kFFFD + kFFFD + "z");
}

TEST(TextUtf, EveryFunctionReturnsValidUtf8ForInvalidInput) {
    const std::vector<std::string> inputs = {
        "\xFF",     " \xC3 ",          "\xC2\xA0\xFF\xC2\xA0", "\xF0\x9F\x91\x8D\xF0\x9F",
        "\r\xFF\n", "\x80\x80\x80\x80"};
    for (const std::string& in : inputs) {
        SCOPED_TRACE(in);
        for (const std::string& out :
             {trim(in), trimPunctuation(in), toLower(in), toUpper(in), capitalized(in), nfc(in),
              firstCharacter(in), sanitizeUtf8(in)}) {
            EXPECT_TRUE(isValidUtf8(out)) << out;
        }
        std::string joined;
        for (const auto& c : characters(in)) {
            joined += c;
        }
        EXPECT_EQ(joined, sanitizeUtf8(in));
        EXPECT_EQ(characterCount(in), characters(in).size());
        for (const auto& w : splitWords(in)) {
            EXPECT_TRUE(isValidUtf8(w));
        }
        for (const auto& l : splitLines(in)) {
            EXPECT_TRUE(isValidUtf8(l));
        }
        EXPECT_TRUE(canonicallyEqual(in, sanitizeUtf8(in)));
    }
    EXPECT_EQ(trim("\xC2\xA0\xFF\xC2\xA0"), kFFFD);
    EXPECT_FALSE(isBlank(" \xFF "));
}

TEST(TextClassification, FollowsUnicodePropertiesAndRejectsOutOfRange) {
    EXPECT_TRUE(isWhiteSpace(char32_t(0xA0)) && isWhiteSpace(char32_t(0x2028)));
    EXPECT_FALSE(isWhiteSpace(char32_t(0x200B)));  // zero width space is not White_Space
    EXPECT_TRUE(isPunctuation(U'«') && isPunctuation(U'_') && isPunctuation(U'¿'));
    EXPECT_FALSE(isPunctuation(U'$') || isPunctuation(U'€'));  // symbols, not P
    EXPECT_TRUE(isLetter(U'é') && isLetter(char32_t(0x0301)));
    EXPECT_TRUE(isDigit(U'٣'));
    EXPECT_FALSE(isDigit(U'½'));
    for (char32_t bad : {char32_t(0x110000), char32_t(0xFFFFFFFF)}) {
        EXPECT_FALSE(isWhiteSpace(bad) || isPunctuation(bad) || isLetter(bad) || isDigit(bad));
    }
}

TEST(TextTrim, UnicodeWhiteSpaceAndPunctuation) {
    EXPECT_EQ(trim(" \u00A0 \u3000x \u0085 "), "x");  // mixed ASCII and not
    EXPECT_EQ(trim("\u200Bciao"), "\u200Bciao");      // ZWSP kept
    EXPECT_EQ(trim("a\u00A0 b"), "a\u00A0 b");        // inner space kept
    EXPECT_EQ(trim(" \xC2\xA0 "), "");
    EXPECT_TRUE(isBlank(" \n\xC2\xA0\xE2\x80\xA9\t"));
    EXPECT_FALSE(isBlank(" \xE2\x80\x8B "));

    EXPECT_EQ(trimPunctuation("«Ciao!»"), "Ciao");
    EXPECT_EQ(trimPunctuation("_@#user_name!"), "user_name");
    EXPECT_EQ(trimPunctuation("l'amico's"), "l'amico's");
    EXPECT_EQ(trimPunctuation("$5+ x. "), "$5+ x. ");  // symbols, spaces are not P
    EXPECT_EQ(trimPunctuation("!?…"), "");
}

TEST(TextCase, FullMappingAndFastPathsAgreeWithTheGeneralPath) {
    EXPECT_EQ(toUpper("straße"), "STRASSE");
    EXPECT_EQ(toLower("İstanbul"), "i\xCC\x87stanbul");  // root locale: i + U+0307
    EXPECT_EQ(toLower("ΟΔΟΣ ΣΟΦΟΣ"), "οδος σοφος");      // final sigma where a word ends
    // A trailing letter outside Latin-1 forces the general path for the same prefix.
    std::string ascii;
    for (char32_t c = 0; c < 0x80; ++c) {
        ascii.push_back(static_cast<char>(c));
    }
    std::string latin1 = ascii;
    for (char32_t c = 0x80; c < 0x100; ++c) {
        latin1 += fromUtf32(std::u32string(1, c));
    }
    EXPECT_EQ(toLower(latin1) + "ā", toLower(latin1 + "Ā"));
    EXPECT_EQ(toUpper(ascii) + "Ā", toUpper(ascii + "ā"));
    const std::string padded = " \t\n" + ascii.substr(0x21, 0x5E) + "\r\n ";
    EXPECT_EQ(trim(padded), trim(padded + "\xC2\xA0"));
    EXPECT_EQ(splitWords(padded + "\xC2\xA0"), splitWords(padded));
}

TEST(TextCase, CapitalizedTitleCasesEachWhiteSpaceSeparatedWord) {
    EXPECT_EQ(capitalized("  ciao\xC2\xA0mONDO\ttutti "), "  Ciao\xC2\xA0Mondo\tTutti ");
    EXPECT_EQ(capitalized("ǆungla"), "ǅungla");  // titlecase digraph, not uppercase
    EXPECT_EQ(capitalized("«ciao» l'amico"), "«Ciao» L'amico");
    EXPECT_EQ(capitalized("e\xCC\x81t\xC3\xA9"), "E\xCC\x81t\xC3\xA9");
}

TEST(TextGraphemes, ClustersAndTheCountShortcutAgree) {
    for (const auto& [text, count] : std::vector<std::pair<std::string, std::size_t>>{
             {"a\u0301\u0327b", 2},             // two marks stack on one base
             {"👨‍👩‍👧‍👦", 1},  // ZWJ family
             {"🇮🇹🇫", 2},                        // a pair and a dangling indicator
             {"a\r\nb\n\r", 5},
             {"", 0}}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(characterCount(text), count);
        std::string joined;
        for (const auto& ch : characters(text)) {
            joined += ch;
        }
        EXPECT_EQ(joined, text);
    }
    EXPECT_EQ(characters("e\xCC\x81👍🏽"), (Strings{"e\xCC\x81", "👍🏽"}));

    // characterCount() takes a shortcut on text without joining code points,
    // which must give the same answer as the full segmentation.
    std::string simple = "\r\n\t\r\r\n\n";
    for (char32_t c = 0x80; c < 0x100; ++c) {
        simple += fromUtf32(std::u32string(1, c));
    }
    simple += "Ωμέγα Всем 中文字 😀🎉 ก ";
    EXPECT_EQ(characterCount(simple), characters(simple).size());
    EXPECT_EQ(characterCount(simple + "\xCC\x81"),
              characters(simple).size());  // joins the last space

    EXPECT_EQ(firstCharacter("e\xCC\x81tude"), "e\xCC\x81");  // ASCII base, non-ASCII mark
    EXPECT_EQ(firstCharacter("👩🏽‍💻 code"), "👩🏽‍💻");
    EXPECT_EQ(firstCharacter("\r\nx"), "\r\n");
    EXPECT_EQ(firstCharacter(""), "");
}

TEST(TextNormalization, CanonicalEquivalence) {
    EXPECT_EQ(nfc("e\xCC\x81"), "\xC3\xA9");
    EXPECT_TRUE(canonicallyEqual("caf\xC3\xA9!", "cafe\xCC\x81!"));
    EXPECT_TRUE(
        canonicallyEqual("a\xCC\xA7\xCC\x81", "a\xCC\x81\xCC\xA7"));  // cedilla and acute commute
    EXPECT_FALSE(canonicallyEqual("ﬁ", "fi"));  // compatibility is not canonical
}

TEST(TextSplit, WordsLinesCodePointsAndBytes) {
    EXPECT_EQ(splitWords("  a\u00A0b\u3000 perché?\n"), (Strings{"a", "b", "perché?"}));
    EXPECT_EQ(splitWords("zero\xE2\x80\x8Bwidth"), (Strings{"zero\xE2\x80\x8Bwidth"}));
    EXPECT_TRUE(splitWords(" \t\xC2\xA0").empty());

    EXPECT_EQ(splitLines("a\r\nb\rc\vd\u0085e\u2028f"), (Strings{"a", "b", "c", "d", "e", "f"}));
    EXPECT_EQ(splitLines("a\n\nb\n"), (Strings{"a", "", "b", ""}));
    EXPECT_EQ(splitLines("\n\r"), (Strings{"", "", ""}));  // LF CR is two breaks
    EXPECT_EQ(splitLines(""), (Strings{""}));

    EXPECT_EQ(splitWhere("uno…due……", [](char32_t c) { return isPunctuation(c); }),
              (Strings{"uno", "due", "", ""}));
    EXPECT_FALSE(contains("perche\xCC\x81", "ché"));  // byte-wise: no normalisation
    EXPECT_TRUE(endsWith("x😀", "😀"));
    EXPECT_FALSE(endsWith("a", "ba"));
    EXPECT_EQ(replaceAll("aaa", "aa", "aab"), "aaba");  // no rescan of the replacement
    EXPECT_EQ(replaceAll("abc", "", "x"), "abc");       // empty pattern: no endless loop
}

}  // namespace
}  // namespace quorix::text
