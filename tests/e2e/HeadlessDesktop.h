#pragma once
// A private desktop for one test: Xvfb on a free display, a session bus, the
// accessibility bus, a temporary HOME and XDG_RUNTIME_DIR. Every program runs
// as a ChildProcess and is stopped by its id when the desktop goes, in reverse
// order of start; the temporary folder is removed too.

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ChildProcess.h"

namespace quorix::e2e {

class HeadlessDesktop {
  public:
    // What the machine lacks to run a desktop ("" when nothing).
    static std::string missingTools();

    // Starts the display and the buses; ok() tells whether it worked and
    // error() why not.
    explicit HeadlessDesktop(bool accessibilityBus = true);
    ~HeadlessDesktop();
    HeadlessDesktop(const HeadlessDesktop&) = delete;
    HeadlessDesktop& operator=(const HeadlessDesktop&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    const std::string& display() const { return display_; }
    const std::string& folder() const { return folder_; }
    const std::string& home() const { return home_; }
    // The variables a program of this desktop runs with.
    std::map<std::string, std::string> environment() const;

    // Starts a program with the desktop's environment plus extra; its output
    // goes to <folder>/<name>.out and .err. The desktop keeps it and stops it.
    ChildProcess& start(const std::string& name, const std::vector<std::string>& argv,
                        const std::map<std::string, std::string>& extra = {});
    std::string outputOf(const std::string& name) const;
    std::string errorsOf(const std::string& name) const;
    // The last lines of every program's output, for a failure message.
    std::string logTails(std::size_t lines = 30) const;
    // Stops every program, last started first (the destructor does it too).
    void stopPrograms();
    // The reports sanitizers (TSan, ASan, UBSan) wrote to any program's error
    // output, each under the program's name; "" when none did.
    std::string sanitizerReports() const;

  private:
    // Starts a program that reports one line on descriptor 3 (a display
    // number, a bus address) and returns that line ("" and error() if none).
    std::string startReporting(const std::string& name, const std::vector<std::string>& argv,
                               const std::map<std::string, std::string>& env = {});
    bool startAccessibilityBus();

    std::string error_;
    std::string folder_;
    std::string home_;
    std::string runtimeDir_;
    std::string display_;
    std::string sessionBus_;
    std::vector<std::pair<std::string, std::unique_ptr<ChildProcess>>> programs_;
};

// Polls condition every step until it holds or timeout passes.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout,
               std::chrono::milliseconds step = std::chrono::milliseconds(20));

std::string readFile(const std::string& path);

// A loopback port nobody listens on (bound, then released): where the tests
// send what must not reach any server.
int refusedLoopbackPort();

}  // namespace quorix::e2e
