#include "core/config/CloudEndpoint.h"

#include <optional>

#include "core/config/ServiceEndpoints.h"
#include "core/text/Text.h"

namespace quorix {

namespace {

struct Origin {
    bool secure = false;
    std::string_view schemeAndAuthority;  // "https://host:port"
    std::string_view host;                // without port or brackets
};

std::optional<Origin> originOf(std::string_view url) {
    Origin origin;
    const std::string lower = text::toLower(url.substr(0, 8));
    std::size_t schemeLength = 0;
    if (lower.starts_with("https://")) {
        origin.secure = true;
        schemeLength = 8;
    } else if (lower.starts_with("http://")) {
        schemeLength = 7;
    } else {
        return std::nullopt;
    }
    const std::string_view rest = url.substr(schemeLength);
    std::string_view authority = rest.substr(0, rest.find_first_of("/?#"));
    origin.schemeAndAuthority = url.substr(0, schemeLength + authority.size());
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        authority = authority.substr(at + 1);
    }
    if (authority.starts_with('[')) {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        origin.host = authority.substr(1, close - 1);
    } else {
        origin.host = authority.substr(0, authority.find(':'));
    }
    if (origin.host.empty()) {
        return std::nullopt;
    }
    return origin;
}

bool isLoopbackHost(std::string_view host) {
    const std::string lower = text::toLower(host);
    if (lower == "localhost" || lower == "::1") {
        return true;
    }
    // 127.0.0.0/8 in dotted decimal, four parts.
    if (!lower.starts_with("127.")) {
        return false;
    }
    int parts = 2;  // "127" and the part being read
    std::size_t digits = 0;
    for (char c : std::string_view(lower).substr(4)) {
        if (c == '.') {
            if (digits == 0) {
                return false;
            }
            ++parts;
            digits = 0;
        } else if (c >= '0' && c <= '9' && digits < 3) {
            ++digits;
        } else {
            return false;
        }
    }
    return parts == 4 && digits > 0;
}

}  // namespace

bool CloudEndpoint::isAllowed(std::string_view url) {
    const auto origin = originOf(url);
    return origin && (origin->secure || isLoopbackHost(origin->host));
}

std::string CloudEndpoint::dictionaryURL(std::string_view correctURL) {
    if (!isAllowed(correctURL)) {
        return {};
    }
    return std::string(originOf(correctURL)->schemeAndAuthority) +
           std::string(kCloudDictionaryPath);
}

}  // namespace quorix
