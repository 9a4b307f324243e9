#include "BrowserSetup.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "HeadlessDesktop.h"

namespace quorix::e2e {

namespace fs = std::filesystem;

namespace {

std::string firstExecutable(std::initializer_list<const char*> paths) {
    for (const char* path : paths) {
        if (access(path, X_OK) == 0) {
            return path;
        }
    }
    return {};
}

// The fixed preferences of firefox-user.js, then the variable ones.
void writeFirefoxProfile(const fs::path& folder, bool accessible) {
    const std::string proxy = std::to_string(refusedLoopbackPort());
    std::ofstream(folder / "user.js")
        << readFile(QUORIX_BROWSER_TESTS_DIR "/firefox-user.js")
        << "user_pref(\"accessibility.force_disabled\", " << (accessible ? 0 : 1) << ");\n"
        << "user_pref(\"network.proxy.http_port\", " << proxy << ");\n"
        << "user_pref(\"network.proxy.ssl_port\", " << proxy << ");\n";
}

}  // namespace

std::string BrowserSetup::executable() const {
    if (family == Family::firefox) {
        return firstExecutable({"/usr/lib/firefox-esr/firefox-esr", "/usr/bin/firefox-esr"});
    }
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
        if (fresh) {
            writeFirefoxProfile(profileFolder, accessible);
        }
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
        "--proxy-server=127.0.0.1:" + std::to_string(refusedLoopbackPort()),
        "--disable-gpu",
        "--window-position=0,0",
        "--window-size=1200,760",
    };
    if (geteuid() == 0) {
        argv.push_back("--no-sandbox");
    }
    if (accessible) {
        argv.push_back("--force-renderer-accessibility");
    }
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
