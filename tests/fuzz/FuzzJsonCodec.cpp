// Untrusted JSON bodies: the guarded parser accepts or refuses without
// crashing, what it accepts serialises, and the serialised form parses back to
// the same document.
#include "core/ai/JsonCodec.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace quorix;
    const auto parsed = JsonCodec::parse(fuzz::asText(data, size));
    if (!parsed) {
        return 0;
    }
    const nlohmann::ordered_json ordered = nlohmann::ordered_json::parse(parsed->dump());
    const auto compact = JsonCodec::serialize(ordered);
    FUZZ_CHECK(compact.has_value());
    const auto again = JsonCodec::parse(*compact);
    FUZZ_CHECK(again.has_value() && *again == *parsed);
    return 0;
}
