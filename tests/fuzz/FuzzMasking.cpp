// Placeholder masking before a model sees a text: the tag ranges are in
// order, inside the text and never split a character, and when the model
// returns the masked text unchanged, unmasking gives back exactly the text
// that went in (as valid UTF-8; masking drops zero-width spaces outside links).
#include "core/ai/PlaceholderMasker.h"
#include "core/ai/TagScanner.h"
#include "core/text/Text.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

bool isLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace quorix;
    const std::string_view input = fuzz::asText(data, size);

    const std::u16string units = text::toUtf16(input);
    int32_t previousEnd = 0;
    for (const text::Range& r : TagScanner::findAll(units)) {
        FUZZ_CHECK(r.location >= previousEnd && r.length > 0);
        FUZZ_CHECK(static_cast<std::size_t>(r.end()) <= units.size());
        FUZZ_CHECK(!isLowSurrogate(units[r.location]));
        FUZZ_CHECK(static_cast<std::size_t>(r.end()) == units.size() ||
                   !isLowSurrogate(units[r.end()]));
        previousEnd = r.end();
    }

    const MaskResult urls = PlaceholderMasker::maskURLs(input);
    const MaskResult tags = PlaceholderMasker::maskTags(urls.maskedText);
    const std::string restored = PlaceholderMasker::unmaskURLs(
        PlaceholderMasker::unmaskTags(tags.maskedText, tags.map), urls.map);
    // Zero-width spaces leave the text outside links only.
    const auto withoutZeroWidthSpaces = [](std::string_view s) {
        return text::replaceAll(s, "\u200B", "");
    };
    FUZZ_CHECK(withoutZeroWidthSpaces(restored) ==
               withoutZeroWidthSpaces(text::sanitizeUtf8(input)));
    return 0;
}
