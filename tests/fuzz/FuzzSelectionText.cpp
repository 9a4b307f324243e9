// The CLIPBOARD/selection text conversions (STRING is Latin-1, UTF8_STRING is
// UTF-8): Latin-1 survives the trip through UTF-8, the UTF-8 to Latin-1
// direction keeps one byte per character, and no ASCII character is lost to a
// malformed neighbour.
#include "core/text/Text.h"
#include "platform/linux/SelectionText.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

std::string asciiWithoutQuestionMarks(std::string_view s) {
    std::string out;
    for (const char c : s) {
        if (static_cast<unsigned char>(c) < 0x80 && c != '?') {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace quorix;
    const std::string_view input = fuzz::asText(data, size);

    const std::string utf8 = platform::latin1ToUtf8(input);
    FUZZ_CHECK(text::isValidUtf8(utf8));
    FUZZ_CHECK(platform::utf8ToLatin1(utf8) == input);

    const std::string latin1 = platform::utf8ToLatin1(input);
    FUZZ_CHECK(latin1.size() == text::toUtf32(input).size());
    FUZZ_CHECK(asciiWithoutQuestionMarks(latin1) == asciiWithoutQuestionMarks(input));
    if (text::isValidUtf8(input) && latin1.find('?') == std::string::npos) {
        FUZZ_CHECK(platform::latin1ToUtf8(latin1) == input);
    }
    return 0;
}
