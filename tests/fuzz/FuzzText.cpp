// The text utilities over any bytes (invalid UTF-8, encoded surrogates,
// overlong forms) and over any UTF-16 units (lone surrogates): every result is
// valid UTF-8 and the conversions, graphemes and trimming agree with each other.
#include <string>

#include "core/text/Text.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

using namespace quorix;

bool hasWhiteSpace(std::string_view s) {
    for (const char32_t c : text::toUtf32(s)) {
        if (text::isWhiteSpace(c)) {
            return true;
        }
    }
    return false;
}

bool hasLoneSurrogate(std::u16string_view units) {
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            return true;
        }
    }
    return false;
}

void checkUtf16Units(const uint8_t* data, std::size_t size) {
    std::u16string units(size / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }
    const std::string utf8 = text::fromUtf16(units);
    FUZZ_CHECK(text::isValidUtf8(utf8));
    if (!hasLoneSurrogate(units)) {
        FUZZ_CHECK(text::toUtf16(utf8) == units);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::asText(data, size);
    const std::string clean = text::sanitizeUtf8(input);
    FUZZ_CHECK(text::isValidUtf8(clean));
    FUZZ_CHECK(text::isValidUtf8(input) == (clean == input));
    FUZZ_CHECK(text::fromUtf16(text::toUtf16(input)) == clean);
    FUZZ_CHECK(text::fromUtf32(text::toUtf32(input)) == clean);
    checkUtf16Units(data, size);

    const std::vector<std::string> graphemes = text::characters(input);
    std::string joined;
    for (const std::string& g : graphemes) {
        FUZZ_CHECK(!g.empty());
        joined += g;
    }
    FUZZ_CHECK(joined == clean);
    FUZZ_CHECK(text::characterCount(input) == graphemes.size());
    FUZZ_CHECK(text::firstCharacter(input) == (graphemes.empty() ? "" : graphemes.front()));

    const std::string trimmed = text::trim(input);
    FUZZ_CHECK(text::trim(trimmed) == trimmed);
    FUZZ_CHECK(text::contains(clean, trimmed));
    FUZZ_CHECK(text::isBlank(input) == trimmed.empty());
    const std::string bare = text::trimPunctuation(input);
    FUZZ_CHECK(text::trimPunctuation(bare) == bare && text::contains(clean, bare));

    for (const std::string& mapped :
         {text::toLower(input), text::toUpper(input), text::capitalized(input), text::nfc(input),
          text::withoutAccents(input)}) {
        FUZZ_CHECK(text::isValidUtf8(mapped));
    }
    FUZZ_CHECK(text::canonicallyEqual(input, text::nfc(input)));
    for (const std::string& word : text::splitWords(input)) {
        FUZZ_CHECK(!word.empty() && !hasWhiteSpace(word));
    }
    for (const std::string& line : text::splitLines(input)) {
        FUZZ_CHECK(text::isValidUtf8(line) && line.find('\n') == std::string::npos);
    }
    return 0;
}
