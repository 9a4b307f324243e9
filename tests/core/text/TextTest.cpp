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
    EXPECT_EQ(toUtf32("a\xFF"
                      "b"),
              (std::u32string{U'a', 0xFFFD, U'b'}));
    EXPECT_EQ(toUtf32("\xE2\x82"
                      "a"),
              (std::u32string{0xFFFD, U'a'}));
    EXPECT_EQ(toUtf32("\xC0\xAF"), (std::u32string{0xFFFD, 0xFFFD}));
    EXPECT_EQ(toUtf32("\xED\xA0\x80"), (std::u32string{0xFFFD, 0xFFFD, 0xFFFD}));
    EXPECT_EQ(toUtf32("\xF4\x90\x80\x80").size(), 4u);                    // above U+10FFFF
    EXPECT_EQ(toUtf32("x\xF0\x9F\x98"), (std::u32string{U'x', 0xFFFD}));  // cut-off emoji

    EXPECT_FALSE(isValidUtf8("caf\xC3"));
    EXPECT_TRUE(isValidUtf8("caf\xC3\xA9 \xF0\x9F\x98\x80"));
    EXPECT_EQ(sanitizeUtf8("caf\xC3"), "caf" + kFFFD);
    EXPECT_EQ(sanitizeUtf8("\xFF\xFE"
                           "ok\xC3\xA9"),
              kFFFD + kFFFD + "ok\xC3\xA9");
    EXPECT_EQ(toUtf16("a\xFF"), u"a\uFFFD");
}

TEST(TextUtf, ConversionsRoundTripAndRejectInvalidCodeUnits) {
    const std::string s = "Perché 😀 🇮🇹 e\xCC\x81";
    EXPECT_EQ(fromUtf32(toUtf32(s)), s);
    EXPECT_EQ(fromUtf16(toUtf16(s)), s);
    EXPECT_EQ(toUtf16("😀"), u"\xD83D\xDE00");

    // Lone surrogates in UTF-16, surrogates and out-of-range values in UTF-32.
    EXPECT_EQ(fromUtf16(std::u16string{u'a', char16_t(0xD83D), u'b'}), "a" + kFFFD + "b");
    EXPECT_EQ(fromUtf16(std::u16string{char16_t(0xDE00)}), kFFFD);
    EXPECT_EQ(fromUtf32(std::u32string{char32_t(0xD800), char32_t(0x110000), U'z'}),
              kFFFD + kFFFD + "z");
}

TEST(TextUtf, EveryFunctionReturnsValidUtf8ForInvalidInput) {
    const std::vector<std::string> inputs = {"\xFF",
                                             " \xC3 ",
                                             "\xE2\x80",
                                             "ab\xED\xA0\x80"
                                             "cd",
                                             "\xC2\xA0\xFF\xC2\xA0",
                                             "\xF0\x9F\x91\x8D\xF0\x9F",
                                             "\r\xFF\n",
                                             "\x80\x80\x80\x80"};
    for (const std::string& in : inputs) {
        SCOPED_TRACE(in);
        for (const std::string& out :
             {trim(in), trimPunctuation(in), toLower(in), toUpper(in), capitalized(in), nfc(in),
              firstCharacter(in), sanitizeUtf8(in)}) {
            EXPECT_TRUE(isValidUtf8(out)) << out;
        }
        std::string joined;
        for (const auto& c : characters(in))
            joined += c;
        EXPECT_EQ(joined, sanitizeUtf8(in));
        EXPECT_EQ(characterCount(in), characters(in).size());
        for (const auto& w : splitWords(in))
            EXPECT_TRUE(isValidUtf8(w));
        for (const auto& l : splitLines(in))
            EXPECT_TRUE(isValidUtf8(l));
        EXPECT_TRUE(canonicallyEqual(in, sanitizeUtf8(in)));
    }
    EXPECT_EQ(trim("\xC2\xA0\xFF\xC2\xA0"), kFFFD);
    EXPECT_FALSE(isBlank(" \xFF "));
}

