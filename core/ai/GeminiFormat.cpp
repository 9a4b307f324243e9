#include "core/ai/GeminiFormat.h"

#include <algorithm>

#include "core/ai/HttpUrl.h"
#include "core/ai/JsonCodec.h"
#include "core/ai/ProviderReplyBody.h"
#include "core/text/Text.h"

namespace quorix {

std::optional<std::string> GeminiFormat::url(std::string_view base, std::string_view model,
                                             std::string_view key) {
    std::string out = std::string(base) + "/v1beta/models/" + std::string(model) +
                      ":generateContent?key=" + std::string(key);
    if (!HttpUrl::isValid(out)) {
        return std::nullopt;
    }
    return out;
}

std::optional<std::string> GeminiFormat::requestBody(std::string_view systemPrompt,
                                                     std::string_view text) {
    using J = nlohmann::ordered_json;
    J body;
    body["system_instruction"] = J{{"parts", J::array({J{{"text", std::string(systemPrompt)}}})}};
    body["contents"] =
        J::array({J{{"role", "user"}, {"parts", J::array({J{{"text", std::string(text)}}})}}});
    body["generationConfig"] = J{{"temperature", 0}, {"maxOutputTokens", kMaxOutputTokens}};
    return JsonCodec::serialize(body);
}

WireReply GeminiFormat::parseReply(const net::HttpResult& reply) {
    if (reply.error) {
        return {CorrectionResult::failure(*reply.error), std::nullopt};
    }
    const net::HttpResponse& response = reply.response;
    auto body = ProviderReplyBody::read(response, "Gemini");
    if (auto* finished = std::get_if<WireReply>(&body)) {
        return std::move(*finished);
    }
    const nlohmann::json* json = &std::get<nlohmann::json>(body);
    const std::string status = std::to_string(response.status);
    if (const nlohmann::json* candidates = JsonCodec::objectArrayMember(*json, "candidates")) {
        const nlohmann::json* content = JsonCodec::objectMember(candidates->front(), "content");
        auto partsIt = content != nullptr ? content->find("parts") : json->end();
        const bool partsOk = content != nullptr && partsIt != content->end() &&
                             partsIt->is_array() &&
                             std::all_of(partsIt->begin(), partsIt->end(),
                                         [](const nlohmann::json& p) { return p.is_object(); });
        if (partsOk) {
            for (const nlohmann::json& part : *partsIt) {
                const std::string* partText = JsonCodec::stringMember(part, "text");
                if (partText != nullptr && !partText->empty()) {
                    return {CorrectionResult::success(text::trim(*partText)), std::nullopt};
                }
            }
        }
    }
    return {CorrectionResult::failure(
                aiClientError(500, "Formato risposta non valido (HTTP " + status + ")")),
            std::nullopt};
}

}  // namespace quorix
