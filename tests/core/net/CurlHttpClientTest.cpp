// CurlHttpClient against a loopback server: exchanges, concurrency, shutdown,
// refusals, time and size limits, and what failure descriptions may reveal.
#include "core/net/CurlHttpClient.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <vector>

#include "LoopbackServer.h"
#include "core/net/OfflineHttpClient.h"

namespace quorix::net {
namespace {

using testing::LoopbackServer;

constexpr const char* kSecret = "SECRET-KEY-123";

struct Awaited {
    HttpResult result;
    std::thread::id thread;  // where the completion ran
};

// Sends one request and waits (at most 10 s) for its completion.
Awaited await(HttpClient& client, HttpRequest request) {
    auto promise = std::make_shared<std::promise<Awaited>>();
    auto future = promise->get_future();
    client.send(std::move(request), [promise](HttpResult result) {
        promise->set_value({std::move(result), std::this_thread::get_id()});
    });
    if (future.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        ADD_FAILURE() << "no completion within 10 s";
        return {};
    }
    return future.get();
}

HttpRequest get(std::string url, dispatch::Duration timeout = dispatch::seconds(5)) {
    HttpRequest request;
    request.url = std::move(url);
    request.timeout = timeout;
    return request;
}

int64_t errorCode(const HttpResult& result) {
    return result.error ? result.error->code : 0;
}

void expectNothingOfTheUrl(const HttpResult& result) {
    ASSERT_TRUE(result.error.has_value());
    const std::string& description = result.error->description;
    EXPECT_FALSE(description.empty());
    for (const char* fragment : {kSecret, "key=", "v1beta", "generateContent", "Bearer"}) {
        EXPECT_EQ(description.find(fragment), std::string::npos) << description;
    }
}

class CurlHttpClientTest : public ::testing::Test {
  protected:
    LoopbackServer server;  // outlives every client below
};

TEST_F(CurlHttpClientTest, RoundTripsOffTheCallerThreadOnOneConnection) {
    CurlHttpClient client;
    HttpRequest request = get(server.url("/echo"));
    request.method = "POST";
    request.headers = {{"X-Test", "hello there"}, {"Content-Type", "application/json"}};
    for (int i = 0; i < 1024; ++i) {
        request.body.push_back(static_cast<char>(i % 256));
    }
    const auto done = await(client, request);
    ASSERT_TRUE(done.result.ok()) << done.result.error->description;
    EXPECT_NE(done.thread, std::this_thread::get_id());
    const HttpResponse& response = done.result.response;
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(response.body, request.body);
    EXPECT_EQ(response.header("x-echo-method"), "POST");  // header names ignore case
    EXPECT_EQ(response.header("X-ECHO-HEADER"), "hello there");

    // A completion may send the next request; the connection is reused.
    std::promise<HttpResult> second;
    client.send(get(server.url("/echo")), [&](HttpResult) {
        client.send(get(server.url("/echo")), [&](HttpResult r) { second.set_value(r); });
    });
    auto future = second.get_future();
    ASSERT_EQ(future.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_TRUE(future.get().ok());
    EXPECT_EQ(server.connectionCount(), 1u);

    for (int status : {304, 503}) {  // error statuses are responses, not failures
        const auto result =
            await(client, get(server.url("/status/" + std::to_string(status)))).result;
        ASSERT_TRUE(result.ok()) << status << ": " << result.error->description;
        EXPECT_EQ(result.response.status, status);
    }
}

TEST_F(CurlHttpClientTest, ManyConcurrentRequestsCompleteExactlyOnceWithTheirOwnReply) {
    constexpr int kThreads = 5;
    constexpr int kTotal = kThreads * 10;
    std::atomic<int> mismatches{0};
    std::atomic<int> completed{0};
    std::promise<void> allDone;
    auto future = allDone.get_future();
    {
        CurlHttpClient client;
        std::vector<std::thread> senders;
        for (int t = 0; t < kThreads; ++t) {
            senders.emplace_back([&, t] {
                for (int i = t; i < kTotal; i += kThreads) {
                    HttpRequest request = get(server.url("/echo"));
                    request.method = "POST";
                    request.body = "request " + std::to_string(i);
                    client.send(request, [&, body = request.body](HttpResult result) {
                        mismatches += !result.ok() || result.response.body != body;
                        if (++completed == kTotal) {
                            allDone.set_value();
                        }
                    });
                }
            });
        }
        for (auto& sender : senders) {
            sender.join();
        }
        ASSERT_EQ(future.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    }  // the destructor must not complete anything a second time
    EXPECT_EQ(completed.load(), kTotal);
    EXPECT_EQ(mismatches.load(), 0);
}

TEST_F(CurlHttpClientTest, DestructionCancelsInFlightAndQueuedRequestsOnce) {
    constexpr int kRequests = 5;
    std::vector<std::atomic<int>> cancelled(kRequests);
    std::atomic<int> otherOutcomes{0};
    std::optional<HttpResult> resent;
    {
        CurlHttpClient::Options options;
        options.maxConnectionsPerHost = 2;  // three requests wait for a connection
        CurlHttpClient client(options);
        for (int i = 0; i < kRequests; ++i) {
            client.send(get(server.url("/stall")), [&, i](HttpResult result) {
                (errorCode(result) == kHttpCancelled ? cancelled[i] : otherOutcomes).fetch_add(1);
                if (i == 0) {
                    // Sending from a completion during shutdown is refused at once.
                    client.send(get(server.url("/echo")),
                                [&](HttpResult again) { resent = again; });
                }
            });
        }
        ASSERT_TRUE(server.waitForStalled(2));
    }
    EXPECT_EQ(otherOutcomes.load(), 0);
    for (const auto& count : cancelled) {
        EXPECT_EQ(count.load(), 1);
    }
    ASSERT_TRUE(resent.has_value());
    EXPECT_EQ(errorCode(*resent), kHttpCancelled);
}

TEST_F(CurlHttpClientTest, MalformedRequestsAreRefusedInsideSend) {
    CurlHttpClient client;
    auto refusal = [](HttpClient& sender, HttpRequest request) {
        std::optional<HttpResult> outcome;
        sender.send(std::move(request), [&](HttpResult result) { outcome = std::move(result); });
        EXPECT_TRUE(outcome.has_value()) << "completion must run inside send()";
        return outcome.value_or(HttpResult{});
    };
    for (const char* url : {"", "file:///etc/passwd", "http://", "http://exa mple.com/"}) {
        EXPECT_EQ(errorCode(refusal(client, get(url))), kHttpBadURL) << url;
    }

    HttpRequest injected = get(server.url("/echo"));
    injected.headers = {{"X-Test", std::string("a\r\nX-Injected: ") + kSecret}};
    const auto result = refusal(client, injected);
    EXPECT_EQ(errorCode(result), kHttpOther);
    expectNothingOfTheUrl(result);

    HttpRequest badMethod = get(server.url("/echo"));
    badMethod.method = "GET /other HTTP/1.1\r\n";
    EXPECT_EQ(errorCode(refusal(client, badMethod)), kHttpOther);

    OfflineHttpClient offline;  // fails every request the same way
    const auto unsent = refusal(offline, get(server.url("/v1beta?key=") + kSecret));
    EXPECT_EQ(errorCode(unsent), kHttpNotConnected);
    expectNothingOfTheUrl(unsent);
}

TEST_F(CurlHttpClientTest, RefusedConnectionIsReportedWithoutTheUrl) {
    std::string closed;  // a loopback port nobody listens on any more
    {
        LoopbackServer gone;
        closed = gone.url("/v1beta/models/m:generateContent?key=") + kSecret;
    }
    CurlHttpClient client;
    const auto result = await(client, get(closed)).result;
    EXPECT_EQ(errorCode(result), kHttpCannotConnect);
    expectNothingOfTheUrl(result);
}

TEST_F(CurlHttpClientTest, IdleAndTotalTimeouts) {
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

    // The total limit bounds an exchange that keeps moving: 100 bytes would take 2 s.
    CurlHttpClient::Options options;
    options.totalTimeout = dispatch::seconds(0.15);
    CurlHttpClient bounded(options);
    const auto result = await(bounded, get(server.url("/trickle/100?key=") + kSecret)).result;
    EXPECT_EQ(errorCode(result), kHttpTimedOut);
    expectNothingOfTheUrl(result);
}

TEST_F(CurlHttpClientTest, BodiesBeyondTheLimitFailWhetherLengthIsKnownOrNot) {
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
    EXPECT_TRUE(await(client, get(server.url("/echo"))).result.ok()) << "still usable";
}

}  // namespace
}  // namespace quorix::net
