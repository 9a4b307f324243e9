#include "DaemonFixture.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include <nlohmann/json.hpp>

namespace quorix::e2e {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// QUORIX_E2E_DAEMON names another build of quorix (a release build for timing).
const std::string kDaemon = std::getenv("QUORIX_E2E_DAEMON") != nullptr
                                ? std::getenv("QUORIX_E2E_DAEMON")
                                : std::string(QUORIX_BINARY_DIR) + "/cli/quorix";
const std::string kChat = std::string(QUORIX_BINARY_DIR) + "/tests/e2e/quorix_e2e_chatapp";

}  // namespace

const std::string& DaemonFixture::daemonBinary() {
    return kDaemon;
}

void DaemonFixture::SetUp() {
    if (auto missing = HeadlessDesktop::missingTools(); !missing.empty()) {
        GTEST_SKIP() << "no headless desktop here: " << missing;
    }
    if (access(kDaemon.c_str(), X_OK) != 0) {
        GTEST_SKIP() << "quorix is not built: " << kDaemon;
    }
    desktop_ = std::make_unique<HeadlessDesktop>();
    ASSERT_TRUE(desktop_->ok()) << desktop_->error();
    driver_ = std::make_unique<DesktopDriver>(desktop_->display());
    ASSERT_TRUE(driver_->ok()) << "no physical keyboard device on " << desktop_->display();
}

void DaemonFixture::TearDown() {
    if (HasFailure() && desktop_) {
        std::cerr << desktop_->logTails(60);
    }
    driver_.reset();
    if (desktop_) {
        // A sanitized build of the program reports races and memory errors
        // on its error output, also while it shuts down.
        desktop_->stopPrograms();
        const std::string reports = desktop_->sanitizerReports();
        EXPECT_TRUE(reports.empty()) << reports;
    }
    desktop_.reset();
    provider_.reset();
}

std::string DaemonFixture::configFolder() const {
    return (fs::path(desktop_->home()) / ".config" / "penwarden").string();
}

// The cloud endpoint is the test's FakeProvider when it has one; the provider
// after it has no key, so a failed cloud exchange ends the AI step at once.
void DaemonFixture::writeConfiguration() {
    const fs::path folder = configFolder();
    fs::create_directories(folder);
    const std::string cloud =
        provider_ ? provider_->url()
                  : "http://127.0.0.1:" + std::to_string(refusedLoopbackPort()) + "/v1/correct";
    const nlohmann::json config = {
        {"provider", "groq"},  {"cloudProxyURL", cloud}, {"soundEnabled", false},
        {"isEnabled", true},   {"mode", "autoSend"},     {"interceptAllApps", true},
        {"appLanguage", "it"},
    };
    std::ofstream(folder / "config.json") << config.dump(2);
}

void DaemonFixture::startDaemon(const std::vector<std::string>& options) {
    writeConfiguration();
    std::vector<std::string> argv = {kDaemon, "daemon"};
    argv.insert(argv.end(), options.begin(), options.end());
    daemon_ = &desktop_->start("daemon", argv);
    ASSERT_TRUE(waitForLog("[Daemon] Quorix attivo", 60s)) << "the daemon did not start";
    // Loading the dictionaries takes seconds in sanitized builds; a message
    // sent meanwhile would wait for it and outlast the tests' waits.
    ASSERT_TRUE(waitForLog("[LocalTypoDictionary] Inizializzato", 60s))
        << "the daemon did not load its dictionaries";
}

bool DaemonFixture::waitUntilIdle(std::chrono::milliseconds timeout) {
    return waitUntil([&] { return driver_->keyboardIsFree(); }, timeout, 5ms);
}

std::string DaemonFixture::daemonLog() const {
    return desktop_->outputOf("daemon") + desktop_->errorsOf("daemon");
}

bool DaemonFixture::waitForLog(const std::string& fragment, std::chrono::milliseconds timeout) {
    return waitUntil([&] { return daemonLog().find(fragment) != std::string::npos; }, timeout);
}

std::size_t DaemonFixture::logCount(const std::string& fragment) const {
    const std::string log = daemonLog();
    std::size_t count = 0;
    for (auto at = log.find(fragment); at != std::string::npos; at = log.find(fragment, at + 1)) {
        ++count;
    }
    return count;
}

bool DaemonFixture::focusWindowOf(pid_t pid) {
    unsigned long window = 0;
    if (!waitUntil([&] { return (window = driver_->windowOf(pid)) != 0; }, 30s)) {
        return false;
    }
    if (!driver_->focus(window)) {
        return false;
    }
    // Without a window manager the daemon notices a new front window on its
    // next coverage check (every 250 ms); a Return before that is not held.
    std::this_thread::sleep_for(300ms);
    return true;
}

pid_t DaemonFixture::startEntry(bool accessible, const std::string& name) {
    std::map<std::string, std::string> env;
    if (!accessible) {
        env["NO_AT_BRIDGE"] = "1";
    }
    const pid_t pid =
        desktop_->start(name, {"zenity", "--entry", "--title=Chat", "--text=Messaggio"}, env).pid();
    EXPECT_TRUE(focusWindowOf(pid)) << "zenity's window did not appear";
    return pid;
}

pid_t DaemonFixture::startChat() {
    if (access(kChat.c_str(), X_OK) != 0) {
        return -1;
    }
    const pid_t pid = desktop_->start("chat", {kChat, sentFile()}).pid();
    EXPECT_TRUE(focusWindowOf(pid)) << "the chat window did not appear";
    return pid;
}

pid_t DaemonFixture::startTerminal(const std::string& command) {
    if (std::system("command -v xterm >/dev/null 2>&1") != 0) {
        return -1;
    }
    const pid_t pid = desktop_->start("xterm", {"xterm", "-e", "sh", "-c", command}).pid();
    EXPECT_TRUE(focusWindowOf(pid)) << "xterm's window did not appear";
    return pid;
}

std::vector<std::string> DaemonFixture::sentLines() const {
    std::vector<std::string> lines;
    std::stringstream in(readFile(sentFile()));
    std::string line;
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    return lines;
}

bool DaemonFixture::waitForSent(std::size_t count, std::chrono::milliseconds timeout) {
    return waitUntil([&] { return sentLines().size() >= count; }, timeout, 5ms);
}

void DaemonFixture::setClipboard(const std::string& data, const std::string& target) {
    const std::string file = desktop_->folder() + "/clipboard-in.txt";
    std::ofstream(file, std::ios::binary) << data;
    // xclip serves the selection until another client takes it.
    std::vector<std::string> argv{"xclip", "-selection", "clipboard", "-quiet"};
    if (!target.empty()) {
        argv.insert(argv.end(), {"-t", target});
    }
    argv.push_back(file);
    desktop_->start("xclip-in", argv);
    ASSERT_TRUE(waitUntil([&] { return clipboard(target) == data; }, 10s, 50ms));
}

std::string DaemonFixture::clipboard(const std::string& target) {
    const std::string name = "xclip-out-" + std::to_string(helpers_++);
    std::vector<std::string> argv{"xclip", "-selection", "clipboard", "-o"};
    if (!target.empty()) {
        argv.insert(argv.end(), {"-t", target});
    }
    auto& reader = desktop_->start(name, argv);
    reader.waitExit(5000);
    return desktop_->outputOf(name);
}

}  // namespace quorix::e2e
