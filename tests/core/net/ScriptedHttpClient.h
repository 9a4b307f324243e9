#pragma once
// An HttpClient that answers every request the same way: a response, a
// transport failure, or nothing until the held completions are released.
// Answers are delivered synchronously inside send(); requests are recorded.

#include <mutex>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/net/HttpClient.h"

namespace quorix::testing {

class ScriptedHttpClient final : public net::HttpClient {
  public:
    ~ScriptedHttpClient() override { releaseHeld(); }

    void send(net::HttpRequest request, Completion completion) override {
        net::HttpResult result;
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(request);
            if (mode_ == Mode::hold) {
                held_.push_back(std::move(completion));
                return;
            }
            if (mode_ == Mode::respond) {
                result.response = response_;
            } else {
                result.error = Error{"HttpClient", net::kHttpCannotConnect,
                                     "Could not connect to the server."};
            }
        }
        completion(std::move(result));
    }

    void answer(net::HttpResponse response) {
        std::lock_guard lock(mutex_);
        mode_ = Mode::respond;
        response_ = std::move(response);
    }
    // The cloud endpoint answers every request with this correction.
    void answerCorrected(const std::string& corrected) {
        answer({.status = 200,
                .headers = {},
                .body = nlohmann::json{{"correctedText", corrected}}.dump()});
    }
    void failAll() { setMode(Mode::fail); }
    void holdAll() { setMode(Mode::hold); }
    // Completes every held request with `result` (by default a cancellation).
    void releaseHeld(net::HttpResult result = cancelled()) {
        std::vector<Completion> held;
        {
            std::lock_guard lock(mutex_);
            held.swap(held_);
        }
        for (auto& completion : held) {
            completion(result);
        }
    }
    std::size_t heldCount() const {
        std::lock_guard lock(mutex_);
        return held_.size();
    }
    std::vector<net::HttpRequest> requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }

  private:
    enum class Mode { fail, respond, hold };
    static net::HttpResult cancelled() {
        net::HttpResult result;
        result.error = Error{"HttpClient", net::kHttpCancelled, "cancelled"};
        return result;
    }
    void setMode(Mode mode) {
        std::lock_guard lock(mutex_);
        mode_ = mode;
    }
    mutable std::mutex mutex_;
    Mode mode_ = Mode::fail;
    net::HttpResponse response_;
    std::vector<net::HttpRequest> requests_;
    std::vector<Completion> held_;
};

}  // namespace quorix::testing
