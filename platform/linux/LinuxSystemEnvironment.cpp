#include "platform/linux/LinuxSystemEnvironment.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

#ifndef QUORIX_VERSION
#define QUORIX_VERSION "0.0.0"
#endif
#ifndef QUORIX_SOURCE_RESOURCES
#define QUORIX_SOURCE_RESOURCES ""
#endif

namespace quorix::platform {
namespace {

std::string envValue(const char* name) {
    const char* v = std::getenv(name);
    return v == nullptr ? std::string() : std::string(v);
}

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

}  // namespace

std::string LinuxSystemEnvironment::homeDirectory() {
    std::string home = envValue("HOME");
    if (home.empty()) {
        struct passwd pw {};
        struct passwd* result = nullptr;
        char buf[4096];
        if (getpwuid_r(getuid(), &pw, buf, sizeof buf, &result) == 0 && result != nullptr &&
            result->pw_dir != nullptr) {
            home = result->pw_dir;
        }
    }
    return withoutTrailingSlashes(home);
}

std::optional<std::string> LinuxSystemEnvironment::languageTag(const std::string& locale) {
    std::string tag = locale.substr(0, locale.find_first_of(".@"));
    if (tag.empty() || tag == "C" || tag == "POSIX") {
        return std::nullopt;
    }
    for (char& c : tag) {
        if (c == '_') {
            c = '-';
        }
    }
    return tag;
}

std::vector<std::string> LinuxSystemEnvironment::preferredLanguages() {
    std::vector<std::string> out;
    std::istringstream list(envValue("LANGUAGE"));
    for (std::string item; std::getline(list, item, ':');) {
        if (auto tag = languageTag(item)) {
            out.push_back(*tag);
        }
    }
    if (!out.empty()) {
        return out;
    }
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const std::string value = envValue(name);
        if (!value.empty()) {
            if (auto tag = languageTag(value)) {
                out.push_back(*tag);
            }
            break;
        }
    }
    return out;
}

std::string LinuxSystemEnvironment::appVersion() {
    return QUORIX_VERSION;
}

std::string LinuxSystemEnvironment::platformName() {
    return "Linux";
}

std::vector<std::string> LinuxSystemEnvironment::resourceFolders() {
    std::vector<std::string> out;
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n > 0) {
        std::string exe(buf, static_cast<std::size_t>(n));
        const auto slash = exe.find_last_of('/');
        if (slash != std::string::npos) {
            out.push_back(exe.substr(0, slash) + "/../share/quorix");
        }
    }
    const std::string source = QUORIX_SOURCE_RESOURCES;
    if (!source.empty()) {
        out.push_back(source);
    }
    return out;
}

}  // namespace quorix::platform
