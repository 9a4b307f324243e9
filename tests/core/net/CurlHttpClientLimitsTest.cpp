// Failures of CurlHttpClient: refusals, time limits, size limit, unreachable
// peers, and what their descriptions may reveal.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "Await.h"
#include "LoopbackServer.h"
#include "core/net/CurlHttpClient.h"

namespace quorix::net {
namespace {

using testing::await;
using testing::errorCode;
using testing::get;
using testing::LoopbackServer;

constexpr const char* kSecret = "SECRET-KEY-123";

// A port bound on 127.0.0.1 but not listening: connecting is refused.
class RefusingPort {
  public:
    RefusingPort() : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&address), length);
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~RefusingPort() { ::close(fd_); }
    int port() const { return port_; }

  private:
    int fd_;
    int port_ = 0;
};

void expectNothingOfTheUrl(const HttpResult& result) {
    ASSERT_TRUE(result.error.has_value());
    const std::string& description = result.error->description;
    EXPECT_FALSE(description.empty());
    for (const char* fragment : {kSecret, "key=", "v1beta", "generateContent", "Bearer"}) {
        EXPECT_EQ(description.find(fragment), std::string::npos) << description;
    }
}

class CurlHttpClientLimitsTest : public ::testing::Test {
  protected:
    LoopbackServer server;
};

TEST_F(CurlHttpClientLimitsTest, MalformedRequestsAreRefusedInsideSend) {
    CurlHttpClient client;
    auto refusal = [&](HttpRequest request) {
        std::optional<HttpResult> outcome;
        client.send(std::move(request), [&](HttpResult result) { outcome = std::move(result); });
        EXPECT_TRUE(outcome.has_value()) << "completion must run inside send()";
        return outcome.value_or(HttpResult{});
    };
    for (const char* url : {"", "not a url", "ftp://127.0.0.1/file", "file:///etc/passwd",
                            "http://", "127.0.0.1:80/path", "http://exa mple.com/"}) {
        const auto result = refusal(get(url));
        EXPECT_EQ(errorCode(result), kHttpBadURL) << url;
        EXPECT_EQ(result.error.value_or(Error{}).domain, "HttpClient");
    }

    HttpRequest injected = get(server.url("/echo"));
    injected.headers = {{"X-Test", std::string("a\r\nX-Injected: ") + kSecret}};
    const auto result = refusal(injected);
    EXPECT_EQ(errorCode(result), kHttpOther);
    expectNothingOfTheUrl(result);

    HttpRequest badMethod = get(server.url("/echo"));
    badMethod.method = "GET /other HTTP/1.1\r\n";
    EXPECT_EQ(errorCode(refusal(badMethod)), kHttpOther);
}

TEST_F(CurlHttpClientLimitsTest, RefusedConnectionIsReportedWithoutTheUrl) {
    RefusingPort refusing;
    CurlHttpClient client;
    const auto result = await(client, get("http://127.0.0.1:" + std::to_string(refusing.port()) +
                                          "/v1beta/models/m:generateContent?key=" + kSecret))
                            .result;
    EXPECT_EQ(errorCode(result), kHttpCannotConnect);
    expectNothingOfTheUrl(result);
}

TEST_F(CurlHttpClientLimitsTest, IdleTimeoutFiresOnSilenceButNotWhileBytesFlow) {
    CurlHttpClient client;
    const auto idle = dispatch::seconds(0.3);

    const auto stalled = await(client, get(server.url("/stall?key=") + kSecret, idle)).result;
    EXPECT_EQ(errorCode(stalled), kHttpTimedOut);
    expectNothingOfTheUrl(stalled);

    // 30 bytes, 20 ms apart: 600 ms in all, twice the idle limit, yet never
    // 300 ms without a byte (wide margins: sanitizers slow the server down).
    const auto trickled = await(client, get(server.url("/trickle/30"), idle)).result;
    ASSERT_TRUE(trickled.ok()) << trickled.error->description;
    EXPECT_EQ(trickled.response.body, std::string(30, 't'));
}

TEST_F(CurlHttpClientLimitsTest, TotalTimeoutBoundsAnExchangeThatKeepsMoving) {
    CurlHttpClient::Options options;
    options.totalTimeout = dispatch::seconds(0.15);
    CurlHttpClient client(options);
    // 100 bytes, 20 ms apart, would take 2 s.
    const auto result = await(client, get(server.url("/trickle/100?key=") + kSecret)).result;
    EXPECT_EQ(errorCode(result), kHttpTimedOut);
    expectNothingOfTheUrl(result);
}

TEST_F(CurlHttpClientLimitsTest, BodiesBeyondTheLimitFailWhetherLengthIsKnownOrNot) {
    CurlHttpClient::Options options;
    options.maxResponseBytes = 1024;
    CurlHttpClient client(options);

    const auto atLimit = await(client, get(server.url("/bytes/1024"))).result;
    ASSERT_TRUE(atLimit.ok());
    EXPECT_EQ(atLimit.response.body.size(), 1024u);

    for (const char* path : {"/bytes/4096", "/chunked/4096"}) {
        const auto result = await(client, get(server.url(path))).result;
        EXPECT_EQ(errorCode(result), kHttpTooLarge) << path;
    }
    // The client stays usable.
    EXPECT_TRUE(await(client, get(server.url("/echo"))).result.ok());
}

}  // namespace
}  // namespace quorix::net
