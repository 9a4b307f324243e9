#include "ChatPageServer.h"

#include <httplib.h>

#include <nlohmann/json.hpp>

#include "HeadlessDesktop.h"

namespace quorix::e2e {

namespace {

// Return sends what the field holds (trailing line breaks a contenteditable
// area adds are not part of the message); Shift+Return is left to the field.
constexpr const char* kPage = R"html(<!doctype html>
<html><head><meta charset="utf-8"><title>Chat</title></head>
<body>
<p><input id="input" type="text" aria-label="Messaggio" size="60"></p>
<p><textarea id="textarea" aria-label="Messaggio lungo" rows="3" cols="60"></textarea></p>
<div id="editable" contenteditable="true" aria-label="Messaggio formattato"
     style="border:1px solid #888;min-height:3em;width:30em"></div>
<script>
const post = (path, body) =>
  fetch(path, {method: 'POST', body: JSON.stringify(body),
               headers: {'Content-Type': 'application/json'}});
for (const field of document.querySelectorAll('#input, #textarea, #editable')) {
  field.addEventListener('keydown', event => {
    if (event.key !== 'Enter' || event.shiftKey || event.isComposing) return;
    event.preventDefault();
    const editable = field.isContentEditable;
    const text = (editable ? field.innerText : field.value).replace(/\n+$/, '');
    if (editable) field.textContent = ''; else field.value = '';
    post('/sent', {field: field.id, text});
  });
}
const wanted = new URLSearchParams(location.search).get('field') || 'input';
document.getElementById(wanted).focus();
post('/ready', {field: wanted});
</script>
</body></html>
)html";

}  // namespace

ChatPageServer::ChatPageServer() : server_(std::make_unique<httplib::Server>()) {
    server_->Get("/chat", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(kPage, "text/html; charset=utf-8");
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
    if (port_ > 0)
        thread_ = std::thread([this] { server_->listen_after_bind(); });
}

ChatPageServer::~ChatPageServer() {
    server_->stop();
    if (thread_.joinable())
        thread_.join();
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
