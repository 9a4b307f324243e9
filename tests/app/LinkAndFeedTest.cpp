// The pure parsers the shell trusts with outside input: quorix:// links, the
// single-instance request line and the update feed.
#include <gtest/gtest.h>

#include <string>

#include "app/InstanceRequest.h"
#include "app/UpdateFeed.h"
#include "app/UrlRoute.h"

namespace quorix::app {
namespace {

using ui::PrefsTab;
using K = UrlRouteKind;

TEST(UrlRoute, RoutesEveryLinkOfTheScheme) {
    const struct {
        const char* url;
        K kind;
        PrefsTab tab;
    } cases[] = {
        {"quorix://check-update", K::checkForUpdates, PrefsTab::stats},
        {"quorix://update", K::checkForUpdates, PrefsTab::stats},
        {"quorix://anything/check-update", K::checkForUpdates, PrefsTab::stats},
        {"quorix://settings/ai", K::preferences, PrefsTab::ai},
        {"quorix://preferences/updates/", K::preferences, PrefsTab::updates},
        {"quorix://settings//ai//", K::preferences, PrefsTab::ai},
        {"quorix://settings/", K::preferences, PrefsTab::stats},
        {"quorix://settings", K::preferences, PrefsTab::stats},
        {"quorix://settings/general", K::preferences, PrefsTab::stats},
        {"quorix://settings/ai?x=1#y", K::preferences, PrefsTab::ai},
        {"quorix://Settings/ai", K::unknownRoute, PrefsTab::stats},
        {"quorix://delete-everything", K::unknownRoute, PrefsTab::stats},
        {"quorix:", K::unknownRoute, PrefsTab::stats},
        {"Quorix://settings/ai", K::otherScheme, PrefsTab::stats},
        {"https://example.org/check-update", K::otherScheme, PrefsTab::stats},
        {"", K::malformed, PrefsTab::stats},
        {"settings/ai", K::malformed, PrefsTab::stats},
        {"://settings", K::malformed, PrefsTab::stats},
        {"quorix://settings/ai\n", K::malformed, PrefsTab::stats},
        {"1quorix://settings", K::malformed, PrefsTab::stats},
    };
    for (const auto& c : cases) {
        const UrlRoute route = routeUrl(c.url);
        EXPECT_EQ(route.kind, c.kind) << c.url;
        EXPECT_EQ(route.tab, c.tab) << c.url;
    }
    EXPECT_EQ(routeUrl("quorix://settings/" + std::string(kMaxUrlLength, 'a')).kind, K::malformed);
    EXPECT_EQ(routeUrl(std::string("quorix://set\0tings", 18)).kind, K::malformed);
}

TEST(InstanceRequest, DecodesOnlyOneWellFormedLine) {
    using Kind = InstanceRequest::Kind;
    EXPECT_EQ(decodeInstanceRequest("reopen\n"), (InstanceRequest{Kind::reopen, ""}));
    EXPECT_EQ(decodeInstanceRequest("open quorix://settings/ai\n"),
              (InstanceRequest{Kind::open, "quorix://settings/ai"}));
    EXPECT_EQ(decodeInstanceRequest("open quorix://è\n")->url, "quorix://è");
    const std::string refused[] = {
        "",
        "reopen",
        "reopen\n\n",
        "reopen\nopen x\n",
        "open \n",
        "open\n",
        "REOPEN\n",
        "quit\n",
        "open a\tb\n",
        "open a\rb\n",
        std::string("open a\0b\n", 9),
        "open \xff\xfe\n",
        "open \xc3\n",
        "open \xed\xa0\x80\n",
        "open \xe0\x80\xaf\n",
        "open " + std::string(kMaxInstanceRequestBytes, 'a') + "\n",
    };
    for (const auto& bytes : refused) {
        EXPECT_FALSE(decodeInstanceRequest(bytes)) << bytes;
    }
    for (const auto& request :
         {InstanceRequest{Kind::reopen, ""}, InstanceRequest{Kind::open, "quorix://update"}}) {
        EXPECT_EQ(decodeInstanceRequest(encodeInstanceRequest(request)), request);
    }
}

TEST(UpdateFeed, ComparesVersionsNumerically) {
    const struct {
        const char* a;
        const char* b;
        int order;
    } cases[] = {
        {"1.10", "1.9", 1},     {"1.2", "1.2.0", 0}, {"0.1.0", "0.1.1", -1},
        {"2", "1.99.99.99", 1}, {"007.1", "7.1", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(compareVersions(c.a, c.b), c.order) << c.a << " vs " << c.b;
    }
    for (const char* bad : {"", "1.", ".1", "1..2", "1.2.3.4.5", "v1.2", "1.2-beta", "../../",
                            "1.2 ", "-1", "1234567890", "1.2.3\n"}) {
        EXPECT_FALSE(parseVersion(bad)) << bad;
        EXPECT_FALSE(compareVersions(bad, "1.0")) << bad;
    }
}

TEST(UpdateFeed, RefusesHostileFeeds) {
    const auto good = parseUpdateFeed(R"({"version":"1.2.0","url":"https://example.org/q"})");
    ASSERT_TRUE(good.entry);
    EXPECT_EQ(good.entry->version, "1.2.0");
    EXPECT_EQ(good.entry->url, "https://example.org/q");
    const std::string hostile[] = {
        "",
        "not json",
        "[]",
        R"("1.2.0")",
        R"({"version":"1.2.0"})",
        R"({"version":1.2,"url":"https://example.org"})",
        R"({"version":"../../etc","url":"https://example.org"})",
        R"({"version":"1.2.0","url":"http://example.org/q"})",
        R"({"version":"1.2.0","url":"file:///bin/sh"})",
        R"({"version":"1.2.0","url":"https://"})",
        R"({"version":"1.2.0","url":"https://user:pw@example.org/"})",
        R"({"version":"1.2.0","url":"https://example.org/a b"})",
        R"({"version":"1.2.0","url":"https://example.org/\u0000"})",
        R"x({"version":"1.2.0","url":"javascript:alert(1)"})x",
        "{\"version\":\"1.2.0\",\"url\":\"https://example.org/\xff\"}",
        R"({"version":"1.2.0","url":"https://example.org/","pad":")" +
            std::string(kMaxFeedBytes, 'x') + "\"}",
        std::string(100000, '['),
    };
    for (const auto& body : hostile) {
        const auto result = parseUpdateFeed(body);
        EXPECT_FALSE(result.entry) << body.substr(0, 80);
        EXPECT_FALSE(result.error.empty()) << body.substr(0, 80);
    }
}

}  // namespace
}  // namespace quorix::app