TEST(TextClassification, FollowsUnicodeProperties) {
    for (char32_t c : {U' ', U'\t', U'\n', U'\r', U'\v', U'\f', char32_t(0x85), char32_t(0xA0),
                       char32_t(0x2028), char32_t(0x2029), char32_t(0x3000), char32_t(0x202F)}) {
        EXPECT_TRUE(isWhiteSpace(c)) << std::hex << uint32_t(c);
    }
    // Zero width space, BOM, word joiner and the C0 separators are not White_Space.
    for (char32_t c :
         {char32_t(0x200B), char32_t(0xFEFF), char32_t(0x2060), char32_t(0x1F), U'a'}) {
        EXPECT_FALSE(isWhiteSpace(c)) << std::hex << uint32_t(c);
    }
    for (char32_t c :
         {U'_', U'@', U'#', U'!', U'\'', U'-', U'«', U'»', U'¿', U'¡', U'…', U'「', U'‹'}) {
        EXPECT_TRUE(isPunctuation(c)) << std::hex << uint32_t(c);
    }
    for (char32_t c : {U'$', U'+', U'<', U'`', U'^', U'|', U'€', U'a', U' '}) {
        EXPECT_FALSE(isPunctuation(c)) << std::hex << uint32_t(c);
    }
    for (char32_t c : {U'a', U'é', U'ß', U'Ω', U'中', char32_t(0x0301), char32_t(0x093F)}) {
        EXPECT_TRUE(isLetter(c)) << std::hex << uint32_t(c);
    }
    EXPECT_FALSE(isLetter(U'1'));
    EXPECT_FALSE(isLetter(U'_'));
    EXPECT_TRUE(isDigit(U'7'));
    EXPECT_TRUE(isDigit(U'٣'));   // ARABIC-INDIC DIGIT THREE
    EXPECT_FALSE(isDigit(U'½'));  // No, not Nd
    EXPECT_FALSE(isDigit(U'Ⅳ'));  // Nl
    for (char32_t bad : {char32_t(0x110000), char32_t(0xFFFFFFFF)}) {
        EXPECT_FALSE(isWhiteSpace(bad) || isPunctuation(bad) || isLetter(bad) || isDigit(bad));
    }
}

TEST(TextTrim, StripsUnicodeWhiteSpaceButNotZeroWidthSpace) {
    EXPECT_EQ(trim(" \t\n ciao mondo \r\n"), "ciao mondo");
    EXPECT_EQ(trim("\xC2\xA0"
                   "ciao\xE2\x80\xA8"),
              "ciao");  // NBSP, LINE SEPARATOR
    EXPECT_EQ(trim(" \xC2\xA0 \xE3\x80\x80"
                   "x \xC2\x85"
                   " "),
              "x");  // mixed ASCII and not
    EXPECT_EQ(trim("\xE2\x80\x8B"
                   "ciao\xE2\x80\x8B"),
              "\xE2\x80\x8B"
              "ciao\xE2\x80\x8B");                  // ZWSP kept
    EXPECT_EQ(trim("a\xC2\xA0 b"), "a\xC2\xA0 b");  // inner space kept
    EXPECT_EQ(trim("é"), "é");
    EXPECT_EQ(trim(" \xC2\xA0 "), "");
    EXPECT_EQ(trim(""), "");

    EXPECT_TRUE(isBlank(""));
    EXPECT_TRUE(isBlank(" \n\xC2\xA0\xE2\x80\xA9\t"));
    EXPECT_FALSE(isBlank(" \xE2\x80\x8B "));
    EXPECT_FALSE(isBlank(" . "));
}

TEST(TextTrim, PunctuationUsesGeneralCategoryP) {
    EXPECT_EQ(trimPunctuation("«Ciao!»"), "Ciao");
    EXPECT_EQ(trimPunctuation("¿Qué?"), "Qué");
    EXPECT_EQ(trimPunctuation("¡Hola!"), "Hola");
    EXPECT_EQ(trimPunctuation("…bene…"), "bene");
    EXPECT_EQ(trimPunctuation("_@#user_name!"), "user_name");
    EXPECT_EQ(trimPunctuation("l'amico's"), "l'amico's");
    // Symbols and white space are not punctuation.
    EXPECT_EQ(trimPunctuation("$5+"), "$5+");
    EXPECT_EQ(trimPunctuation("<b>"), "<b>");
    EXPECT_EQ(trimPunctuation(" x. "), " x. ");
    EXPECT_EQ(trimPunctuation("!?…"), "");
}

TEST(TextCase, FullLocaleIndependentMapping) {
    EXPECT_EQ(toUpper("straße"), "STRASSE");
    EXPECT_EQ(toUpper("ﬁne"), "FINE");                   // ligature expands
    EXPECT_EQ(toLower("İstanbul"), "i\xCC\x87stanbul");  // root locale: i + U+0307
    EXPECT_EQ(toUpper("istanbul"), "ISTANBUL");          // no Turkish dotted İ
    EXPECT_EQ(toLower("ΟΔΟΣ ΣΟΦΟΣ"), "οδος σοφος");      // final sigma where a word ends
    EXPECT_EQ(toLower("Σ"), "σ");
    EXPECT_EQ(toLower("PERCHÉ È COSÌ"), "perché è così");
    EXPECT_EQ(toUpper("perché è così"), "PERCHÉ È COSÌ");
}

