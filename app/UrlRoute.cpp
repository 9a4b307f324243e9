#include "app/UrlRoute.h"

namespace quorix::app {
namespace {

bool isSchemeChar(char c, bool first) {
    const bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (first) {
        return alpha;
    }
    return alpha || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

bool hasControlCharacters(std::string_view s) {
    for (unsigned char c : s) {
        if (c < 0x20 || c == 0x7f) {
            return true;
        }
    }
    return false;
}

std::string_view trimSlashes(std::string_view s) {
    while (!s.empty() && s.front() == '/') {
        s.remove_prefix(1);
    }
    while (!s.empty() && s.back() == '/') {
        s.remove_suffix(1);
    }
    return s;
}

ui::PrefsTab tabNamed(std::string_view name) {
    if (name == "ai") {
        return ui::PrefsTab::ai;
    }
    if (name == "updates") {
        return ui::PrefsTab::updates;
    }
    return ui::PrefsTab::stats;
}

}  // namespace

UrlRoute routeUrl(std::string_view url) {
    UrlRoute route;
    if (url.empty() || url.size() > kMaxUrlLength || hasControlCharacters(url)) {
        return route;
    }
    const auto colon = url.find(':');
    if (colon == std::string_view::npos || colon == 0) {
        return route;
    }
    const std::string_view scheme = url.substr(0, colon);
    for (std::size_t i = 0; i < scheme.size(); ++i) {
        if (!isSchemeChar(scheme[i], i == 0)) {
            return route;
        }
    }
    if (scheme != "quorix") {
        route.kind = UrlRouteKind::otherScheme;
        return route;
    }
    std::string_view rest = url.substr(colon + 1);
    // Query and fragment take no part in routing.
    rest = rest.substr(0, rest.find_first_of("?#"));
    std::string_view host;
    std::string_view path;
    if (rest.substr(0, 2) == "//") {
        rest.remove_prefix(2);
        const auto slash = rest.find('/');
        host = rest.substr(0, slash);
        path = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
    } else {
        path = rest;
    }
    route.host = std::string(host);
    if (host == "check-update" || host == "update" || path == "/check-update") {
        route.kind = UrlRouteKind::checkForUpdates;
    } else if (host == "settings" || host == "preferences") {
        route.kind = UrlRouteKind::preferences;
        route.tab = tabNamed(trimSlashes(path));
    } else {
        route.kind = UrlRouteKind::unknownRoute;
    }
    return route;
}

}  // namespace quorix::app
