#pragma once
// Asynchronous HTTP client port. Implementations: CurlHttpClient (libcurl) and
// OfflineHttpClient (every request fails at once). Tests may supply fakes.
//
// Contract:
// - send() never blocks on the network and calls `completion` exactly once:
//   on the client's own callback thread, or synchronously inside send() when
//   the request is refused before any I/O (bad URL, client shut down).
// - A transport failure (refused, time-out, TLS, cancelled) yields `error`
//   with domain "HttpClient"; any HTTP status, 4xx/5xx included, is a response.
// - Error descriptions never echo the URL's query string or header values.
// - A request whose cancellation is cancelled (before or during the exchange)
//   completes promptly with kHttpCancelled; clients that cannot stop an
//   exchange may complete it normally instead.
//
// Why this port lives in core/net and not beside the others in platform/: its
// contract is made of core value types (dispatch::Duration, net::Error), and
// its production implementation, libcurl, builds on every platform the program
// targets, so no adapter folder has to provide one. A platform that prefers its
// own transport implements this interface in its adapter folder; nothing in
// core changes.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/dispatch/Cancellation.h"
#include "core/dispatch/Clock.h"
#include "core/net/Error.h"

namespace quorix::net {

using Headers = std::vector<std::pair<std::string, std::string>>;

struct HttpRequest {
    std::string method = "GET";
    std::string url;
    Headers headers;
    std::string body;
    // Idle time-out: the exchange fails when no byte moves for this long.
    // Zero or negative: no idle limit (the client's total limit still applies).
    dispatch::Duration timeout = dispatch::seconds(60);
    // Lets the sender abandon the exchange; none when empty.
    std::shared_ptr<dispatch::Cancellation> cancellation;
};

struct HttpResponse {
    int status = 0;
    Headers headers;  // in arrival order, names as sent by the server
    std::string body;
    // First header with this name, compared case-insensitively.
    std::optional<std::string> header(std::string_view name) const;
};

struct HttpResult {
    std::optional<Error> error;  // set on transport failure
    HttpResponse response;       // meaningful only when !error
    bool ok() const { return !error.has_value(); }
};

// Transport error codes (domain "HttpClient"), after the platform's URL errors.
enum HttpErrorCode : int {
    kHttpCancelled = -999,
    kHttpBadURL = -1000,
    kHttpTimedOut = -1001,
    kHttpCannotFindHost = -1003,
    kHttpCannotConnect = -1004,
    kHttpConnectionLost = -1005,
    kHttpNotConnected = -1009,
    kHttpBadServerResponse = -1011,
    kHttpTooLarge = -1103,
    kHttpTLSFailed = -1200,
    kHttpOther = -1,
};

class HttpClient {
  public:
    using Completion = std::function<void(HttpResult)>;
    virtual ~HttpClient() = default;
    virtual void send(HttpRequest request, Completion completion) = 0;
};

}  // namespace quorix::net
