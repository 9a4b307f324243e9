#pragma once
// Where a quorix:// link leads. Pure logic over the link's text: no Qt, no
// I/O, total on any input (fuzzable).
//
//   quorix://check-update, quorix://update, quorix://<any>/check-update
//                                        -> checkForUpdates
//   quorix://settings/<tab>, quorix://preferences/<tab>
//                                        -> preferences on <tab>: "ai" and
//                                           "updates" name their pages, anything
//                                           else (empty included) Statistics
//   any other host                        -> unknownRoute
//   another scheme (exact, case-sensitive "quorix") -> otherScheme
//   not a link ("scheme:" missing, control characters, over kMaxLength bytes)
//                                        -> malformed

#include <cstddef>
#include <string>
#include <string_view>

#include "ui/PrefsTab.h"

namespace quorix::app {

enum class UrlRouteKind { checkForUpdates, preferences, unknownRoute, otherScheme, malformed };

struct UrlRoute {
    UrlRouteKind kind = UrlRouteKind::malformed;
    ui::PrefsTab tab = ui::PrefsTab::stats;  // for preferences
    std::string host;                        // as written in the link
    bool operator==(const UrlRoute&) const = default;
};

inline constexpr std::size_t kMaxUrlLength = 2048;

UrlRoute routeUrl(std::string_view url);

}  // namespace quorix::app
