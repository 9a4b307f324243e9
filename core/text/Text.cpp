// Trimming, case mapping, grapheme clusters, normalisation and splitting.

#include "core/text/Text.h"
#include "core/text/Utf8Internal.h"

#include <unicode/brkiter.h>
#include <unicode/bytestream.h>
#include <unicode/casemap.h>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/stringoptions.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utext.h>

#include <cstring>
#include <memory>

namespace quorix::text {
namespace {

using detail::decodeNext;

// A view of s that is valid UTF-8: s itself, or a sanitized copy kept in `storage`.
std::string_view validView(std::string_view s, std::string& storage) {
    if (isValidUtf8(s)) {
        return s;
    }
    storage = sanitizeUtf8(s);
    return storage;
}

// Byte bounds [begin, end) of s without the leading and trailing code points
// matching `strip`. Bad bytes count as U+FFFD, which no caller strips.
template <typename Strip>
std::pair<std::size_t, std::size_t> trimBounds(std::string_view s, Strip strip) {
    std::size_t b = 0;
    while (b < s.size()) {
        std::size_t next = b;
        if (!strip(decodeNext(s, next))) {
            break;
        }
        b = next;
    }
    std::size_t e = s.size();
    while (e > b) {
        // Back up to the lead byte of the last sequence (at most 3 trail bytes).
        std::size_t k = e - 1;
        while (k > b && e - k < 4 && (static_cast<unsigned char>(s[k]) & 0xC0) == 0x80) {
            --k;
        }
        std::size_t next = k;
        char32_t c;
        // A well-formed sequence starting at a lead byte is decoded the same way
        // by a forward scan, so this agrees with decoding from the front.
        if (!detail::decodeNextChecked(s, next, c) || next != e || !strip(c)) {
            break;
        }
        e = k;
    }
    return {b, e};
}

struct WhiteSpaceStrip {
    bool operator()(char32_t c) const {
        return c < 0x80 ? detail::isAsciiWhiteSpace(static_cast<unsigned char>(c))
                        : isWhiteSpace(c);
    }
};

// The per-thread grapheme cluster iterator (creating one costs tens of µs).
icu::BreakIterator* characterIterator() {
    thread_local std::unique_ptr<icu::BreakIterator> it = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::BreakIterator> bi(
            icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status)) {
            bi.reset();
        }
        return bi;
    }();
    return it.get();
}

// Calls f(begin, end) for every grapheme cluster of the valid UTF-8 string v,
// as byte offsets; f returns false to stop. Returns false if ICU is unusable.
template <typename F>
bool forEachCluster(std::string_view v, F f) {
    icu::BreakIterator* bi = characterIterator();
    if (bi == nullptr) {
        return false;
    }
    UErrorCode status = U_ZERO_ERROR;
    UText ut = UTEXT_INITIALIZER;
    utext_openUTF8(&ut, v.data(), static_cast<int64_t>(v.size()), &status);
    bi->setText(&ut, status);
    if (U_FAILURE(status)) {
        utext_close(&ut);
        return false;
    }
    int32_t start = bi->first();
    for (int32_t end = bi->next(); end != icu::BreakIterator::DONE; start = end, end = bi->next()) {
        if (!f(static_cast<std::size_t>(start), static_cast<std::size_t>(end))) {
            break;
        }
    }
    // The iterator keeps a shallow clone pointing at v; it is not read again
    // before the next setText().
    utext_close(&ut);
    return true;
}

template <typename Map>
std::string mapCase(std::string_view s, Map map) {
    std::string storage;
    const std::string_view v = validView(s, storage);
    std::string out;
    out.reserve(v.size() + 4);
    icu::StringByteSink<std::string> sink(&out);
    UErrorCode status = U_ZERO_ERROR;
    map(icu::StringPiece(v.data(), static_cast<int32_t>(v.size())), sink, status);
    if (U_FAILURE(status)) {
        return std::string(v);
    }
    return out;
}

// Grapheme_Cluster_Break values that never join their neighbours except CR LF:
// with only these in a text, clusters are code points (rules GB3-GB5, GB999).
bool isSimpleClusterPart(char32_t c) {
    if (c < 0x80) {
        return true;
    }
    switch (u_getIntPropertyValue(static_cast<UChar32>(c), UCHAR_GRAPHEME_CLUSTER_BREAK)) {
        case U_GCB_OTHER:
        case U_GCB_CONTROL:
        case U_GCB_CR:
        case U_GCB_LF:
            return true;
        default:
            return false;
    }
}

