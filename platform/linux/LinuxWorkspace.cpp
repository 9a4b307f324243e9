#include "platform/linux/LinuxWorkspace.h"

#include <sstream>
#include <utility>

#include "core/text/Text.h"

namespace quorix::platform {
namespace {

constexpr std::string_view kDesktopSuffix = ".desktop";

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

LinuxWorkspace::LinuxWorkspace(std::vector<std::string> applicationFolders, FileSystem& fs)
    : folders_(std::move(applicationFolders)), fs_(&fs) {}

LinuxWorkspace LinuxWorkspace::forHome(const std::string& home, FileSystem& fs) {
    return LinuxWorkspace({"/usr/share/applications", home + "/.local/share/applications"}, fs);
}

std::optional<RunningApplication> LinuxWorkspace::frontmostApplication() {
    return std::nullopt;
}

std::optional<std::string> LinuxWorkspace::applicationPath(const std::string& bundleIdentifier) {
    if (bundleIdentifier.empty() || text::contains(bundleIdentifier, "/")) {
        return std::nullopt;
    }
    for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) {
        const std::string path = joinPath(*it, bundleIdentifier + std::string(kDesktopSuffix));
        if (fs_->exists(path)) {
            return path;
        }
    }
    return std::nullopt;
}

std::optional<std::string> LinuxWorkspace::bundleIdentifier(const std::string& appPath) {
    const std::string name = fileNameOf(appPath);
    if (!text::endsWith(name, kDesktopSuffix) || name.size() == kDesktopSuffix.size() ||
        !fs_->exists(appPath)) {
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
    const auto content = fs_->read(*path, 1 << 20, LinkPolicy::follow);
    return content.ok() ? desktopEntryCategories(content.data) : std::vector<std::string>{};
}

std::string LinuxWorkspace::displayName(const std::string& path) {
    const std::string name = fileNameOf(path);
    if (text::endsWith(name, kDesktopSuffix)) {
        // Desktop entries are often links into a package's own folder.
        const auto content = fs_->read(path, 1 << 20, LinkPolicy::follow);
        if (content.ok()) {
            if (auto entryName = desktopEntryName(content.data)) {
                return *entryName;
            }
        }
    }
    return stemOf(name);
}

bool LinuxWorkspace::fileExists(const std::string& path) {
    return fs_->exists(path);
}

std::optional<std::vector<std::string>> LinuxWorkspace::listFolder(const std::string& path) {
    return fs_->list(path);
}

std::vector<std::string> LinuxWorkspace::applicationFolders() {
    return folders_;
}

AppIcon LinuxWorkspace::iconForFile(const std::string& path) {
    return fs_->exists(path) ? AppIcon{path} : AppIcon{};
}

std::string LinuxWorkspace::applicationFileExtension() {
    return "desktop";
}

}  // namespace quorix::platform
