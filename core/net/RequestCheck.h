#pragma once
// Checks done before a request reaches the network: the URL must be an
// absolute http or https URL with a host; the method must be an HTTP token;
// header names must be tokens and values must not contain CR, LF or NUL (a
// line break would let a value inject headers of its own).

#include <optional>

#include "core/net/Error.h"
#include "core/net/HttpClient.h"

namespace quorix::net {

// The refusal for `request`, or nothing when it may be sent.
std::optional<Error> checkRequest(const HttpRequest& request);

}  // namespace quorix::net
