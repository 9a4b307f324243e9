#pragma once
// Shared by the AI client tests: a temporary configuration with a quiet
// logger, a virtual clock (elapsed times read "0.00"), and a loopback server
// that speaks every provider's format through scripted handlers.

#include <gtest/gtest.h>
#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/ai/AIClient.h"
#include "core/config/AppConfig.h"
#include "core/config/AppLogger.h"
#include "core/dispatch/VirtualClock.h"
#include "platform/sim/SimSystemEnvironment.h"
#include "platform/sim/SimWorkspace.h"
#include "tests/core/config/ConfigTestSupport.h"

namespace quorix::testing {

// Settings and logger of one test, in a folder of their own.
struct ConfigWorld {
    TempFolder folder;
    dispatch::VirtualClock clock{dispatch::WallTime{}, /*autoAdvance=*/false};
    platform::SimSystemEnvironment env{"/home/sim", {"it-IT"}};
    platform::SimWorkspace workspace{"/home/sim"};
    platform::MemoryFileSystem fs;
    AppLogger logger{folder.path(), fs, clock, nullptr, StorageMode::readOnly};
    AppConfig config{folder.path(), fs, logger, clock, workspace, env, StorageMode::readOnly};

    // Logged messages without their timestamp prefix, oldest first.
    std::vector<std::string> messages() const {
        std::vector<std::string> out;
        for (std::string line : logger.recentLines()) {
            line = line.substr(line.find("] ") == std::string::npos ? 0 : line.find("] ") + 2);
            out.push_back(line.substr(0, line.find_last_not_of('\n') + 1));
        }
        return out;
    }
    bool logged(const std::string& message) const {
        const auto all = messages();
        return std::find(all.begin(), all.end(), message) != all.end();
    }
};

struct RecordedRequest {
    std::string path;
    std::map<std::string, std::string> query;
    std::multimap<std::string, std::string, httplib::detail::ci> headers;
    std::string body;
    std::string header(const std::string& name) const {
        auto it = headers.find(name);
        return it == headers.end() ? std::string() : it->second;
    }
};

struct Scripted {
    int status = 200;
    std::string body;
    bool stall = false;  // holds the reply until the server stops
};

// One loopback server answering every provider path (and the cloud path)
// from a script keyed by path; unscripted paths answer 404 with a JSON error.
class FakeProviders {
  public:
    using Handler = std::function<Scripted(const RecordedRequest&)>;

    FakeProviders() {
        std::signal(SIGPIPE, SIG_IGN);
        server_.set_keep_alive_timeout(1);
        server_.Post(R"(/.*)", [this](const httplib::Request& req, httplib::Response& res) {
            serve(req, res);
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        for (int i = 0; i < 2000 && !server_.is_running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~FakeProviders() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        released_.notify_all();
        server_.stop();
        thread_.join();
    }

    std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }
    AIEndpoints endpoints() const { return {base(), base(), base(), base()}; }

    void on(const std::string& path, Handler handler) {
        std::lock_guard lock(mutex_);
        handlers_[path] = std::move(handler);
    }
    void reply(const std::string& path, int status, std::string body) {
        on(path, [status, body](const RecordedRequest&) { return Scripted{status, body}; });
    }
    std::vector<RecordedRequest> requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    std::vector<std::string> paths() const {
        std::vector<std::string> out;
        for (const auto& r : requests())
            out.push_back(r.path);
        return out;
    }

  private:
    void serve(const httplib::Request& req, httplib::Response& res) {
        RecordedRequest recorded{req.path, {}, {}, req.body};
        recorded.query.insert(req.params.begin(), req.params.end());
        recorded.headers.insert(req.headers.begin(), req.headers.end());
        Handler handler;
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(recorded);
            if (auto it = handlers_.find(req.path); it != handlers_.end()) {
                handler = it->second;
            }
        }
        Scripted s =
            handler ? handler(recorded) : Scripted{404, R"({"error":{"message":"not scripted"}})"};
        if (s.stall) {
            std::unique_lock lock(mutex_);
            released_.wait(lock, [this] { return stopping_; });
        }
        res.status = s.status;
        res.set_content(s.body, "application/json");
    }

    httplib::Server server_;
    int port_ = -1;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::condition_variable released_;
    bool stopping_ = false;
    std::map<std::string, Handler> handlers_;
    std::vector<RecordedRequest> requests_;
};

// Waits (at most 10 s) for the one completion of an AI call.
class Awaiter {
  public:
    CorrectionCompletion completion() {
        auto calls = calls_;
        auto promise = promise_;
        return [calls, promise](CorrectionResult r) {
            if (calls->fetch_add(1) == 0)
                promise->set_value(std::move(r));
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
