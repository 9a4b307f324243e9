#include "BrowserSetup.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace quorix::e2e {

namespace fs = std::filesystem;

namespace {

// A loopback port nobody listens on: bound, then released.
int refusedPort() {
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

std::string firstExecutable(std::initializer_list<const char*> paths) {
    for (const char* path : paths) {
        if (access(path, X_OK) == 0)
            return path;
    }
    return {};
}

// Loopback is never proxied (network.proxy.allow_hijacking_localhost stays
// false), so the page loads while everything else meets a closed port.
void writeFirefoxProfile(const fs::path& folder, bool accessible) {
    const std::string proxy = std::to_string(refusedPort());
    std::ofstream prefs(folder / "user.js");
    const std::pair<const char*, std::string> entries[] = {
        {"accessibility.force_disabled", accessible ? "0" : "1"},
        {"app.normandy.enabled", "false"},
        {"app.update.auto", "false"},
        {"app.update.disabledForTesting", "true"},
        {"browser.aboutwelcome.enabled", "false"},
        {"browser.discovery.enabled", "false"},
        {"browser.newtabpage.enabled", "false"},
        {"browser.safebrowsing.downloads.enabled", "false"},
        {"browser.safebrowsing.malware.enabled", "false"},
        {"browser.safebrowsing.phishing.enabled", "false"},
        {"browser.search.suggest.enabled", "false"},
        {"browser.search.update", "false"},
        {"browser.sessionstore.resume_from_crash", "false"},
        {"browser.shell.checkDefaultBrowser", "false"},
        {"browser.startup.homepage_override.mstone", "\"ignore\""},
        {"browser.tabs.warnOnClose", "false"},
        {"browser.translations.enable", "false"},
        {"browser.urlbar.suggest.searches", "false"},
        {"datareporting.healthreport.uploadEnabled", "false"},
        {"datareporting.policy.dataSubmissionEnabled", "false"},
        {"extensions.update.enabled", "false"},
        {"messaging-system.rsexperimentloader.enabled", "false"},
        {"network.captive-portal-service.enabled", "false"},
        {"network.connectivity-service.enabled", "false"},
        {"network.proxy.type", "1"},
        {"network.proxy.http", "\"127.0.0.1\""},
        {"network.proxy.http_port", proxy},
        {"network.proxy.ssl", "\"127.0.0.1\""},
        {"network.proxy.ssl_port", proxy},
        {"toolkit.startup.max_resumed_crashes", "-1"},
        {"toolkit.telemetry.enabled", "false"},
        // Alt released before the daemon's Return of ⌥⏎ arrives (a loaded
        // machine) is a lone Alt tap, which would focus the menu bar.
        {"ui.key.menuAccessKeyFocuses", "false"},
        {"toolkit.telemetry.reportingpolicy.firstRun", "false"},
    };
    for (const auto& [name, value] : entries)
        prefs << "user_pref(\"" << name << "\", " << value << ");\n";
}

}  // namespace

std::string BrowserSetup::executable() const {
    if (family == Family::firefox)
        return firstExecutable({"/usr/lib/firefox-esr/firefox-esr", "/usr/bin/firefox-esr"});
    // The binary itself rather than Debian's wrapper script: the window's
    // process is the one the test started.
    return firstExecutable({"/usr/lib/chromium/chromium", "/usr/bin/chromium"});
}

std::string BrowserSetup::package() const {
    return family == Family::firefox ? "firefox-esr" : "chromium";
}

std::vector<std::string> BrowserSetup::command(const std::string& profileFolder,
                                               const std::string& url) const {
    const bool fresh = !fs::exists(profileFolder);
    fs::create_directories(profileFolder);
    if (family == Family::firefox) {
        if (fresh)
            writeFirefoxProfile(profileFolder, accessible);
        return {executable(), "--no-remote", "--new-instance", "--profile", profileFolder, url};
    }
    std::vector<std::string> argv = {
        executable(),
        "--user-data-dir=" + profileFolder,
        "--no-first-run",
        "--no-default-browser-check",
        "--disable-background-networking",
        "--disable-component-update",
        "--disable-default-apps",
        "--disable-extensions",
        "--disable-sync",
        "--disable-features=Translate,MediaRouter,OptimizationHints",
        "--password-store=basic",
        "--proxy-server=127.0.0.1:" + std::to_string(refusedPort()),
        "--disable-gpu",
        "--window-position=0,0",
        "--window-size=1200,760",
    };
    if (geteuid() == 0)
        argv.push_back("--no-sandbox");
    if (accessible)
        argv.push_back("--force-renderer-accessibility");
    argv.push_back(url);
    return argv;
}

std::map<std::string, std::string> BrowserSetup::environment() const {
    std::map<std::string, std::string> env = {{"ACCESSIBILITY_ENABLED", ""}};
    if (family == Family::firefox) {
        env["GNOME_ACCESSIBILITY"] = accessible ? "1" : "0";
        env["MOZ_CRASHREPORTER_DISABLE"] = "1";
        env["MOZ_DISABLE_AUTO_SAFE_MODE"] = "1";
    }
    return env;
}

}  // namespace quorix::e2e
