#pragma once
// A loopback web server for the browser tests. It serves a chat page
// (chat.html) with a single-line input, a textarea and a contenteditable area;
// Return (without Shift) in any of them posts the field's text back here and
// empties the field. It also records every navigation to /nav, which is where the tests
// point the address bar.

#include <chrono>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
}

namespace quorix::e2e {

class ChatPageServer {
  public:
    struct Message {
        std::string field;  // "input", "textarea" or "editable"
        std::string text;
        bool operator==(const Message&) const = default;
        friend std::ostream& operator<<(std::ostream& out, const Message& m) {
            return out << m.field << ": \"" << m.text << "\"";
        }
    };

    // Listens on 127.0.0.1 on a free port.
    ChatPageServer();
    ~ChatPageServer();
    ChatPageServer(const ChatPageServer&) = delete;
    ChatPageServer& operator=(const ChatPageServer&) = delete;

    bool ok() const { return port_ > 0; }
    // The page with the caret in field ("input", "textarea" or "editable").
    std::string pageUrl(const std::string& field = "input") const;
    // An address under /nav; navigations to it are recorded with their q.
    std::string navigationUrl(const std::string& query) const;

    std::vector<Message> messages() const;
    // The q of every navigation to /nav, in order.
    std::vector<std::string> navigations() const;
    // How many times the page's script ran and put the caret in its field.
    int pageLoads() const;
    bool waitForMessages(std::size_t count,
                         std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;

  private:
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = -1;
    mutable std::mutex mutex_;
    std::vector<Message> messages_;
    std::vector<std::string> navigations_;
    int pageLoads_ = 0;
};

}  // namespace quorix::e2e
