#include "platform/linux/LinuxWorkspace.h"

#include <filesystem>
#include <sstream>
#include <system_error>
#include <utility>

#include "core/config/Files.h"
#include "core/text/Text.h"

namespace quorix::platform {
namespace {

constexpr std::string_view kDesktopSuffix = ".desktop";

std::string fileNameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string stemOf(const std::string& name) {
    const auto dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

// The first non-empty value of key (given with its '=') in the [Desktop Entry]
// group; "" when there is none.
std::string entryValue(const std::string& content, std::string_view key) {
    std::istringstream lines(content);
    bool inEntry = false;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.starts_with("[")) {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        if (inEntry && line.starts_with(key) && !text::isBlank(line.substr(key.size()))) {
            return line.substr(key.size());
        }
    }
    return {};
}

}  // namespace

LinuxWorkspace::LinuxWorkspace(std::vector<std::string> applicationFolders)
    : folders_(std::move(applicationFolders)) {}

LinuxWorkspace LinuxWorkspace::forHome(const std::string& home) {
    return LinuxWorkspace({"/usr/share/applications", home + "/.local/share/applications"});
}

std::optional<RunningApplication> LinuxWorkspace::frontmostApplication() {
    return std::nullopt;
}

std::optional<std::string> LinuxWorkspace::applicationPath(const std::string& bundleIdentifier) {
    if (bundleIdentifier.empty() || text::contains(bundleIdentifier, "/")) {
        return std::nullopt;
    }
    for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) {
        const std::string path = files::join(*it, bundleIdentifier + std::string(kDesktopSuffix));
        if (files::exists(path)) {
            return path;
        }
    }
    return std::nullopt;
}

std::optional<std::string> LinuxWorkspace::bundleIdentifier(const std::string& appPath) {
    const std::string name = fileNameOf(appPath);
    if (!text::endsWith(name, kDesktopSuffix) || name.size() == kDesktopSuffix.size() ||
        !files::exists(appPath)) {
        return std::nullopt;
    }
    return name.substr(0, name.size() - kDesktopSuffix.size());
}

std::optional<std::string> LinuxWorkspace::desktopEntryName(const std::string& content) {
    const std::string name = text::trim(entryValue(content, "Name="));
    return name.empty() ? std::nullopt : std::optional<std::string>(name);
}

std::vector<std::string> LinuxWorkspace::desktopEntryCategories(const std::string& content) {
    std::vector<std::string> categories;
    std::istringstream parts(entryValue(content, "Categories="));
    for (std::string part; std::getline(parts, part, ';');) {
        part = text::trim(part);
        if (!part.empty()) {
            categories.push_back(part);
        }
    }
    return categories;
}

std::vector<std::string> LinuxWorkspace::applicationCategories(
    const std::string& bundleIdentifier) {
    const auto path = applicationPath(bundleIdentifier);
    if (!path) {
        return {};
    }
    const auto content = files::readAll(*path);
    return content ? desktopEntryCategories(*content) : std::vector<std::string>{};
}

std::string LinuxWorkspace::displayName(const std::string& path) {
    const std::string name = fileNameOf(path);
    if (text::endsWith(name, kDesktopSuffix)) {
        if (const auto content = files::readAll(path)) {
            if (auto entryName = desktopEntryName(*content)) {
                return *entryName;
            }
        }
    }
    return stemOf(name);
}

bool LinuxWorkspace::fileExists(const std::string& path) {
    return files::exists(path);
}

std::optional<std::vector<std::string>> LinuxWorkspace::listFolder(const std::string& path) {
    std::error_code ec;
    std::filesystem::directory_iterator it(path, ec);
    if (ec) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
        if (ec) {
            break;
        }
        names.push_back(it->path().filename().string());
    }
    return names;
}

std::vector<std::string> LinuxWorkspace::applicationFolders() {
    return folders_;
}

AppIcon LinuxWorkspace::iconForFile(const std::string& path) {
    return files::exists(path) ? AppIcon{path} : AppIcon{};
}

std::string LinuxWorkspace::applicationFileExtension() {
    return "desktop";
}

}  // namespace quorix::platform
