#pragma once
// One exchange of CurlHttpClient: the request, its completion, the libcurl
// easy handle configured for it and the response being received. Owned and
// touched by one thread at a time (the sender until queued, then the worker).

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "core/net/CurlHttpClient.h"
#include "core/net/HttpClient.h"

struct curl_slist;

namespace quorix::net {

class CurlTransfer {
  public:
    using SteadyTime = std::chrono::steady_clock::time_point;

    CurlTransfer(HttpRequest request, HttpClient::Completion completion,
                 const CurlHttpClientOptions& options);
    ~CurlTransfer();
    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    // False when libcurl could not allocate or configure the handle.
    bool valid() const { return easy_ != nullptr; }
    // The CURL* easy handle.
    void* easyHandle() const { return easy_; }

    // Whether the sender has abandoned the exchange.
    bool cancelled() const { return request_.cancellation && request_.cancellation->isCancelled(); }
    // Runs `wake` when the sender abandons the exchange, until destruction.
    void watchCancellation(std::function<void()> wake);

    // Starts the idle clock: called when the transfer enters the multi handle.
    void start(SteadyTime now);
    // The instant at which the idle time-out expires, if the request has one.
    std::optional<SteadyTime> idleDeadline() const;

    // Results. Each may be taken once; the completion is handed out with it.
    HttpResult finish(int curlCode);
    HttpResult fail(Error error);
    HttpClient::Completion takeCompletion() { return std::move(completion_); }

    // Receiving side, called from libcurl callbacks. False aborts the transfer.
    bool appendBody(const char* data, std::size_t size);
    bool appendHeaderLine(std::string_view line);
    void noteProgress(std::int64_t downloaded, std::int64_t uploaded);

  private:
    bool configure(const CurlHttpClientOptions& options);
    void touch();

    HttpRequest request_;
    std::optional<dispatch::Cancellation::Registration> cancelWatch_;
    HttpClient::Completion completion_;
    void* easy_ = nullptr;  // CURL*
    curl_slist* headers_ = nullptr;
    std::size_t maxBytes_ = 0;

    HttpResponse response_;
    std::size_t headerBytes_ = 0;
    bool tooLarge_ = false;
    SteadyTime lastActivity_{};
    std::int64_t downloaded_ = 0;
    std::int64_t uploaded_ = 0;
};

}  // namespace quorix::net
