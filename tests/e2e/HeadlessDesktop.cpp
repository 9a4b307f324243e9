#include "HeadlessDesktop.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "DesktopDriver.h"

namespace quorix::e2e {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr const char* kAccessibilityBusLauncher = "/usr/libexec/at-spi-bus-launcher";

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        if (!dir.empty() && access((dir + "/" + program).c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}

std::string tail(const std::string& text, std::size_t lines) {
    std::size_t pos = text.size();
    for (std::size_t n = 0; pos > 0 && n <= lines; --pos) {
        if (text[pos - 1] == '\n') {
            ++n;
        }
    }
    return text.substr(pos);
}

}  // namespace

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout,
               std::chrono::milliseconds step) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(step);
    }
    return true;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

int refusedLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 9;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    close(fd);
    return port;
}

std::string HeadlessDesktop::missingTools() {
    std::string missing;
    for (const std::string tool : {"Xvfb", "dbus-daemon", kAccessibilityBusLauncher}) {
        if (tool.front() == '/' ? access(tool.c_str(), X_OK) != 0 : !onPath(tool)) {
            missing += (missing.empty() ? "" : ", ") + tool;
        }
    }
    return missing;
}

HeadlessDesktop::HeadlessDesktop(bool accessibilityBus) {
    char pattern[] = "/tmp/quorix-e2e-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        error_ = "no temporary folder";
        return;
    }
    folder_ = pattern;
    home_ = folder_ + "/home";
    runtimeDir_ = folder_ + "/run";
    fs::create_directories(home_);
    fs::create_directories(runtimeDir_);
    chmod(runtimeDir_.c_str(), 0700);
    const std::string number = startReporting(
        "xvfb",
        {"Xvfb", "-displayfd", "3", "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-noreset"});
    if (number.empty()) {
        return;
    }
    display_ = ":" + number;
    sessionBus_ = startReporting(
        "session-bus", {"dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=3"},
        environment());
    if (sessionBus_.empty()) {
        return;
    }
    if (accessibilityBus) {
        startAccessibilityBus();
    }
}

HeadlessDesktop::~HeadlessDesktop() {
    stopPrograms();
    programs_.clear();
    if (!folder_.empty() && std::getenv("QUORIX_E2E_KEEP") == nullptr) {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
}

std::map<std::string, std::string> HeadlessDesktop::environment() const {
    return {
        {"DISPLAY", display_},
        {"DBUS_SESSION_BUS_ADDRESS", sessionBus_},
        {"HOME", home_},
        {"XDG_RUNTIME_DIR", runtimeDir_},
        {"XDG_CONFIG_HOME", home_ + "/.config"},
        {"XDG_DATA_HOME", home_ + "/.local/share"},
        {"XDG_CACHE_HOME", home_ + "/.cache"},
        {"GSETTINGS_BACKEND", "memory"},
        {"QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1"},
        {"QT_QPA_PLATFORM", "xcb"},
        {"NO_AT_BRIDGE", ""},
        {"AT_SPI_BUS_ADDRESS", ""},
        {"WAYLAND_DISPLAY", ""},
        {"LANG", "C.UTF-8"},
        {"LC_ALL", "C.UTF-8"},
        // Sanitized children report only crashes, not leaks of the toolkits.
        {"ASAN_OPTIONS", "detect_leaks=0"},
    };
}

ChildProcess& HeadlessDesktop::start(const std::string& name, const std::vector<std::string>& argv,
                                     const std::map<std::string, std::string>& extra) {
    auto env = environment();
    for (const auto& [key, value] : extra) {
        env[key] = value;
    }
    ChildProcess::Spec spec;
    spec.argv = argv;
    spec.env = env;
    spec.stdoutPath = folder_ + "/" + name + ".out";
    spec.stderrPath = folder_ + "/" + name + ".err";
    programs_.emplace_back(name, std::make_unique<ChildProcess>(spec));
    return *programs_.back().second;
}

std::string HeadlessDesktop::outputOf(const std::string& name) const {
    return readFile(folder_ + "/" + name + ".out");
}

std::string HeadlessDesktop::errorsOf(const std::string& name) const {
    return readFile(folder_ + "/" + name + ".err");
}

std::string HeadlessDesktop::logTails(std::size_t lines) const {
    std::string out;
    for (const auto& [name, program] : programs_) {
        out += "== " + name + " stdout\n" + tail(outputOf(name), lines);
        out += "== " + name + " stderr\n" + tail(errorsOf(name), lines);
    }
    return out;
}

void HeadlessDesktop::stopPrograms() {
    for (auto it = programs_.rbegin(); it != programs_.rend(); ++it) {
        it->second->stop();
    }
}

std::string HeadlessDesktop::sanitizerReports() const {
    static const char* const kMarkers[] = {"WARNING: ThreadSanitizer", "ERROR: AddressSanitizer",
                                           "ERROR: LeakSanitizer", "runtime error:"};
    std::string out;
    for (const auto& [name, program] : programs_) {
        const std::string errors = errorsOf(name);
        for (const char* marker : kMarkers) {
            const auto at = errors.find(marker);
            if (at != std::string::npos) {
                out += "== " + name + "\n" + errors.substr(at > 200 ? at - 200 : 0) + "\n";
                break;
            }
        }
    }
    return out;
}

std::string HeadlessDesktop::startReporting(const std::string& name,
                                            const std::vector<std::string>& argv,
                                            const std::map<std::string, std::string>& env) {
    ChildProcess::Spec spec;
    spec.argv = argv;
    spec.env = env;
    spec.stderrPath = folder_ + "/" + name + ".err";
    spec.pipeFd = 3;
    programs_.emplace_back(name, std::make_unique<ChildProcess>(spec));
    const std::string line = programs_.back().second->readPipeLine(15000);
    if (line.empty()) {
        error_ = name + " did not start: " + readFile(spec.stderrPath);
    }
    return line;
}

bool HeadlessDesktop::startAccessibilityBus() {
    start("a11y-bus", {kAccessibilityBusLauncher, "--launch-immediately", "--a11y=1"});
    // The launcher publishes the bus address on the root window once its bus
    // runs; applications find it there.
    DesktopDriver driver(display_);
    if (!waitUntil([&] { return driver.rootProperty("AT_SPI_BUS").has_value(); }, 15s)) {
        error_ = "the accessibility bus did not start";
        return false;
    }
    return true;
}

}  // namespace quorix::e2e