// Counts the clusters of s when every code point is a simple cluster part;
// returns false (count undefined) as soon as one is not.
bool countSimpleClusters(std::string_view s, std::size_t& count) {
    count = 0;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            if (!(b == '\n' && i > 0 && s[i - 1] == '\r')) {
                ++count;
            }
            ++i;
            continue;
        }
        if (!isSimpleClusterPart(decodeNext(s, i))) {
            return false;
        }
        ++count;
    }
    return true;
}

bool isNewline(char32_t c) {
    return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
}

}  // namespace

// ---- trimming --------------------------------------------------------------

std::string trim(std::string_view s) {
    const auto [b, e] = trimBounds(s, WhiteSpaceStrip{});
    return sanitizeUtf8(s.substr(b, e - b));  // a plain copy when ASCII or valid
}

std::string trimPunctuation(std::string_view s) {
    const auto [b, e] = trimBounds(s, [](char32_t c) { return isPunctuation(c); });
    return sanitizeUtf8(s.substr(b, e - b));
}

bool isBlank(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto byte = static_cast<unsigned char>(s[i]);
        if (byte < 0x80) {
            if (!detail::isAsciiWhiteSpace(byte)) {
                return false;
            }
            ++i;
            continue;
        }
        if (!isWhiteSpace(decodeNext(s, i))) {
            return false;
        }
    }
    return true;
}

// ---- case mapping ------------------------------------------------------------

std::string toLower(std::string_view s) {
    if (detail::isAscii(s)) {
        std::string out(s);
        for (char& c : out) {
            c = detail::asciiLower(c);
        }
        return out;
    }
    // Fast path for ASCII and Latin-1 (Western European text): every upper-case
    // letter there maps to one letter 0x20 above and keeps its UTF-8 length
    // (U+00C0..U+00DE except U+00D7 is C3 80..C3 9E); nothing needs context.
    std::string out(s);
    const std::size_t n = out.size();
    std::size_t i = 0;
    while (i < n) {
        const auto b = static_cast<unsigned char>(out[i]);
        if (b < 0x80) {
            out[i] = detail::asciiLower(out[i]);
            ++i;
            continue;
        }
        if ((b != 0xC2 && b != 0xC3) || i + 1 == n) {
            break;
        }
        const auto t = static_cast<unsigned char>(out[i + 1]);
        if ((t & 0xC0) != 0x80) {
            break;
        }
        if (b == 0xC3 && t <= 0x9E && t != 0x97) {
            out[i + 1] = static_cast<char>(t + 0x20);
        }
        i += 2;
    }
    if (i == n) {
        return out;
    }
    // Not (valid) Latin-1 throughout: the full, contextual ICU mapping.
    return mapCase(s, [](icu::StringPiece in, icu::ByteSink& sink, UErrorCode& status) {
        icu::CaseMap::utf8ToLower("", 0, in, sink, nullptr, status);
    });
}

std::string toUpper(std::string_view s) {
    if (detail::isAscii(s)) {
        std::string out(s);
        for (char& c : out) {
            if (c >= 'a' && c <= 'z') {
                c = static_cast<char>(c - 32);
            }
        }
        return out;
    }
    return mapCase(s, [](icu::StringPiece in, icu::ByteSink& sink, UErrorCode& status) {
        icu::CaseMap::utf8ToUpper("", 0, in, sink, nullptr, status);
    });
}

std::string capitalized(std::string_view s) {
    std::string storage;
    const std::string_view v = validView(s, storage);
    const icu::UnicodeString u =
        icu::UnicodeString::fromUTF8(icu::StringPiece(v.data(), static_cast<int32_t>(v.size())));
    icu::UnicodeString out;
    const int32_t n = u.length();
    int32_t i = 0;
    while (i < n) {
        const int32_t start = i;
        const bool space = u_isUWhiteSpace(u.char32At(i));
        while (i < n && static_cast<bool>(u_isUWhiteSpace(u.char32At(i))) == space) {
            i = u.moveIndex32(i, 1);
        }
        icu::UnicodeString piece(u, start, i - start);
        if (!space) {
            // Title-cases the first letter, number or symbol of the word (ICU's
            // default index adjustment skips leading punctuation) and lowercases the rest.
            piece.toTitle(nullptr, icu::Locale::getRoot(), U_TITLECASE_WHOLE_STRING);
        }
        out.append(piece);
    }
    std::string result;
    out.toUTF8String(result);
    return result;
}

// ---- grapheme clusters -------------------------------------------------------

