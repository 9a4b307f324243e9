#include "core/net/OfflineHttpClient.h"

#include "core/net/HttpErrors.h"

namespace quorix::net {

void OfflineHttpClient::send(HttpRequest /*request*/, Completion completion) {
    HttpResult result;
    result.error = httpError(kHttpNotConnected);
    completion(std::move(result));
}

}  // namespace quorix::net
