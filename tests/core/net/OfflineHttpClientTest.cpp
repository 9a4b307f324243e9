#include "core/net/OfflineHttpClient.h"

#include <gtest/gtest.h>

namespace quorix::net {
namespace {

TEST(OfflineHttpClientTest, FailsEveryRequestInsideSend) {
    OfflineHttpClient client;
    std::optional<HttpResult> outcome;
    HttpRequest request;
    request.url = "https://example.invalid/path?key=secret";
    client.send(request, [&](HttpResult result) { outcome = std::move(result); });
    ASSERT_TRUE(outcome.has_value());
    ASSERT_TRUE(outcome->error.has_value());
    EXPECT_EQ(outcome->error->domain, "HttpClient");
    EXPECT_EQ(outcome->error->code, kHttpNotConnected);
    EXPECT_EQ(outcome->error->description.find("secret"), std::string::npos);
}

}  // namespace
}  // namespace quorix::net
