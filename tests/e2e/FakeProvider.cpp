#include "FakeProvider.h"

#include <httplib.h>

#include <nlohmann/json.hpp>

namespace quorix::e2e {

namespace {

constexpr const char* kCloudPath = "/v1/correct";
constexpr const char* kChatPath = "/v1/chat/completions";

}  // namespace

FakeProvider::FakeProvider() : server_(std::make_unique<httplib::Server>()) {
    const auto handle = [this](const httplib::Request& request, httplib::Response& response) {
        ++requests_;
        std::string content;
        std::chrono::milliseconds delay{0};
        std::optional<std::pair<Fault, std::chrono::milliseconds>> fault;
        {
            std::lock_guard lock(mutex_);
            fault.swap(fault_);
            for (const auto& [typed, reply] : replies_) {
                if (request.body.find(typed) != std::string::npos) {
                    content = reply.corrected;
                    delay = reply.delay;
                    break;
                }
            }
        }
        nlohmann::json body;
        if (request.path == kCloudPath) {
            body = {{"correctedText", content}};
        } else {
            body = {{"choices",
                     {{{"index", 0}, {"message", {{"role", "assistant"}, {"content", content}}}}}}};
        }
        if (fault && (fault->first == Fault::stall || fault->first == Fault::slow)) {
            delay = fault->second;
        }
        std::this_thread::sleep_for(delay);
        switch (fault ? fault->first : Fault::slow) {
            case Fault::garbage:
                response.set_content("<html>502 Bad Gateway</html>\x01\xff", "application/json");
                return;
            case Fault::tooManyRequests:
                response.status = 429;
                response.set_content(R"({"error":"rate limited"})", "application/json");
                return;
            case Fault::serverError:
                response.status = 500;
                response.set_content("internal error", "text/plain");
                return;
            case Fault::closeMidBody: {
                const std::string full = body.dump();
                response.set_content_provider(
                    full.size(), "application/json",
                    [half = full.substr(0, full.size() / 2)](std::size_t offset, std::size_t,
                                                             httplib::DataSink& sink) {
                        if (offset == 0) {
                            sink.write(half.data(), half.size());
                        }
                        return offset == 0;  // false: the connection is dropped
                    });
                return;
            }
            default:
                response.set_content(body.dump(), "application/json");
        }
    };
    server_->Post(kCloudPath, handle);
    server_->Post(kChatPath, handle);
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ > 0) {
        thread_ = std::thread([this] { server_->listen_after_bind(); });
    }
}

FakeProvider::~FakeProvider() {
    server_->stop();
    if (thread_.joinable()) {
        thread_.join();
    }
}

std::string FakeProvider::url() const {
    return "http://127.0.0.1:" + std::to_string(port_) + kCloudPath;
}

void FakeProvider::answer(const std::string& typed, const std::string& corrected,
                          std::chrono::milliseconds delay) {
    std::lock_guard lock(mutex_);
    replies_[typed] = Reply{corrected, delay};
}

void FakeProvider::failNext(Fault fault, std::chrono::milliseconds delay) {
    std::lock_guard lock(mutex_);
    fault_.emplace(fault, delay);
}

}  // namespace quorix::e2e
