// Gemini generateContent replies as any server may send them.
#include "core/ai/GeminiFormat.h"
#include "tests/fuzz/ReplyInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace quorix;
    quorix::fuzz::checkReply(GeminiFormat::parseReply(fuzz::replyFrom(data, size)));
    return 0;
}
