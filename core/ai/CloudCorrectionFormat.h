#pragma once
// The product's own cloud correction endpoint: it holds its own prompt and
// receives only the text and a few settings.

#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "core/ai/WireReply.h"
#include "core/net/HttpClient.h"

namespace quorix {

class CloudCorrectionFormat {
  public:
    static constexpr std::size_t kMaxWhitelistWords = 30;
    // Longer entries of the personal dictionary are not words and are not sent.
    static constexpr std::size_t kMaxWhitelistWordBytes = 64;
    static constexpr std::string_view kFallbackVersion = "1.0.0";

    struct Fields {
        std::string_view text;
        bool formal = false;
        bool correctAccents = true;
        const std::set<std::string>* whitelist = nullptr;
        std::string_view appVersion;
    };

    static std::optional<std::string> requestBody(const Fields& fields);

    // The HTTP status is not consulted.
    static WireReply parseReply(const net::HttpResult& reply);
};

}  // namespace quorix
