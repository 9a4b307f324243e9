#include "core/net/CurlTransfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <climits>
#include <limits>
#include <string>

#include "core/net/HttpErrors.h"

namespace quorix::net {

namespace {

CURL* asEasy(void* handle) {
    return static_cast<CURL*>(handle);
}

// Whole milliseconds, rounded up, at least 1 (0 means "no limit" to libcurl).
long toMillis(dispatch::Duration d) {
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(d).count();
    return static_cast<long>(std::clamp<long long>(ms, 1, LONG_MAX));
}

long toWholeSeconds(dispatch::Duration d) {
    const auto s = std::chrono::ceil<std::chrono::seconds>(d).count();
    return static_cast<long>(std::clamp<long long>(s, 1, LONG_MAX));
}

std::string_view trim(std::string_view s) {
    constexpr std::string_view kSpace = " \t\r\n";
    const auto first = s.find_first_not_of(kSpace);
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(kSpace) - first + 1);
}

bool namesEqual(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
    const size_t bytes = size * count;
    return static_cast<CurlTransfer*>(user)->appendBody(data, bytes) ? bytes : 0;
}

size_t onHeader(char* data, size_t size, size_t count, void* user) {
    const size_t bytes = size * count;
    return static_cast<CurlTransfer*>(user)->appendHeaderLine({data, bytes}) ? bytes : 0;
}

int onProgress(void* user, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded) {
    static_cast<CurlTransfer*>(user)->noteProgress(downloaded, uploaded);
    return 0;
}

}  // namespace

CurlTransfer::CurlTransfer(HttpRequest request, HttpClient::Completion completion,
                           const CurlHttpClientOptions& options)
    : request_(std::move(request)),
      completion_(std::move(completion)),
      maxBytes_(options.maxResponseBytes) {
    easy_ = curl_easy_init();
    if (easy_ != nullptr && !configure(options)) {
        curl_easy_cleanup(asEasy(easy_));
        easy_ = nullptr;
    }
}

CurlTransfer::~CurlTransfer() {
    if (cancelWatch_) {
        request_.cancellation->remove(*cancelWatch_);
    }
    if (easy_ != nullptr) {
        curl_easy_cleanup(asEasy(easy_));
    }
    curl_slist_free_all(headers_);
}

void CurlTransfer::watchCancellation(std::function<void()> wake) {
    if (request_.cancellation && !cancelWatch_) {
        cancelWatch_ = request_.cancellation->onCancel(std::move(wake));
    }
}

bool CurlTransfer::configure(const CurlHttpClientOptions& options) {
    CURL* easy = asEasy(easy_);
    bool ok = true;
    auto set = [&](CURLoption option, auto value) {
        ok = ok && curl_easy_setopt(easy, option, value) == CURLE_OK;
    };

    set(CURLOPT_URL, request_.url.c_str());
    set(CURLOPT_PRIVATE, static_cast<void*>(this));
    set(CURLOPT_NOSIGNAL, 1L);
    set(CURLOPT_PROTOCOLS_STR, "http,https");
    set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    set(CURLOPT_FOLLOWLOCATION, 0L);
    // Loopback peers (the local model server, the project's own service) are
    // never reached through an environment proxy.
    set(CURLOPT_NOPROXY, "localhost,127.0.0.1,::1");
    set(CURLOPT_ACCEPT_ENCODING, "");  // every encoding libcurl can decode
    set(CURLOPT_SSL_VERIFYPEER, options.verifyTls ? 1L : 0L);
    set(CURLOPT_SSL_VERIFYHOST, options.verifyTls ? 2L : 0L);
    if (!options.userAgent.empty()) {
        set(CURLOPT_USERAGENT, options.userAgent.c_str());
    }

    set(CURLOPT_WRITEFUNCTION, &onBody);
    set(CURLOPT_WRITEDATA, static_cast<void*>(this));
    set(CURLOPT_HEADERFUNCTION, &onHeader);
    set(CURLOPT_HEADERDATA, static_cast<void*>(this));
    set(CURLOPT_NOPROGRESS, 0L);
    set(CURLOPT_XFERINFOFUNCTION, &onProgress);
    set(CURLOPT_XFERINFODATA, static_cast<void*>(this));
    set(CURLOPT_MAXFILESIZE_LARGE,
        static_cast<curl_off_t>(std::min<std::size_t>(
            maxBytes_, static_cast<std::size_t>(std::numeric_limits<curl_off_t>::max()))));

    // The worker enforces the idle limit precisely; libcurl's low-speed check
    // (whole seconds) is a backstop, and connecting may not take longer.
    if (request_.timeout > dispatch::Duration::zero()) {
        set(CURLOPT_CONNECTTIMEOUT_MS, toMillis(request_.timeout));
        set(CURLOPT_LOW_SPEED_LIMIT, 1L);
        set(CURLOPT_LOW_SPEED_TIME, toWholeSeconds(request_.timeout));
    }
    if (options.totalTimeout) {
        set(CURLOPT_TIMEOUT_MS, toMillis(*options.totalTimeout));
    }

    const std::string& method = request_.method;
    const bool hasBody = !request_.body.empty();
    if (method == "HEAD") {
        set(CURLOPT_NOBODY, 1L);
    } else if (method == "GET" && !hasBody) {
        set(CURLOPT_HTTPGET, 1L);
    } else {
        if (method != "POST") {
            set(CURLOPT_CUSTOMREQUEST, method.c_str());
        }
        if (hasBody || method == "POST" || method == "PUT" || method == "PATCH") {
            set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request_.body.size()));
            set(CURLOPT_POSTFIELDS, request_.body.data());
        }
    }

    bool hasExpect = false;
    for (const auto& [name, value] : request_.headers) {
        hasExpect = hasExpect || namesEqual(name, "Expect");
        // "Name;" is libcurl's spelling of a header with an empty value.
        const std::string line = value.empty() ? name + ";" : name + ": " + value;
        curl_slist* extended = curl_slist_append(headers_, line.c_str());
        if (extended == nullptr) {
            return false;
        }
        headers_ = extended;
    }
    if (!hasExpect) {
        // No "Expect: 100-continue" round trip before sending a body.
        curl_slist* extended = curl_slist_append(headers_, "Expect:");
        if (extended == nullptr) {
            return false;
        }
        headers_ = extended;
    }
    set(CURLOPT_HTTPHEADER, headers_);
    return ok;
}