TEST(TextCase, FastPathsAgreeWithIcu) {
    // A trailing letter outside Latin-1 forces the ICU path for the same prefix.
    std::string ascii;
    for (char32_t c = 0; c < 0x80; ++c)
        ascii.push_back(static_cast<char>(c));
    std::string latin1 = ascii;
    for (char32_t c = 0x80; c < 0x100; ++c)
        latin1 += fromUtf32(std::u32string(1, c));
    EXPECT_EQ(toLower(latin1) + "ā", toLower(latin1 + "Ā"));
    EXPECT_EQ(toLower("ÀÉÎÕÜÞ×ß"), "àéîõüþ×ß");
    EXPECT_EQ(toUpper(ascii) + "Ā", toUpper(ascii + "ā"));
    const std::string padded = " \t\n" + ascii.substr(0x21, 0x5E) + "\r\n ";
    EXPECT_EQ(trim(padded), trim(padded + "\xC2\xA0"));
    EXPECT_EQ(splitWords(padded + "\xC2\xA0"), splitWords(padded));
}

TEST(TextCase, CapitalizedTitleCasesEachWhiteSpaceSeparatedWord) {
    EXPECT_EQ(capitalized("hello wORLD"), "Hello World");
    EXPECT_EQ(capitalized("  ciao\xC2\xA0mondo\ttutti "), "  Ciao\xC2\xA0Mondo\tTutti ");
    EXPECT_EQ(capitalized("ßIG"), "Ssig");       // titlecase of ß is "Ss"
    EXPECT_EQ(capitalized("ǆungla"), "ǅungla");  // titlecase digraph, not uppercase
    EXPECT_EQ(capitalized("«ciao» l'amico"), "«Ciao» L'amico");
    EXPECT_EQ(capitalized("ÉTÉ ΟΔΟΣ"), "Été Οδος");
    EXPECT_EQ(capitalized("e\xCC\x81t\xC3\xA9"), "E\xCC\x81t\xC3\xA9");
    EXPECT_EQ(capitalized(""), "");
}

