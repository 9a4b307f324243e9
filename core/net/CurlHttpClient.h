#pragma once
// HttpClient over the libcurl multi interface. One worker thread drives every
// transfer of the client and runs every completion; one connection cache is
// shared by all requests (keep-alive). Responses are never cached, redirects
// are never followed, TLS peers are verified unless switched off.
//
// Time limits are real time: the request's idle time-out (no byte moved for
// that long, connecting included) and the client's optional total time-out
// per exchange, each measured with sub-second precision.
//
// Destruction stops the worker after completing every queued and in-flight
// request with kHttpCancelled. The client must not be destroyed from inside
// one of its own completions.

#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/dispatch/Clock.h"
#include "core/net/HttpClient.h"

namespace quorix::net {

class CurlTransfer;

struct CurlHttpClientOptions {
    // Limit on a whole exchange, from send() to the last byte; none when empty.
    std::optional<dispatch::Duration> totalTimeout;
    // Parallel connections to one host; further requests wait for a free one.
    long maxConnectionsPerHost = 6;
    bool verifyTls = true;
    // A larger body (after content decoding) fails with kHttpTooLarge; the
    // same bound applies separately to the response headers.
    std::size_t maxResponseBytes = std::size_t{4} << 20;
    // Sent as User-Agent unless empty or the request sets its own.
    std::string userAgent = "Quorix";
};

class CurlHttpClient final : public HttpClient {
  public:
    using Options = CurlHttpClientOptions;

    explicit CurlHttpClient(Options options = {});
    ~CurlHttpClient() override;
    CurlHttpClient(const CurlHttpClient&) = delete;
    CurlHttpClient& operator=(const CurlHttpClient&) = delete;

    void send(HttpRequest request, Completion completion) override;

  private:
    void run();

    const Options options_;
    void* multi_ = nullptr;  // CURLM*, used by the worker; wakeup from any thread

    std::mutex mutex_;
    std::vector<std::unique_ptr<CurlTransfer>> queued_;  // guarded by mutex_
    bool stopping_ = false;                              // guarded by mutex_

    std::thread worker_;
};

}  // namespace quorix::net
