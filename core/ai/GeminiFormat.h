#pragma once
// Google Gemini generateContent: URL, request body and reply reading. The key
// travels only in the query string of the URL.

#include <optional>
#include <string>
#include <string_view>

#include "core/ai/WireReply.h"
#include "core/net/HttpClient.h"

namespace quorix {

class GeminiFormat {
  public:
    static constexpr int kMaxOutputTokens = 800;

    // base + "/v1beta/models/" + model + ":generateContent?key=" + key, or
    // nullopt when that is not a valid URL.
    static std::optional<std::string> url(std::string_view base, std::string_view model,
                                          std::string_view key);

    static std::optional<std::string> requestBody(std::string_view systemPrompt,
                                                  std::string_view text);

    static WireReply parseReply(const net::HttpResult& reply);
};

}  // namespace quorix