TEST(TextGraphemes, ClustersCombineMarksEmojiAndFlags) {
    struct Case {
        std::string text;
        std::size_t count;
    };
    const std::vector<Case> cases = {
        {"e\xCC\x81", 1},  // e + COMBINING ACUTE
        {"a\xCC\x81\xCC\xA7"
         "b",
         2},                                          // two marks stack on one base
        {"👨‍👩‍👧‍👦", 1},             // ZWJ family
        {"🏳️‍🌈", 1},                        // flag + VS16 + ZWJ
        {"🇮🇹🇫🇷", 2},                                  // two regional-indicator pairs
        {"🇮🇹🇫", 2},                                   // a dangling indicator
        {"👍🏽👍", 2},                          // skin tone modifier
        {"\xE1\x84\x80\xE1\x85\xA1\xE1\x86\xA8", 1},  // decomposed Hangul syllable
        {"\r\n", 1},
        {"a\r\nb\n\r", 5},
        {"ok 😀!", 5},
        {"", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(characterCount(c.text), c.count);
        const Strings chars = characters(c.text);
        EXPECT_EQ(chars.size(), c.count);
        std::string joined;
        for (const auto& ch : chars)
            joined += ch;
        EXPECT_EQ(joined, c.text);
    }
    EXPECT_EQ(characters("e\xCC\x81👍🏽"), (Strings{"e\xCC\x81", "👍🏽"}));

    // characters() always runs ICU; characterCount() takes a shortcut on text
    // without joining code points, which must give the same answer.
    std::string simple = "\r\n\t\r\r\n\n";
    for (char32_t c = 0x80; c < 0x100; ++c)
        simple += fromUtf32(std::u32string(1, c));
    simple += "Ωμέγα Всем 中文字 😀🎉 ก ";
    EXPECT_EQ(characterCount(simple), characters(simple).size());
    EXPECT_EQ(characterCount(simple + "\xCC\x81"),
              characters(simple).size());  // joins the last space
}

TEST(TextGraphemes, FirstCharacterIsAWholeCluster) {
    EXPECT_EQ(firstCharacter("e\xCC\x81tude"), "e\xCC\x81");  // ASCII base, non-ASCII mark
    EXPECT_EQ(firstCharacter("👩🏽‍💻 code"), "👩🏽‍💻");
    EXPECT_EQ(firstCharacter("🇮🇹🇫🇷"), "🇮🇹");
    EXPECT_EQ(firstCharacter("\r\nx"), "\r\n");
    EXPECT_EQ(firstCharacter("ab"), "a");
    EXPECT_EQ(firstCharacter("a"), "a");
    EXPECT_EQ(firstCharacter(""), "");
    EXPECT_EQ(firstCharacter("\xFF"
                             "a"),
              kFFFD);
}

TEST(TextNormalization, CanonicalEquivalence) {
    const std::string composed = "\xC3\xA9";     // é
    const std::string decomposed = "e\xCC\x81";  // e + U+0301
    EXPECT_EQ(nfc(decomposed), composed);
    EXPECT_TRUE(canonicallyEqual(composed, decomposed));
    EXPECT_TRUE(canonicallyEqual("caf" + decomposed + "!", "caf" + composed + "!"));
    // ANGSTROM SIGN is a singleton decomposing to Å; mark order is canonical.
    EXPECT_TRUE(canonicallyEqual("\xE2\x84\xAB", "\xC3\x85"));
    EXPECT_TRUE(
        canonicallyEqual("a\xCC\xA7\xCC\x81", "a\xCC\x81\xCC\xA7"));  // cedilla and acute commute
    EXPECT_FALSE(
        canonicallyEqual("a\xCC\x81\xCC\x80", "a\xCC\x80\xCC\x81"));  // same class: order matters
    // Compatibility equivalents are not canonical equivalents.
    EXPECT_FALSE(canonicallyEqual("ﬁ", "fi"));
    EXPECT_FALSE(canonicallyEqual("e", composed));
    EXPECT_FALSE(canonicallyEqual("Cafe", "cafe"));
    EXPECT_EQ(nfc("plain"), "plain");
}

TEST(TextSplit, WordsSplitAtWhiteSpaceRuns) {
    EXPECT_EQ(splitWords("  ciao   mondo\n"), (Strings{"ciao", "mondo"}));
    EXPECT_EQ(splitWords("a\xC2\xA0"
                         "b\xE2\x80\xA8"
                         "c\xE3\x80\x80 d"),
              (Strings{"a", "b", "c", "d"}));
    EXPECT_EQ(splitWords("zero\xE2\x80\x8Bwidth"), (Strings{"zero\xE2\x80\x8Bwidth"}));
    EXPECT_EQ(splitWords("perché? 😀 e\xCC\x81"), (Strings{"perché?", "😀", "e\xCC\x81"}));
    EXPECT_TRUE(splitWords(" \t\xC2\xA0").empty());
    EXPECT_TRUE(splitWords("").empty());
}

TEST(TextSplit, LinesSplitAtEveryNewlineKind) {
    EXPECT_EQ(splitLines("a\r\nb\rc\nd\ve\ff\xC2\x85g\xE2\x80\xA8h\xE2\x80\xA9i"),
              (Strings{"a", "b", "c", "d", "e", "f", "g", "h", "i"}));
    EXPECT_EQ(splitLines("a\n\nb\n"), (Strings{"a", "", "b", ""}));
    EXPECT_EQ(splitLines("\r\n\r\n"), (Strings{"", "", ""}));
    EXPECT_EQ(splitLines("\n\r"), (Strings{"", "", ""}));  // LF CR is two breaks
    EXPECT_EQ(splitLines(""), (Strings{""}));
    EXPECT_EQ(splitLines("a\xC2\xA0"
                         "b"),
              (Strings{"a\xC2\xA0"
                       "b"}));
}

TEST(TextSplit, SplitWhereUsesCodePoints) {
    EXPECT_EQ(splitWhere("a,b,,c", [](char32_t c) { return c == U','; }),
              (Strings{"a", "b", "", "c"}));
    EXPECT_EQ(splitWhere("uno…due…", [](char32_t c) { return isPunctuation(c); }),
              (Strings{"uno", "due", ""}));
}

TEST(TextBytes, SubstringHelpers) {
    EXPECT_TRUE(contains("perché", "ché"));
    EXPECT_FALSE(contains("perche\xCC\x81", "ché"));  // byte-wise: no normalisation
    EXPECT_TRUE(contains("x", ""));
    EXPECT_TRUE(startsWith("😀x", "😀"));
    EXPECT_TRUE(endsWith("x😀", "😀"));
    EXPECT_FALSE(endsWith("a", "ba"));
    EXPECT_EQ(replaceAll("aaaa", "aa", "b"), "bb");
    EXPECT_EQ(replaceAll("aaa", "aa", "aab"), "aaba");
    EXPECT_EQ(replaceAll("a.b.c", ".", ""), "abc");
    EXPECT_EQ(replaceAll("abc", "", "x"), "abc");  // empty pattern: unchanged, no endless loop
}

}  // namespace
}  // namespace quorix::text
