#pragma once
// Sends one request and waits (at most 10 s) for its completion.

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include "core/net/HttpClient.h"

namespace quorix::net::testing {

struct Awaited {
    HttpResult result;
    std::thread::id thread;  // where the completion ran
};

inline Awaited await(HttpClient& client, HttpRequest request) {
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

inline HttpRequest get(std::string url, dispatch::Duration timeout = dispatch::seconds(5)) {
    HttpRequest request;
    request.url = std::move(url);
    request.timeout = timeout;
    return request;
}

inline int64_t errorCode(const HttpResult& result) {
    return result.error ? result.error->code : 0;
}

}  // namespace quorix::net::testing
