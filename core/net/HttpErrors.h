#pragma once
// Errors of the "HttpClient" domain. Descriptions are fixed texts chosen by
// code: they never carry a URL, a query string or a header value.

#include "core/net/Error.h"
#include "core/net/HttpClient.h"

namespace quorix::net {

inline constexpr const char* kHttpErrorDomain = "HttpClient";

// The error for `code` with its standard description.
Error httpError(HttpErrorCode code);

// The error for a libcurl result code (CURLcode, passed as int so that callers
// need not include libcurl). CURLE_OK is not an error and must not be passed.
Error httpErrorFromCurl(int curlCode);

}  // namespace quorix::net
