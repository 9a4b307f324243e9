#include "core/ai/ProviderReplyBody.h"

#include <optional>

#include "core/ai/JsonCodec.h"

namespace quorix {

std::variant<WireReply, nlohmann::json> ProviderReplyBody::read(const net::HttpResponse& response,
                                                                const std::string& providerName) {
    if (response.body.empty()) {
        return WireReply{CorrectionResult::failure(aiClientError(500, "Nessun dato")),
                         std::nullopt};
    }
    std::optional<nlohmann::json> json = JsonCodec::parse(response.body);
    if (!json) {
        return WireReply{CorrectionResult::failure(JsonCodec::parseError()), std::nullopt};
    }
    if (const nlohmann::json* error = JsonCodec::objectMember(*json, "error")) {
        if (const std::string* message = JsonCodec::stringMember(*error, "message")) {
            return WireReply{CorrectionResult::failure(aiClientError(response.status, *message)),
                             "⚠️ [AIClient] " + providerName + " HTTP " +
                                 std::to_string(response.status) + ": " + *message};
        }
    }
    return std::move(*json);
}

}  // namespace quorix
