#include "core/ai/OpenAIChatFormat.h"

#include <algorithm>

#include "core/ai/JsonCodec.h"
#include "core/ai/ProviderReplyBody.h"
#include "core/text/Text.h"

namespace quorix {

namespace {

constexpr std::size_t kBodySnippetBytes = 150;

// The first bytes of a body as text, or "" when they are not valid UTF-8.
std::string bodySnippet(std::string_view body) {
    const std::string_view head = body.substr(0, std::min(body.size(), kBodySnippetBytes));
    return text::isValidUtf8(head) ? std::string(head) : std::string();
}

// Drops one pair of straight double quotes wrapped around the whole reply,
// unless the sent text itself began with one.
std::string unquote(std::string content, std::string_view sentText) {
    if (content.size() >= 2 && content.front() == '"' && content.back() == '"' &&
        text::characterCount(content) >= 2 && !text::startsWith(sentText, "\"")) {
        return text::trim(std::string_view(content).substr(1, content.size() - 2));
    }
    return content;
}

}  // namespace

int OpenAIChatFormat::maxTokens(std::string_view text) {
    const auto n = static_cast<long long>(text::characterCount(text));
    return static_cast<int>(std::clamp(3 * n + 200, 300LL, 1000LL));
}

std::optional<std::string> OpenAIChatFormat::requestBody(std::string_view model,
                                                         std::string_view systemPrompt,
                                                         std::string_view text) {
    nlohmann::ordered_json body;
    body["model"] = std::string(model);
    body["messages"] = nlohmann::ordered_json::array({
        nlohmann::ordered_json{{"role", "system"}, {"content", std::string(systemPrompt)}},
        nlohmann::ordered_json{{"role", "user"},
                               {"content", std::string(kUserLeadIn) + "\n\n" + std::string(text)}},
    });
    body["temperature"] = 0;
    body["max_tokens"] = maxTokens(text);
    return JsonCodec::serialize(body);
}

WireReply OpenAIChatFormat::parseReply(const net::HttpResult& reply, std::string_view providerName,
                                       std::string_view model, std::string_view sentText,
                                       std::string_view elapsed) {
    const std::string provider(providerName);
    const std::string modelName(model);
    if (reply.error) {
        return {CorrectionResult::failure(*reply.error), "❌ [AIClient] Errore " + provider + " (" +
                                                             std::string(elapsed) +
                                                             "s): " + reply.error->description};
    }
    const net::HttpResponse& response = reply.response;
    auto body = ProviderReplyBody::read(response, provider);
    if (auto* finished = std::get_if<WireReply>(&body)) {
        return std::move(*finished);
    }
    const nlohmann::json* json = &std::get<nlohmann::json>(body);
    if (const nlohmann::json* choices = JsonCodec::objectArrayMember(*json, "choices")) {
        const nlohmann::json* message = JsonCodec::objectMember(choices->front(), "message");
        const std::string* content =
            message != nullptr ? JsonCodec::stringMember(*message, "content") : nullptr;
        if (content != nullptr) {
            const std::string result = unquote(text::trim(*content), sentText);
            if (!result.empty()) {
                return {CorrectionResult::success(result),
                        "✅ [AIClient] Successo con " + provider + " (" + modelName + ") in " +
                            std::string(elapsed) + "s: \"" + result + "\""};
            }
            return {CorrectionResult::failure(aiClientError(204, "Risposta vuota da " + modelName)),
                    "⚠️ [AIClient] " + provider + " (" + modelName +
                        ") ha restituito testo vuoto. Tento fallback."};
        }
    }
    return {CorrectionResult::failure(aiClientError(response.status, "Risposta non valida")),
            "⚠️ [AIClient] Risposta non valida da " + provider + ": " + bodySnippet(response.body)};
}

}  // namespace quorix
