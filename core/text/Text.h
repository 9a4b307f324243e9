#pragma once
// Text semantics shared by the whole program. Strings are UTF-8 at every
// interface; invalid UTF-8 input is treated as if each bad byte were U+FFFD.
//
// - "character": an extended grapheme cluster.
// - "white space": Unicode White_Space (includes U+00A0, U+2028, line feeds).
// - "punctuation": general category P* ('_', '@', '#', '!' are P*; '$', '+', '<' are
//   symbols and are not).
// - "letter": general categories L* and M*.
// - case mapping: full Unicode mapping, locale independent ("ß" uppercases to "SS").
// - canonical equality: equal after NFC normalisation.
// Nothing outside core/text decodes UTF-8 or classifies code points by hand.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorix::text {

// Code point classification.
bool isWhiteSpace(char32_t c);
bool isPunctuation(char32_t c);
bool isLetter(char32_t c);  // L* or M*
bool isDigit(char32_t c);   // Nd
// The typewriter apostrophe or the typographic one (U+2019).
constexpr bool isApostrophe(char32_t c) {
    return c == U'\'' || c == U'\u2019';
}

// Decodes UTF-8 to code points (invalid bytes become U+FFFD) and back.
std::u32string toUtf32(std::string_view s);
std::string fromUtf32(std::u32string_view s);

// UTF-16, the unit of every regex range and accessibility offset.
std::u16string toUtf16(std::string_view s);
std::string fromUtf16(std::u16string_view s);  // unpaired surrogates become U+FFFD

bool isValidUtf8(std::string_view s);
// Returns s with every invalid byte sequence replaced by U+FFFD.
std::string sanitizeUtf8(std::string_view s);

// Trimming at both ends.
std::string trim(std::string_view s);             // White_Space
std::string trimPunctuation(std::string_view s);  // P*
bool isBlank(std::string_view s);                 // empty after trim()

// Full, locale-independent case mapping.
std::string toLower(std::string_view s);
std::string toUpper(std::string_view s);
// Word-by-word title case: first letter of each word upper, the rest lower.
std::string capitalized(std::string_view s);

// Extended grapheme clusters.
std::size_t characterCount(std::string_view s);
std::vector<std::string> characters(std::string_view s);
// First character (grapheme) of s, or empty.
std::string firstCharacter(std::string_view s);

// Canonical normalisation and comparison.
std::string nfc(std::string_view s);
bool canonicallyEqual(std::string_view a, std::string_view b);
// NFC form with every nonspacing mark (Mn) removed: "città" → "citta".
std::string withoutAccents(std::string_view s);

// Splits at runs of White_Space, dropping empty pieces.
std::vector<std::string> splitWords(std::string_view s);
// Splits at every newline character (LF, CR, CRLF counted once, VT, FF, NEL,
// U+2028, U+2029); pieces may be empty.
std::vector<std::string> splitLines(std::string_view s);
// The next "\n"-ended line of `data` from `pos` (without the "\n"), moving pos
// past it; false at the end. For line-based data files (no copy, bytes as they are).
bool nextLine(std::string_view data, std::size_t& pos, std::string_view& line);
// Splits at every code point for which isSeparator(c) holds; pieces may be empty.
template <typename Pred>
std::vector<std::string> splitWhere(std::string_view s, Pred isSeparator) {
    std::vector<std::string> out;
    std::u32string cur;
    for (char32_t c : toUtf32(s)) {
        if (isSeparator(c)) {
            out.push_back(fromUtf32(cur));
            cur.clear();
        } else {
            cur.push_back(c);
        }
    }
    out.push_back(fromUtf32(cur));
    return out;
}

// Plain byte-wise substring helpers (no locale, case-sensitive).
bool contains(std::string_view haystack, std::string_view needle);
bool startsWith(std::string_view s, std::string_view prefix);
bool endsWith(std::string_view s, std::string_view suffix);
std::string replaceAll(std::string_view s, std::string_view from, std::string_view to);

}  // namespace quorix::text
