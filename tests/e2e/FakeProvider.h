#pragma once
// A correction service on 127.0.0.1 (a free port): it answers both the
// product's cloud correction endpoint (url()) and the OpenAI-compatible
// chat-completions path, from a table: the reply to a request is the
// corrected text of the first typed text the request contains; unknown texts
// come back unchanged (an "empty" correction). A fault set with failNext()
// replaces the next answer.

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

namespace quorix::e2e {

class FakeProvider {
  public:
    enum class Fault {
        stall,            // answers after `delay` (past the program's limit)
        garbage,          // 200 with a body that is not JSON
        tooManyRequests,  // 429
        serverError,      // 500
        closeMidBody,     // announces a body, sends half of it and hangs up
        slow,             // answers correctly after `delay`
    };

    FakeProvider();
    ~FakeProvider();
    FakeProvider(const FakeProvider&) = delete;
    FakeProvider& operator=(const FakeProvider&) = delete;

    // Whether it listens.
    bool ok() const { return port_ > 0; }
    // The cloud correction endpoint it serves.
    std::string url() const;
    void answer(const std::string& typed, const std::string& corrected,
                std::chrono::milliseconds delay = std::chrono::milliseconds(0));
    // The next request gets this fault instead of its answer.
    void failNext(Fault fault, std::chrono::milliseconds delay = std::chrono::milliseconds(0));
    int requests() const { return requests_; }

  private:
    struct Reply {
        std::string corrected;
        std::chrono::milliseconds delay;
    };
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    std::mutex mutex_;
    std::map<std::string, Reply> replies_;
    std::optional<std::pair<Fault, std::chrono::milliseconds>> fault_;
    std::atomic<int> requests_{0};
    int port_ = -1;
};

}  // namespace quorix::e2e
