// The regex helpers with any pattern, text and replacement template: a bad
// pattern is refused, matching stays bounded, and every range lies in the text.
#include "core/text/Regex.h"
#include "core/text/Text.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace quorix;
    if (size == 0) {
        return 0;
    }
    // options byte, pattern, text, template
    const auto parts = fuzz::splitInput(data + 1, size - 1, 3);
    const auto regex = text::Regex::make(parts[0], data[0] & 7u);
    if (!regex) {
        return 0;
    }
    const std::u16string units = text::toUtf16(parts[1]);
    int32_t previousEnd = 0;
    for (const text::RegexMatch& match : regex->findAll(std::u16string_view(units))) {
        const text::Range whole = match.range();
        FUZZ_CHECK(whole.found() && whole.location >= previousEnd && whole.length >= 0);
        FUZZ_CHECK(static_cast<std::size_t>(whole.end()) <= units.size());
        for (const text::Range& group : match.groups) {
            FUZZ_CHECK(!group.found() || (group.location >= 0 &&
                                          static_cast<std::size_t>(group.end()) <= units.size()));
        }
        previousEnd = whole.end();
        (void)text::replaceRange(units, whole, u"x");
    }
    if (const auto first = regex->firstMatch(std::u16string_view(units), 0)) {
        FUZZ_CHECK(static_cast<std::size_t>(first->range().end()) <= units.size());
    }
    (void)regex->search(parts[1]);
    (void)regex->matchesWhole(parts[1]);
    FUZZ_CHECK(text::isValidUtf8(regex->replaceAll(parts[1], parts[2])));
    return 0;
}
