#pragma once
// A real HTTP server on 127.0.0.1 (ephemeral port) for HttpClient tests.
// Routes: /echo (body echoed; X-Echo-Method, X-Echo-Header = the X-Test value),
// /status/N, /bytes/N (with Content-Length), /chunked/N (compressed when
// accepted), /stall (answers at release()), /trickle/N (a byte every 20 ms,
// stops at release()). Every other POST is recorded and answered from a
// script keyed by path (unscripted paths: 404 with a JSON error). Handlers
// never block past release(), which the destructor calls.

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace quorix::net::testing {

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
    bool stall = false;  // holds the reply until release()
};

class LoopbackServer {
  public:
    using Handler = std::function<Scripted(const RecordedRequest&)>;

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
        for (int i = 0; i < 2000 && !server_.is_running(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    ~LoopbackServer() {
        release();
        server_.stop();
        thread_.join();
    }

    std::string url(const std::string& path) const { return base() + path; }
    std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }

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
        for (const auto& r : requests()) {
            out.push_back(r.path);
        }
        return out;
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
        server_.Post(R"(/.*)", [this](const httplib::Request& req, httplib::Response& res) {
            serveScripted(req, res);
        });
    }

    void serveScripted(const httplib::Request& req, httplib::Response& res) {
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
            changed_.wait(lock, [this] { return released_; });
        }
        res.status = s.status;
        res.set_content(s.body, "application/json");
    }

    httplib::Server server_;
    int port_ = -1;
    std::thread thread_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool released_ = false;
    int stalled_ = 0;
    std::set<int> remotePorts_;
    std::map<std::string, Handler> handlers_;
    std::vector<RecordedRequest> requests_;
};

}  // namespace quorix::net::testing
