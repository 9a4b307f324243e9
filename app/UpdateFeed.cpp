#include "app/UpdateFeed.h"

#include <nlohmann/json.hpp>

namespace quorix::app {
namespace {

constexpr std::size_t kMaxVersionParts = 4;
constexpr std::size_t kMaxPartDigits = 9;
constexpr std::size_t kMaxUrlLength = 2048;

bool isSafeLink(std::string_view url) {
    constexpr std::string_view kHttps = "https://";
    if (url.size() > kMaxUrlLength || url.substr(0, kHttps.size()) != kHttps) {
        return false;
    }
    for (unsigned char c : url) {
        if (c <= 0x20 || c == 0x7f || c == '"' || c == '<' || c == '>' || c == '\\') {
            return false;
        }
    }
    const std::string_view rest = url.substr(kHttps.size());
    const std::string_view authority = rest.substr(0, rest.find_first_of("/?#"));
    return !authority.empty() && authority.find('@') == std::string_view::npos;
}

}  // namespace

std::optional<std::vector<unsigned long>> parseVersion(std::string_view version) {
    std::vector<unsigned long> parts;
    std::size_t start = 0;
    while (true) {
        const auto dot = version.find('.', start);
        const std::string_view part = version.substr(start, dot - start);
        if (part.empty() || part.size() > kMaxPartDigits) {
            return std::nullopt;
        }
        unsigned long value = 0;
        for (char c : part) {
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
            value = value * 10 + static_cast<unsigned long>(c - '0');
        }
        parts.push_back(value);
        if (parts.size() > kMaxVersionParts) {
            return std::nullopt;
        }
        if (dot == std::string_view::npos) {
            return parts;
        }
        start = dot + 1;
    }
}

std::optional<int> compareVersions(std::string_view a, std::string_view b) {
    const auto pa = parseVersion(a);
    const auto pb = parseVersion(b);
    if (!pa || !pb) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < kMaxVersionParts; ++i) {
        const unsigned long x = i < pa->size() ? (*pa)[i] : 0;
        const unsigned long y = i < pb->size() ? (*pb)[i] : 0;
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return 0;
}

UpdateFeedResult parseUpdateFeed(std::string_view body) {
    UpdateFeedResult result;
    if (body.size() > kMaxFeedBytes) {
        result.error = "feed too large";
        return result;
    }
    const auto doc = nlohmann::json::parse(body, nullptr, /*allow_exceptions=*/false);
    if (doc.is_discarded() || !doc.is_object()) {
        result.error = "feed is not a JSON object";
        return result;
    }
    const auto version = doc.find("version");
    const auto url = doc.find("url");
    if (version == doc.end() || !version->is_string() || url == doc.end() || !url->is_string()) {
        result.error = "feed lacks a version or a url string";
        return result;
    }
    const auto& versionText = version->get_ref<const std::string&>();
    const auto& urlText = url->get_ref<const std::string&>();
    if (!parseVersion(versionText)) {
        result.error = "feed version is not a version";
        return result;
    }
    if (!isSafeLink(urlText)) {
        result.error = "feed link is not a plain https:// address";
        return result;
    }
    result.entry = UpdateFeedEntry{versionText, urlText};
    return result;
}

}  // namespace quorix::app
