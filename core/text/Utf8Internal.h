#pragma once
// Private helpers of core/text: UTF-8 decoding shared by the .cpp files.
// Invalid sequences decode as U+FFFD using ICU's "maximal subpart" rule
// (the same as icu::UnicodeString::fromUTF8 and the WHATWG decoder).

#include <unicode/utf8.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace quorix::text::detail {

inline constexpr char32_t kReplacement = 0xFFFD;

// Decodes the code point at s[i] and advances i; bad sequences give U+FFFD.
inline char32_t decodeNext(std::string_view s, std::size_t& i) {
    const auto* p = reinterpret_cast<const uint8_t*>(s.data());
    const std::size_t n = s.size();
    UChar32 c;
    U8_NEXT_OR_FFFD(p, i, n, c);
    return static_cast<char32_t>(c);
}

// Same, but reports whether the sequence was well formed.
inline bool decodeNextChecked(std::string_view s, std::size_t& i, char32_t& out) {
    const auto* p = reinterpret_cast<const uint8_t*>(s.data());
    const std::size_t n = s.size();
    UChar32 c;
    U8_NEXT(p, i, n, c);
    if (c < 0) {
        out = kReplacement;
        return false;
    }
    out = static_cast<char32_t>(c);
    return true;
}

// Appends a code point as UTF-8; surrogates and values above U+10FFFF become U+FFFD.
inline void appendUtf8(std::string& out, char32_t c) {
    if (c >= 0x110000 || (c >= 0xD800 && c <= 0xDFFF)) {
        c = kReplacement;
    }
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        const char b[2] = {static_cast<char>(0xC0 | (c >> 6)),
                           static_cast<char>(0x80 | (c & 0x3F))};
        out.append(b, 2);
    } else if (c < 0x10000) {
        const char b[3] = {static_cast<char>(0xE0 | (c >> 12)),
                           static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                           static_cast<char>(0x80 | (c & 0x3F))};
        out.append(b, 3);
    } else {
        const char b[4] = {
            static_cast<char>(0xF0 | (c >> 18)), static_cast<char>(0x80 | ((c >> 12) & 0x3F)),
            static_cast<char>(0x80 | ((c >> 6) & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
        out.append(b, 4);
    }
}

// Index of the first byte >= 0x80, or s.size() when s is pure ASCII.
inline std::size_t firstNonAscii(std::string_view s) {
    const char* p = s.data();
    const std::size_t n = s.size();
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t w;
        std::memcpy(&w, p + i, 8);
        if (w & 0x8080808080808080ull) {
            break;
        }
    }
    for (; i < n; ++i) {
        if (static_cast<unsigned char>(p[i]) >= 0x80) {
            return i;
        }
    }
    return n;
}

inline bool isAscii(std::string_view s) {
    return firstNonAscii(s) == s.size();
}

// ASCII members of White_Space: TAB, LF, VT, FF, CR, SPACE.
inline bool isAsciiWhiteSpace(unsigned char c) {
    return c == ' ' || (c >= 0x09 && c <= 0x0D);
}

inline char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

}  // namespace quorix::text::detail