void CurlTransfer::start(SteadyTime now) {
    lastActivity_ = now;
}

void CurlTransfer::touch() {
    lastActivity_ = std::chrono::steady_clock::now();
}

std::optional<CurlTransfer::SteadyTime> CurlTransfer::idleDeadline() const {
    if (request_.timeout <= dispatch::Duration::zero()) {
        return std::nullopt;
    }
    const auto idle = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::min(request_.timeout, dispatch::Duration(std::chrono::hours(24 * 365))));
    return lastActivity_ + idle;
}

HttpResult CurlTransfer::finish(int curlCode) {
    if (tooLarge_) {
        return fail(httpError(kHttpTooLarge));
    }
    if (curlCode != CURLE_OK) {
        return fail(httpErrorFromCurl(curlCode));
    }
    long status = 0;
    curl_easy_getinfo(asEasy(easy_), CURLINFO_RESPONSE_CODE, &status);
    HttpResult result;
    response_.status = static_cast<int>(status);
    result.response = std::move(response_);
    return result;
}

HttpResult CurlTransfer::fail(Error error) {
    HttpResult result;
    result.error = std::move(error);
    return result;
}

bool CurlTransfer::appendBody(const char* data, std::size_t size) {
    touch();
    if (size > maxBytes_ - std::min(maxBytes_, response_.body.size())) {
        tooLarge_ = true;
        return false;
    }
    response_.body.append(data, size);
    return true;
}

bool CurlTransfer::appendHeaderLine(std::string_view line) {
    touch();
    headerBytes_ += line.size();
    if (headerBytes_ > maxBytes_) {
        tooLarge_ = true;
        return false;
    }
    if (line.starts_with("HTTP/")) {
        // A new status line: only the headers of the last response are kept
        // (an interim 1xx response precedes the final one).
        response_.headers.clear();
        return true;
    }
    if (!line.empty() && (line.front() == ' ' || line.front() == '\t')) {
        // Obsolete line folding continues the previous value.
        const auto more = trim(line);
        if (!response_.headers.empty() && !more.empty()) {
            auto& value = response_.headers.back().second;
            value += value.empty() ? "" : " ";
            value += more;
        }
        return true;
    }
    const auto colon = line.find(':');
    if (colon == std::string_view::npos) {
        return true;  // the blank line ending the header block, or noise
    }
    const auto name = trim(line.substr(0, colon));
    if (!name.empty()) {
        response_.headers.emplace_back(std::string(name),
                                       std::string(trim(line.substr(colon + 1))));
    }
    return true;
}

void CurlTransfer::noteProgress(std::int64_t downloaded, std::int64_t uploaded) {
    if (downloaded != downloaded_ || uploaded != uploaded_) {
        downloaded_ = downloaded;
        uploaded_ = uploaded;
        touch();
    }
}

}  // namespace quorix::net
