#include <gtest/gtest.h>

#include "core/net/HttpClient.h"

namespace quorix::net {
namespace {

TEST(HttpResponseTest, HeaderLookupIgnoresCaseAndTakesTheFirstMatch) {
    HttpResponse response;
    response.headers = {{"Content-Type", "text/plain"}, {"etag", "\"a\""}, {"ETag", "\"b\""}};
    EXPECT_EQ(response.header("ETag"), "\"a\"");
    EXPECT_EQ(response.header("ETAG"), "\"a\"");
    EXPECT_EQ(response.header("content-type"), "text/plain");
    EXPECT_EQ(response.header("Content-Typ"), std::nullopt);
    EXPECT_EQ(response.header(""), std::nullopt);
}

}  // namespace
}  // namespace quorix::net
