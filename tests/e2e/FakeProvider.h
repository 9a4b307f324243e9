#pragma once
// An OpenAI-compatible chat-completions server on 127.0.0.1:11434, where the
// program looks for a local model server. It answers from a table: the reply
// to a request is the corrected text of the first typed text the request
// contains; unknown texts come back unchanged (an "empty" correction).

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

namespace quorix::e2e {

class FakeProvider {
  public:
    static constexpr int kPort = 11434;

    FakeProvider();
    ~FakeProvider();
    FakeProvider(const FakeProvider&) = delete;
    FakeProvider& operator=(const FakeProvider&) = delete;

    // Whether it listens.
    bool ok() const { return listening_; }
    void answer(const std::string& typed, const std::string& corrected,
                std::chrono::milliseconds delay = std::chrono::milliseconds(0));
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
    std::atomic<int> requests_{0};
    bool listening_ = false;
};

}  // namespace quorix::e2e
