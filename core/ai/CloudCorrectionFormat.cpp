#include "core/ai/CloudCorrectionFormat.h"

#include "core/ai/JsonCodec.h"
#include "core/text/Text.h"

namespace quorix {

std::optional<std::string> CloudCorrectionFormat::requestBody(const Fields& fields) {
    nlohmann::ordered_json words = nlohmann::ordered_json::array();
    if (fields.whitelist != nullptr) {
        for (const std::string& word : *fields.whitelist) {
            if (words.size() == kMaxWhitelistWords) {
                break;
            }
            if (word.size() > kMaxWhitelistWordBytes) {
                continue;
            }
            words.push_back(word);
        }
    }
    nlohmann::ordered_json body;
    body["text"] = std::string(fields.text);
    body["tone"] = fields.formal ? "work" : "natural";
    body["correctAccents"] = fields.correctAccents;
    body["whitelist"] = std::move(words);
    body["appVersion"] = std::string(fields.appVersion);
    return JsonCodec::serialize(body);
}

WireReply CloudCorrectionFormat::parseReply(const net::HttpResult& reply) {
    if (reply.error) {
        return {CorrectionResult::failure(*reply.error), std::nullopt};
    }
    const std::optional<nlohmann::json> json =
        reply.response.body.empty() ? std::nullopt : JsonCodec::parse(reply.response.body);
    if (!json || !json->is_object()) {
        return {CorrectionResult::failure(aiClientError(502, "Risposta non valida dal proxy.")),
                std::nullopt};
    }
    if (const std::string* error = JsonCodec::stringMember(*json, "error")) {
        return {CorrectionResult::failure(aiClientError(403, *error)), std::nullopt};
    }
    if (const std::string* corrected = JsonCodec::stringMember(*json, "correctedText")) {
        return {CorrectionResult::success(text::trim(*corrected)), std::nullopt};
    }
    return {CorrectionResult::failure(aiClientError(500, "Campo correctedText assente.")),
            std::nullopt};
}

}  // namespace quorix
