#pragma once
// How the browser tests start a browser: which program, whether its pages are
// exposed to accessibility, and a fresh profile under a private folder with
// first-run pages, update checks, telemetry and crash prompts turned off and
// every connection beyond loopback sent to a refused proxy.

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace quorix::e2e {

struct BrowserSetup {
    enum class Family { firefox, chromium };

    Family family;
    // Firefox: GNOME_ACCESSIBILITY=1, or accessibility force-disabled.
    // Chromium: with or without --force-renderer-accessibility.
    bool accessible;
    // A GoogleTest parameter name.
    std::string name;

    // The program's path, or "" when it is not installed.
    std::string executable() const;
    // The package that provides it.
    std::string package() const;
    // The command opening url with the profile kept in profileFolder (created
    // and filled on first use; reused by a later start).
    std::vector<std::string> command(const std::string& profileFolder,
                                     const std::string& url) const;
    // Variables added to the desktop's environment ("" removes one).
    std::map<std::string, std::string> environment() const;
};

inline std::ostream& operator<<(std::ostream& out, const BrowserSetup& setup) {
    return out << setup.name;
}

}  // namespace quorix::e2e
