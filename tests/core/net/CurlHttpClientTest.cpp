#include "core/net/CurlHttpClient.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <vector>

#include "Await.h"
#include "LoopbackServer.h"

namespace quorix::net {
namespace {

using testing::await;
using testing::errorCode;
using testing::get;
using testing::LoopbackServer;

class CurlHttpClientTest : public ::testing::Test {
  protected:
    LoopbackServer server;  // outlives every client below
};

TEST_F(CurlHttpClientTest, RoundTripsMethodHeadersAndBodyOffTheCallerThread) {
    CurlHttpClient client;
    HttpRequest request = get(server.url("/echo"));
    request.method = "POST";
    request.headers = {{"X-Test", "hello there"}, {"Content-Type", "application/json"}};
    request.body = R"({"text":"ciao"})";

    const auto done = await(client, request);
    ASSERT_TRUE(done.result.ok()) << done.result.error->description;
    EXPECT_NE(done.thread, std::this_thread::get_id());
    const HttpResponse& response = done.result.response;
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(response.body, request.body);
    EXPECT_EQ(response.header("x-echo-method"), "POST");
    EXPECT_EQ(response.header("X-ECHO-HEADER"), "hello there");

    const auto etag = await(client, get(server.url("/etag"))).result;
    EXPECT_EQ(etag.response.header("ETag"), "\"v1\"");
    EXPECT_EQ(etag.response.header("Etag"), "\"v1\"");
}

TEST_F(CurlHttpClientTest, ErrorStatusesAreResponses) {
    CurlHttpClient client;
    for (int status : {304, 404, 503}) {
        const auto result =
            await(client, get(server.url("/status/" + std::to_string(status)))).result;
        ASSERT_TRUE(result.ok()) << status << ": " << result.error->description;
        EXPECT_EQ(result.response.status, status);
    }
}

TEST_F(CurlHttpClientTest, BinaryBodiesSurviveByteForByte) {
    CurlHttpClient client;
    HttpRequest request = get(server.url("/echo"));
    request.method = "POST";
    for (int i = 0; i < 1024; ++i) {
        request.body.push_back(static_cast<char>(i % 256));
    }
    const auto result = await(client, request).result;
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.response.body, request.body);
}

TEST_F(CurlHttpClientTest, ChainedRequestsReuseOneConnection) {
    CurlHttpClient client;
    constexpr int kRequests = 10;
    std::mutex mutex;
    std::condition_variable finished;
    int completed = 0;
    bool allOk = true;
    // Each completion sends the next request from the worker thread.
    std::function<void(HttpResult)> next = [&](HttpResult result) {
        std::lock_guard lock(mutex);
        allOk = allOk && result.ok() && result.response.status == 200;
        if (++completed < kRequests) {
            client.send(get(server.url("/echo")), next);
        }
        finished.notify_all();
    };
    client.send(get(server.url("/echo")), next);

    std::unique_lock lock(mutex);
    ASSERT_TRUE(
        finished.wait_for(lock, std::chrono::seconds(10), [&] { return completed == kRequests; }));
    EXPECT_TRUE(allOk);
    EXPECT_EQ(server.connectionCount(), 1u);
}

TEST_F(CurlHttpClientTest, ManyConcurrentRequestsCompleteExactlyOnceWithTheirOwnReply) {
    constexpr int kThreads = 5;
    constexpr int kPerThread = 10;
    std::vector<std::atomic<int>> calls(kThreads * kPerThread);
    std::atomic<int> mismatches{0};
    std::mutex mutex;
    std::condition_variable finished;
    int completed = 0;
    {
        CurlHttpClient client;
        std::vector<std::thread> senders;
        for (int t = 0; t < kThreads; ++t) {
            senders.emplace_back([&, t] {
                for (int i = t * kPerThread; i < (t + 1) * kPerThread; ++i) {
                    HttpRequest request = get(server.url("/echo"));
                    request.method = "POST";
                    request.body = "request " + std::to_string(i);
                    client.send(request, [&, i, body = request.body](HttpResult result) {
                        calls[i].fetch_add(1);
                        if (!result.ok() || result.response.body != body) {
                            mismatches.fetch_add(1);
                        }
                        std::lock_guard lock(mutex);
                        ++completed;
                        finished.notify_all();
                    });
                }
            });
        }
        for (auto& sender : senders) {
            sender.join();
        }
        std::unique_lock lock(mutex);
        ASSERT_TRUE(finished.wait_for(lock, std::chrono::seconds(20),
                                      [&] { return completed == kThreads * kPerThread; }));
    }  // the destructor must not complete anything a second time
    EXPECT_EQ(mismatches.load(), 0);
    for (const auto& count : calls) {
        EXPECT_EQ(count.load(), 1);
    }
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

}  // namespace
}  // namespace quorix::net