std::size_t characterCount(std::string_view s) {
    // Fast path: text without combining marks, joiners, emoji modifiers,
    // regional indicators or conjoining jamo (most Latin, Greek, Cyrillic, CJK
    // text) has one cluster per code point, CR LF aside. Bad bytes are U+FFFD (Other).
    std::size_t count = s.size();
    if (detail::isAscii(s)) {
        for (const char* p = static_cast<const char*>(std::memchr(s.data(), '\r', s.size()));
             p != nullptr;) {
            const std::size_t at = static_cast<std::size_t>(p - s.data()) + 1;
            if (at < s.size() && s[at] == '\n') {
                --count;
            }
            p = at < s.size()
                    ? static_cast<const char*>(std::memchr(s.data() + at, '\r', s.size() - at))
                    : nullptr;
        }
        return count;
    }
    if (countSimpleClusters(s, count)) {
        return count;
    }
    std::string storage;
    const std::string_view v = validView(s, storage);
    count = 0;
    if (!forEachCluster(v, [&](std::size_t, std::size_t) {
            ++count;
            return true;
        })) {
        return toUtf32(v).size();
    }
    return count;
}

std::vector<std::string> characters(std::string_view s) {
    std::string storage;
    const std::string_view v = validView(s, storage);
    std::vector<std::string> out;
    if (!forEachCluster(v, [&](std::size_t b, std::size_t e) {
            out.emplace_back(v.substr(b, e - b));
            return true;
        })) {
        out.clear();
        for (char32_t c : toUtf32(v)) {
            out.push_back(fromUtf32(std::u32string_view(&c, 1)));
        }
    }
    return out;
}

std::string firstCharacter(std::string_view s) {
    if (s.empty()) {
        return {};
    }
    // Fast path: a simple first code point followed by a simple one (or nothing).
    std::size_t firstEnd = 0;
    const char32_t first = decodeNext(s, firstEnd);
    std::size_t secondEnd = firstEnd;
    const char32_t second = firstEnd < s.size() ? decodeNext(s, secondEnd) : U'\0';
    if (isSimpleClusterPart(first) && isSimpleClusterPart(second)) {
        if (first == U'\r' && second == U'\n') {
            return "\r\n";
        }
        return sanitizeUtf8(s.substr(0, firstEnd));
    }
    std::string storage;
    const std::string_view v = validView(s, storage);
    std::string out;
    if (!forEachCluster(v, [&](std::size_t b, std::size_t e) {
            out.assign(v.substr(b, e - b));
            return false;
        })) {
        std::size_t i = 0;
        decodeNext(v, i);
        out.assign(v.substr(0, i));
    }
    return out;
}

// ---- normalisation -----------------------------------------------------------

namespace {

// ICU's NFC singleton, fetched once behind a C++ static guard so that every
// thread sees it fully built (ICU's own once-initialisation is invisible to
// race detectors). Null when ICU cannot provide it.
const icu::Normalizer2* nfcNormalizer() {
    static const icu::Normalizer2* const instance = [] {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Normalizer2* n2 = icu::Normalizer2::getNFCInstance(status);
        return U_SUCCESS(status) ? n2 : nullptr;
    }();
    return instance;
}

}  // namespace

std::string nfc(std::string_view s) {
    if (detail::isAscii(s)) {
        return std::string(s);
    }
    std::string storage;
    const std::string_view v = validView(s, storage);
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* n2 = nfcNormalizer();
    if (n2 == nullptr) {
        return std::string(v);
    }
    std::string out;
    out.reserve(v.size());
    icu::StringByteSink<std::string> sink(&out);
    n2->normalizeUTF8(0, icu::StringPiece(v.data(), static_cast<int32_t>(v.size())), sink, nullptr,
                      status);
    if (U_FAILURE(status)) {
        return std::string(v);
    }
    return out;
}

bool canonicallyEqual(std::string_view a, std::string_view b) {
    if (a == b) {
        return true;
    }
    if (detail::isAscii(a) && detail::isAscii(b)) {
        return false;
    }
    if (isValidUtf8(a) && isValidUtf8(b)) {
        // Two different strings that are both already NFC are not equivalent.
        UErrorCode status = U_ZERO_ERROR;
        const icu::Normalizer2* n2 = nfcNormalizer();
        if (n2 != nullptr &&
            n2->isNormalizedUTF8(icu::StringPiece(a.data(), static_cast<int32_t>(a.size())),
                                 status) &&
            n2->isNormalizedUTF8(icu::StringPiece(b.data(), static_cast<int32_t>(b.size())),
                                 status) &&
            U_SUCCESS(status)) {
            return false;
        }
    }
    return nfc(a) == nfc(b);
}

