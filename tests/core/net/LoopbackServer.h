#pragma once
// A real HTTP server on 127.0.0.1 (ephemeral port) for HttpClient tests.
// Routes: /echo (body echoed; X-Echo-Method, X-Echo-Header = the X-Test value),
// /status/N, /bytes/N (with Content-Length), /chunked/N (compressed when
// accepted), /stall (answers at release()), /trickle/N (a byte every 20 ms,
// stops at release()). Handlers never block past release(), which the
// destructor calls.

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace quorix::net::testing {

class LoopbackServer {
  public:
    LoopbackServer() {
        // A handler writing to a socket the client closed must not kill the test.
        std::signal(SIGPIPE, SIG_IGN);
        server_.set_tcp_nodelay(true);  // no Nagle delay between header and body writes
        server_.set_keep_alive_max_count(1000);
        server_.set_keep_alive_timeout(1);
        server_.set_logger([this](const httplib::Request& req, const httplib::Response&) {
            std::lock_guard lock(mutex_);
            remotePorts_.insert(req.remote_port);
        });
        addRoutes();
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }

    ~LoopbackServer() {
        release();
        for (int i = 0; i < 2000 && !server_.is_running(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        server_.stop();
        thread_.join();
    }

    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }

    void release() {
        {
            std::lock_guard lock(mutex_);
            released_ = true;
        }
        changed_.notify_all();
    }

    // Blocks until `count` requests are stalled in /stall (false after 10 s).
    bool waitForStalled(int count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return stalled_ >= count; });
    }

    // Distinct client connections that carried at least one request.
    std::size_t connectionCount() {
        std::lock_guard lock(mutex_);
        return remotePorts_.size();
    }

  private:
    void addRoutes() {
        auto echo = [](const httplib::Request& req, httplib::Response& res) {
            res.set_header("X-Echo-Method", req.method);
            res.set_header("X-Echo-Header", req.get_header_value("X-Test"));
            res.set_content(req.body, "application/octet-stream");
        };
        server_.Get("/echo", echo);
        server_.Post("/echo", echo);
        server_.Get(R"(/status/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
            res.status = std::stoi(req.matches[1]);
            if (res.status != 304) {  // a 304 has no body
                res.set_content("status " + std::string(req.matches[1]), "text/plain");
            }
        });
        server_.Get(R"(/bytes/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content(std::string(std::stoul(req.matches[1]), 'b'),
                            "application/octet-stream");
        });
        server_.Get(R"(/chunked/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
            const auto size = std::stoul(req.matches[1]);
            res.set_chunked_content_provider("text/plain", [size](size_t, httplib::DataSink& sink) {
                const std::string data(size, 'c');
                sink.write(data.data(), data.size());
                sink.done();
                return true;
            });
        });
        server_.Get("/stall", [this](const httplib::Request&, httplib::Response& res) {
            std::unique_lock lock(mutex_);
            ++stalled_;
            changed_.notify_all();
            changed_.wait(lock, [this] { return released_; });
            res.set_content("late", "text/plain");
        });
        server_.Get(R"(/trickle/(\d+))", [this](const httplib::Request& req,
                                                httplib::Response& res) {
            const auto size = std::stoul(req.matches[1]);
            // Not a text type: the server would compress, and so buffer, it.
            res.set_chunked_content_provider(
                "application/octet-stream", [this, size](size_t offset, httplib::DataSink& sink) {
                    if (offset >= size) {
                        sink.done();
                        return true;
                    }
                    std::unique_lock lock(mutex_);
                    if (changed_.wait_for(lock, std::chrono::milliseconds(20),
                                          [this] { return released_; })) {
                        return false;
                    }
                    lock.unlock();
                    return sink.write("t", 1);
                });
        });
    }

    httplib::Server server_;
    int port_ = -1;
    std::thread thread_;

    std::mutex mutex_;
    std::condition_variable changed_;
    bool released_ = false;
    int stalled_ = 0;
    std::set<int> remotePorts_;
};

}  // namespace quorix::net::testing
