#pragma once
// Shared by the AI client tests: a loopback server that speaks every
// provider's format through scripted handlers, and reply bodies.

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "core/ai/AIClient.h"
#include "tests/core/config/ConfigTestSupport.h"
#include "tests/core/net/LoopbackServer.h"

namespace quorix::testing {

using net::testing::RecordedRequest;
using net::testing::Scripted;

// One loopback server answering every provider path (and the cloud path).
class FakeProviders : public net::testing::LoopbackServer {
  public:
    AIEndpoints endpoints() const { return {base(), base(), base(), base()}; }
};

// Waits (at most 10 s) for the one completion of an AI call.
class Awaiter {
  public:
    CorrectionCompletion completion() {
        auto calls = calls_;
        auto promise = promise_;
        return [calls, promise](CorrectionResult r) {
            if (calls->fetch_add(1) == 0) {
                promise->set_value(std::move(r));
            }
        };
    }
    CorrectionResult get() {
        auto future = promise_->get_future();
        if (future.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            ADD_FAILURE() << "no completion within 10 s";
            return CorrectionResult::failure(Error{"test", -1, "timeout"});
        }
        return future.get();
    }
    int calls() const { return calls_->load(); }

  private:
    std::shared_ptr<std::atomic<int>> calls_ = std::make_shared<std::atomic<int>>(0);
    std::shared_ptr<std::promise<CorrectionResult>> promise_ =
        std::make_shared<std::promise<CorrectionResult>>();
};

// Reply bodies in each provider's format.
inline std::string openAIContent(const std::string& content) {
    nlohmann::json body;
    body["choices"][0]["message"] = {{"role", "assistant"}, {"content", content}};
    return body.dump();
}
inline std::string geminiText(const std::string& text) {
    nlohmann::json body;
    body["candidates"][0]["content"]["parts"][0]["text"] = text;
    body["candidates"][0]["content"]["role"] = "model";
    return body.dump();
}
inline std::string errorBody(const std::string& message) {
    return nlohmann::json{{"error", {{"message", message}, {"code", 429}}}}.dump();
}

}  // namespace quorix::testing