std::string withoutAccents(std::string_view s) {
    if (detail::isAscii(s)) {
        return std::string(s);
    }
    std::string storage;
    const std::string_view v = validView(s, storage);
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    if (U_FAILURE(status) || nfd == nullptr) {
        return std::string(v);
    }
    const icu::UnicodeString decomposed = nfd->normalize(
        icu::UnicodeString::fromUTF8(icu::StringPiece(v.data(), static_cast<int32_t>(v.size()))),
        status);
    if (U_FAILURE(status)) {
        return std::string(v);
    }
    std::u32string kept;
    for (int32_t i = 0; i < decomposed.length();) {
        const UChar32 c = decomposed.char32At(i);
        if (u_charType(c) != U_NON_SPACING_MARK) {
            kept.push_back(static_cast<char32_t>(c));
        }
        i += U16_LENGTH(c);
    }
    return nfc(fromUtf32(kept));
}

// ---- splitting ---------------------------------------------------------------

std::vector<std::string> splitWords(std::string_view s) {
    std::vector<std::string> out;
    const std::size_t firstNonAscii = detail::firstNonAscii(s);
    if (firstNonAscii == s.size()) {
        // ASCII fast path: count the words first so the vector allocates once.
        std::size_t words = 0;
        for (std::size_t i = 0; i < s.size(); ++i) {
            const bool space = detail::isAsciiWhiteSpace(static_cast<unsigned char>(s[i]));
            if (!space &&
                (i == 0 || detail::isAsciiWhiteSpace(static_cast<unsigned char>(s[i - 1])))) {
                ++words;
            }
        }
        out.reserve(words);
        for (std::size_t i = 0; i < s.size();) {
            while (i < s.size() && detail::isAsciiWhiteSpace(static_cast<unsigned char>(s[i]))) {
                ++i;
            }
            const std::size_t start = i;
            while (i < s.size() && !detail::isAsciiWhiteSpace(static_cast<unsigned char>(s[i]))) {
                ++i;
            }
            if (i > start) {
                out.emplace_back(s.substr(start, i - start));
            }
        }
        return out;
    }
    const bool valid = isValidUtf8(s);
    std::size_t i = 0;
    std::size_t wordStart = std::string_view::npos;
    auto flush = [&](std::size_t end) {
        if (wordStart == std::string_view::npos) {
            return;
        }
        const std::string_view piece = s.substr(wordStart, end - wordStart);
        out.push_back(valid ? std::string(piece) : sanitizeUtf8(piece));
        wordStart = std::string_view::npos;
    };
    while (i < s.size()) {
        const std::size_t at = i;
        const auto byte = static_cast<unsigned char>(s[i]);
        bool space;
        if (byte < 0x80) {
            space = detail::isAsciiWhiteSpace(byte);
            ++i;
        } else {
            space = isWhiteSpace(decodeNext(s, i));
        }
        if (space) {
            flush(at);
        } else if (wordStart == std::string_view::npos) {
            wordStart = at;
        }
    }
    flush(s.size());
    return out;
}

bool nextLine(std::string_view data, std::size_t& pos, std::string_view& line) {
    if (pos >= data.size()) {
        return false;
    }
    const std::size_t end = data.find('\n', pos);
    const std::size_t stop = end == std::string_view::npos ? data.size() : end;
    line = data.substr(pos, stop - pos);
    pos = stop + 1;
    return true;
}

std::vector<std::string> splitLines(std::string_view s) {
    std::vector<std::string> out;
    const bool valid = isValidUtf8(s);
    auto emit = [&](std::string_view piece) {
        out.push_back(valid ? std::string(piece) : sanitizeUtf8(piece));
    };
    std::size_t lineStart = 0;
    std::size_t i = 0;
    while (i < s.size()) {
        const std::size_t at = i;
        const char32_t c = decodeNext(s, i);
        if (!isNewline(c)) {
            continue;
        }
        emit(s.substr(lineStart, at - lineStart));
        if (c == '\r' && i < s.size() && s[i] == '\n') {
            ++i;
        }
        lineStart = i;
    }
    emit(s.substr(lineStart));
    return out;
}

// ---- byte-wise helpers -------------------------------------------------------

bool contains(std::string_view haystack, std::string_view needle) {
    return haystack.find(needle) != std::string_view::npos;
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.starts_with(prefix);
}

bool endsWith(std::string_view s, std::string_view suffix) {
    return s.ends_with(suffix);
}

std::string replaceAll(std::string_view s, std::string_view from, std::string_view to) {
    if (from.empty()) {
        return std::string(s);
    }
    std::string out;
    out.reserve(s.size());
    std::size_t pos = 0;
    for (std::size_t hit; (hit = s.find(from, pos)) != std::string_view::npos;
         pos = hit + from.size()) {
        out.append(s.substr(pos, hit - pos));
        out.append(to);
    }
    out.append(s.substr(pos));
    return out;
}

}  // namespace quorix::text
