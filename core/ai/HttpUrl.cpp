#include "core/ai/HttpUrl.h"

#include "core/text/Text.h"

namespace quorix {

namespace {

bool allowedChar(char c) {
    if (c <= 0x20 || c >= 0x7F) {
        return false;
    }
    switch (c) {
        case '"':
        case '<':
        case '>':
        case '\\':
        case '^':
        case '`':
        case '{':
        case '|':
        case '}':
            return false;
        default:
            return true;
    }
}

}  // namespace

bool HttpUrl::isValid(std::string_view url) {
    for (char c : url) {
        if (!allowedChar(c)) {
            return false;
        }
    }
    const std::string lower = text::toLower(url);
    std::string_view rest;
    if (text::startsWith(lower, "http://")) {
        rest = url.substr(7);
    } else if (text::startsWith(lower, "https://")) {
        rest = url.substr(8);
    } else {
        return false;
    }
    const std::size_t hostEnd = rest.find_first_of("/?#");
    std::string_view authority = rest.substr(0, hostEnd);
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        authority = authority.substr(at + 1);
    }
    const std::string_view host =
        authority.substr(0, authority.rfind(':') == std::string_view::npos ? authority.size()
                                                                           : authority.rfind(':'));
    return !host.empty();
}

}  // namespace quorix
