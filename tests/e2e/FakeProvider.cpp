#include "FakeProvider.h"

#include <httplib.h>

#include <nlohmann/json.hpp>

namespace quorix::e2e {

FakeProvider::FakeProvider() : server_(std::make_unique<httplib::Server>()) {
    server_->Post("/v1/chat/completions", [this](const httplib::Request& request,
                                                 httplib::Response& response) {
        ++requests_;
        std::string content;
        std::chrono::milliseconds delay{0};
        {
            std::lock_guard lock(mutex_);
            for (const auto& [typed, reply] : replies_) {
                if (request.body.find(typed) != std::string::npos) {
                    content = reply.corrected;
                    delay = reply.delay;
                    break;
                }
            }
        }
        std::this_thread::sleep_for(delay);
        nlohmann::json body = {
            {"choices",
             {{{"index", 0}, {"message", {{"role", "assistant"}, {"content", content}}}}}}};
        response.set_content(body.dump(), "application/json");
    });
    listening_ = server_->bind_to_port("127.0.0.1", kPort);
    if (listening_)
        thread_ = std::thread([this] { server_->listen_after_bind(); });
}

FakeProvider::~FakeProvider() {
    server_->stop();
    if (thread_.joinable())
        thread_.join();
}

void FakeProvider::answer(const std::string& typed, const std::string& corrected,
                          std::chrono::milliseconds delay) {
    std::lock_guard lock(mutex_);
    replies_[typed] = Reply{corrected, delay};
}

}  // namespace quorix::e2e
