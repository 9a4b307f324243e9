#pragma once
// A provider exchange made from a fuzz input (first byte: HTTP status, the
// rest: body), and the invariants every reply parser keeps.

#include "core/ai/WireReply.h"
#include "core/net/HttpClient.h"
#include "core/text/Text.h"
#include "tests/fuzz/FuzzSupport.h"

namespace quorix::fuzz {

inline net::HttpResult replyFrom(const uint8_t* data, std::size_t size) {
    static constexpr int kStatuses[] = {200, 200, 200, 200, 201, 204, 400,
                                        401, 403, 404, 429, 500, 503};
    net::HttpResult result;
    if (size == 0) {
        result.response.status = 200;
        return result;
    }
    result.response.status = kStatuses[data[0] % std::size(kStatuses)];
    result.response.headers = {{"Content-Type", "application/json"}};
    result.response.body.assign(asText(data + 1, size - 1));
    return result;
}

// Exactly one of text and error; a text or log line is valid UTF-8.
inline void checkReply(const WireReply& reply) {
    FUZZ_CHECK(reply.result.text.has_value() != reply.result.error.has_value());
    if (reply.result.text) {
        FUZZ_CHECK(text::isValidUtf8(*reply.result.text));
    }
    if (reply.logLine) {
        FUZZ_CHECK(text::isValidUtf8(*reply.logLine));
    }
}

}  // namespace quorix::fuzz
