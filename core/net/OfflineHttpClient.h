#pragma once
// An HttpClient without a network: every request fails at once, inside
// send(), with kHttpNotConnected.

#include "core/net/HttpClient.h"

namespace quorix::net {

class OfflineHttpClient final : public HttpClient {
  public:
    void send(HttpRequest request, Completion completion) override;
};

}  // namespace quorix::net
