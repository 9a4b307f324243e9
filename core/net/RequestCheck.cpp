#include "core/net/RequestCheck.h"

#include <curl/curl.h>

#include <memory>
#include <string_view>

#include "core/net/HttpErrors.h"

namespace quorix::net {

namespace {

bool isTokenChar(char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
        return true;
    }
    return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

bool isToken(std::string_view s) {
    if (s.empty()) {
        return false;
    }
    for (char c : s) {
        if (!isTokenChar(c)) {
            return false;
        }
    }
    return true;
}

bool isSafeHeaderValue(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

struct UrlDeleter {
    void operator()(CURLU* u) const { curl_url_cleanup(u); }
};

// Reads one part of a parsed URL; empty when absent.
std::string urlPart(CURLU* url, CURLUPart part) {
    char* value = nullptr;
    if (curl_url_get(url, part, &value, 0) != CURLUE_OK || value == nullptr) {
        return {};
    }
    std::string result(value);
    curl_free(value);
    return result;
}

bool isAcceptableUrl(const std::string& text) {
    if (text.empty() || text.find('\0') != std::string::npos) {
        return false;
    }
    std::unique_ptr<CURLU, UrlDeleter> url(curl_url());
    if (!url || curl_url_set(url.get(), CURLUPART_URL, text.c_str(), 0) != CURLUE_OK) {
        return false;
    }
    const std::string scheme = urlPart(url.get(), CURLUPART_SCHEME);
    if (scheme != "http" && scheme != "https") {
        return false;
    }
    return !urlPart(url.get(), CURLUPART_HOST).empty();
}

}  // namespace

std::optional<Error> checkRequest(const HttpRequest& request) {
    if (!isAcceptableUrl(request.url)) {
        return httpError(kHttpBadURL);
    }
    bool wellFormed = isToken(request.method);
    for (const auto& [name, value] : request.headers) {
        wellFormed = wellFormed && isToken(name) && isSafeHeaderValue(value);
    }
    if (!wellFormed) {
        return Error{kHttpErrorDomain, kHttpOther, "The request has an invalid method or header."};
    }
    return std::nullopt;
}

}  // namespace quorix::net
