// quorix:// links from other programs: any bytes route somewhere, and a
// preferences or update route comes only from the exact scheme.
#include "app/UrlRoute.h"
#include "core/text/Text.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace quorix;
    const std::string_view url = fuzz::asText(data, size);
    const app::UrlRoute route = app::routeUrl(url);
    if (route.kind == app::UrlRouteKind::checkForUpdates ||
        route.kind == app::UrlRouteKind::preferences ||
        route.kind == app::UrlRouteKind::unknownRoute) {
        FUZZ_CHECK(url.size() <= app::kMaxUrlLength && text::startsWith(url, "quorix:"));
    }
    FUZZ_CHECK(route.host.size() <= url.size());
    FUZZ_CHECK(app::routeUrl(url) == route);
    return 0;
}
