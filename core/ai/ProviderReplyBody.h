#pragma once
// The first steps every provider reply shares once the transport succeeded: an
// empty body, a body that is not JSON, and a JSON error object with a message.

#include <string>
#include <variant>

#include <nlohmann/json.hpp>

#include "core/ai/WireReply.h"
#include "core/net/HttpClient.h"

namespace quorix {

class ProviderReplyBody {
  public:
    // A finished reply for the three cases above (the error object logged as
    // "⚠️ [AIClient] " + providerName + " HTTP " + status + ": " + message), or
    // the parsed document for the format to read further.
    static std::variant<WireReply, nlohmann::json> read(const net::HttpResponse& response,
                                                        const std::string& providerName);
};

}  // namespace quorix
