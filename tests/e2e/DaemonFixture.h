#pragma once
// `quorix daemon` on a private headless desktop, with a temporary HOME whose
// configuration sends AI requests to the test's FakeProvider (started before
// startDaemon) or, without one, to a loopback port that refuses connections.

#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>

#include "DesktopDriver.h"
#include "FakeProvider.h"
#include "HeadlessDesktop.h"

namespace quorix::e2e {

class DaemonFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the configuration, starts the daemon and waits until it watches
    // the keyboard and has loaded its dictionaries.
    void startDaemon(const std::vector<std::string>& options = {});
    // Starts zenity's entry dialog (on the accessibility bus or not) and
    // focuses it; what it prints on Return is outputOf(name).
    pid_t startEntry(bool accessible, const std::string& name = "zenity");
    // Starts the chat window; sent lines go to sentFile().
    pid_t startChat();
    // Starts xterm running `sh -c command` and focuses it; -1 without xterm.
    pid_t startTerminal(const std::string& command);
    std::string sentFile() const { return desktop_->folder() + "/sent.txt"; }
    std::string configFolder() const;
    std::vector<std::string> sentLines() const;
    // Waits until count lines were sent.
    bool waitForSent(std::size_t count,
                     std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // Waits until the daemon no longer holds the keyboard (its correction
    // ended); keys typed before that are swallowed, as they should be.
    bool waitUntilIdle(std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // The daemon's log so far.
    std::string daemonLog() const;
    bool waitForLog(const std::string& fragment,
                    std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // How many times fragment occurs in the daemon's log.
    std::size_t logCount(const std::string& fragment) const;
    // Gives the input focus to pid's window.
    bool focusWindowOf(pid_t pid);

    // The clipboard as plain text, or as the given target (e.g. "image/png").
    void setClipboard(const std::string& data, const std::string& target = {});
    std::string clipboard(const std::string& target = {});

    std::unique_ptr<HeadlessDesktop> desktop_;
    std::unique_ptr<DesktopDriver> driver_;
    std::unique_ptr<FakeProvider> provider_;
    ChildProcess* daemon_ = nullptr;  // owned by desktop_

    // config.json for the daemon (startDaemon writes it).
    void writeConfiguration();
    // The quorix executable the daemon runs from ($QUORIX_E2E_DAEMON or this build's).
    static const std::string& daemonBinary();

  private:
    int helpers_ = 0;
};

}  // namespace quorix::e2e
