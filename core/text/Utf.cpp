// Code point classification and UTF-8 / UTF-16 / UTF-32 conversions.

#include "core/text/Text.h"
#include "core/text/Utf8Internal.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>

namespace quorix::text {

using detail::appendUtf8;
using detail::decodeNext;
using detail::decodeNextChecked;

bool isWhiteSpace(char32_t c) {
    if (c < 0x80) {
        return detail::isAsciiWhiteSpace(static_cast<unsigned char>(c));
    }
    return u_isUWhiteSpace(static_cast<UChar32>(c));
}

bool isPunctuation(char32_t c) {
    if (c >= 0x110000) {
        return false;
    }
    return (U_GET_GC_MASK(static_cast<UChar32>(c)) & U_GC_P_MASK) != 0;
}

bool isLetter(char32_t c) {
    if (c >= 0x110000) {
        return false;
    }
    return (U_GET_GC_MASK(static_cast<UChar32>(c)) & (U_GC_L_MASK | U_GC_M_MASK)) != 0;
}

bool isDigit(char32_t c) {
    if (c < 0x80) {
        return c >= '0' && c <= '9';
    }
    if (c >= 0x110000) {
        return false;
    }
    return u_charType(static_cast<UChar32>(c)) == U_DECIMAL_DIGIT_NUMBER;
}

std::u32string toUtf32(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        out.push_back(decodeNext(s, i));
    }
    return out;
}

std::string fromUtf32(std::u32string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char32_t c : s) {
        appendUtf8(out, c);
    }
    return out;
}

std::u16string toUtf16(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            out.push_back(static_cast<char16_t>(b));
            ++i;
            continue;
        }
        const char32_t c = decodeNext(s, i);
        if (c < 0x10000) {
            out.push_back(static_cast<char16_t>(c));
        } else {
            out.push_back(static_cast<char16_t>(U16_LEAD(c)));
            out.push_back(static_cast<char16_t>(U16_TRAIL(c)));
        }
    }
    return out;
}

std::string fromUtf16(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    const char16_t* p = s.data();
    const std::size_t n = s.size();
    for (std::size_t i = 0; i < n;) {
        if (p[i] < 0x80) {
            out.push_back(static_cast<char>(p[i]));
            ++i;
            continue;
        }
        UChar32 c;
        U16_NEXT(p, i, n, c);
        appendUtf8(out, static_cast<char32_t>(c));  // a lone surrogate becomes U+FFFD
    }
    return out;
}

bool isValidUtf8(std::string_view s) {
    for (std::size_t i = detail::firstNonAscii(s); i < s.size();) {
        if (static_cast<unsigned char>(s[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t c;
        if (!decodeNextChecked(s, i, c)) {
            return false;
        }
    }
    return true;
}

std::string sanitizeUtf8(std::string_view s) {
    const std::size_t start = detail::firstNonAscii(s);
    if (start == s.size()) {
        return std::string(s);
    }
    // Find the first bad sequence; a valid string is copied as is.
    std::size_t i = start;
    std::size_t bad = s.size();
    while (i < s.size()) {
        if (static_cast<unsigned char>(s[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t at = i;
        char32_t c;
        if (!decodeNextChecked(s, i, c)) {
            bad = at;
            break;
        }
    }
    if (bad == s.size()) {
        return std::string(s);
    }
    std::string out;
    out.reserve(s.size() + 8);
    out.append(s.substr(0, bad));
    for (i = bad; i < s.size();) {
        const std::size_t at = i;
        char32_t c;
        if (decodeNextChecked(s, i, c)) {
            out.append(s.substr(at, i - at));
        } else {
            appendUtf8(out, detail::kReplacement);
        }
    }
    return out;
}

}  // namespace quorix::text
