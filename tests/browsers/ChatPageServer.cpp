#include "ChatPageServer.h"

#include <httplib.h>

#include <nlohmann/json.hpp>

#include "HeadlessDesktop.h"

namespace quorix::e2e {

ChatPageServer::ChatPageServer() : server_(std::make_unique<httplib::Server>()) {
    server_->Get("/chat", [page = readFile(QUORIX_BROWSER_TESTS_DIR "/chat.html")](
                              const httplib::Request&, httplib::Response& response) {
        response.set_content(page, "text/html; charset=utf-8");
    });
    server_->Post("/ready", [this](const httplib::Request&, httplib::Response& response) {
        std::lock_guard lock(mutex_);
        ++pageLoads_;
        response.status = 204;
    });
    server_->Post("/sent", [this](const httplib::Request& request, httplib::Response& response) {
        const auto body = nlohmann::json::parse(request.body, nullptr, false);
        std::lock_guard lock(mutex_);
        if (body.is_object()) {
            messages_.push_back(
                {body.value("field", std::string()), body.value("text", std::string())});
        } else {
            messages_.push_back({"?", request.body});
        }
        response.status = 204;
    });
    server_->Get("/nav", [this](const httplib::Request& request, httplib::Response& response) {
        {
            std::lock_guard lock(mutex_);
            navigations_.push_back(request.get_param_value("q"));
        }
        response.set_content("<!doctype html><title>Navigated</title>", "text/html");
    });
    // Anything else a browser asks for (an icon) is simply missing.
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ > 0) {
        thread_ = std::thread([this] { server_->listen_after_bind(); });
    }
}

ChatPageServer::~ChatPageServer() {
    server_->stop();
    if (thread_.joinable()) {
        thread_.join();
    }
}

std::string ChatPageServer::pageUrl(const std::string& field) const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/chat?field=" + field;
}

std::string ChatPageServer::navigationUrl(const std::string& query) const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/nav?q=" + query;
}

std::vector<ChatPageServer::Message> ChatPageServer::messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::vector<std::string> ChatPageServer::navigations() const {
    std::lock_guard lock(mutex_);
    return navigations_;
}

int ChatPageServer::pageLoads() const {
    std::lock_guard lock(mutex_);
    return pageLoads_;
}

bool ChatPageServer::waitForMessages(std::size_t count, std::chrono::milliseconds timeout) const {
    return waitUntil([&] { return messages().size() >= count; }, timeout,
                     std::chrono::milliseconds(5));
}

}  // namespace quorix::e2e
