// The update feed as any server may publish it: an accepted entry has a valid
// version and an https:// link without white space or credentials, and
// version comparison is a consistent order.
#include "app/UpdateFeed.h"
#include "core/text/Text.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace quorix;
    const std::string_view body = fuzz::asText(data, size);
    const app::UpdateFeedResult feed = app::parseUpdateFeed(body);
    FUZZ_CHECK(feed.entry.has_value() == feed.error.empty());
    if (feed.entry) {
        FUZZ_CHECK(app::parseVersion(feed.entry->version).has_value());
        const std::string& url = feed.entry->url;
        FUZZ_CHECK(text::startsWith(url, "https://"));
        FUZZ_CHECK(url.find_first_of(" \t\r\n") == std::string::npos);
        FUZZ_CHECK(app::compareVersions(feed.entry->version, feed.entry->version) == 0);
    }
    const auto parts = fuzz::splitInput(data, size, 2);
    const auto forward = app::compareVersions(parts[0], parts[1]);
    const auto backward = app::compareVersions(parts[1], parts[0]);
    FUZZ_CHECK(forward.has_value() == backward.has_value());
    if (forward) {
        FUZZ_CHECK((*forward < 0) == (*backward > 0) && (*forward == 0) == (*backward == 0));
    }
    return 0;
}
