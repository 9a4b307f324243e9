// Replies of the cloud correction endpoint as any server may send them.
#include "core/ai/CloudCorrectionFormat.h"
#include "tests/fuzz/ReplyInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace quorix;
    fuzz::checkReply(CloudCorrectionFormat::parseReply(fuzz::replyFrom(data, size)));
    return 0;
}
