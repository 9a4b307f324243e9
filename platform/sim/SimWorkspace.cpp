#include "platform/sim/SimWorkspace.h"

#include <algorithm>
#include <utility>

namespace quorix::platform {
namespace {

std::pair<std::string, std::string> splitPath(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return {"", path};
    }
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

std::string stem(const std::string& name) {
    const auto dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

}  // namespace

SimWorkspace::SimWorkspace(const std::string& home)
    : applicationFolders_{"/Applications", "/System/Applications", home + "/Applications"} {}

std::optional<RunningApplication> SimWorkspace::frontmostApplication() {
    std::lock_guard lock(mutex_);
    return front_;
}

std::optional<std::string> SimWorkspace::applicationPath(const std::string& bundleIdentifier) {
    std::lock_guard lock(mutex_);
    const auto it = pathsByBundleId_.find(bundleIdentifier);
    if (it == pathsByBundleId_.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::optional<std::string> SimWorkspace::bundleIdentifier(const std::string& appPath) {
    std::lock_guard lock(mutex_);
    const auto it = files_.find(appPath);
    if (it == files_.end()) {
        return std::nullopt;
    }
    return it->second.bundleIdentifier;
}

std::string SimWorkspace::displayName(const std::string& path) {
    std::lock_guard lock(mutex_);
    const auto it = files_.find(path);
    if (it != files_.end() && !it->second.displayName.empty()) {
        return it->second.displayName;
    }
    return stem(splitPath(path).second);
}

bool SimWorkspace::fileExists(const std::string& path) {
    std::lock_guard lock(mutex_);
    return files_.contains(path) || folders_.contains(path);
}

std::optional<std::vector<std::string>> SimWorkspace::listFolder(const std::string& path) {
    std::lock_guard lock(mutex_);
    const auto it = folders_.find(path);
    if (it == folders_.end() || unlistable_[path]) {
        return std::nullopt;
    }
    return it->second;
}

std::vector<std::string> SimWorkspace::applicationFolders() {
    std::lock_guard lock(mutex_);
    return applicationFolders_;
}

AppIcon SimWorkspace::iconForFile(const std::string& path) {
    return AppIcon{path};
}

std::string SimWorkspace::applicationFileExtension() {
    std::lock_guard lock(mutex_);
    return extension_;
}

void SimWorkspace::setFrontmostApplication(std::optional<RunningApplication> app) {
    std::lock_guard lock(mutex_);
    front_ = std::move(app);
}

void SimWorkspace::addApplication(const std::string& bundleIdentifier, const std::string& path,
                                  const std::string& displayName) {
    std::lock_guard lock(mutex_);
    pathsByBundleId_[bundleIdentifier] = path;
    files_[path] = File{bundleIdentifier, displayName};
    addEntryLocked(path);
}

void SimWorkspace::addFile(const std::string& path, std::optional<std::string> bundleIdentifier,
                           const std::string& displayName) {
    std::lock_guard lock(mutex_);
    files_[path] = File{std::move(bundleIdentifier), displayName};
    addEntryLocked(path);
}

void SimWorkspace::addFolder(const std::string& path) {
    std::lock_guard lock(mutex_);
    addFolderLocked(path);
}

void SimWorkspace::setUnlistable(const std::string& path, bool unlistable) {
    std::lock_guard lock(mutex_);
    addFolderLocked(path);
    unlistable_[path] = unlistable;
}

void SimWorkspace::setApplicationFolders(std::vector<std::string> folders) {
    std::lock_guard lock(mutex_);
    applicationFolders_ = std::move(folders);
}

void SimWorkspace::setApplicationFileExtension(std::string extension) {
    std::lock_guard lock(mutex_);
    extension_ = std::move(extension);
}

void SimWorkspace::addFolderLocked(const std::string& path) {
    if (path.empty() || folders_.contains(path)) {
        return;
    }
    folders_[path];
    if (path != "/") {
        addEntryLocked(path);
    }
}

void SimWorkspace::addEntryLocked(const std::string& path) {
    const auto [parent, name] = splitPath(path);
    if (parent.empty() || name.empty()) {
        return;
    }
    addFolderLocked(parent);
    auto& entries = folders_[parent];
    if (std::find(entries.begin(), entries.end(), name) == entries.end()) {
        entries.push_back(name);
    }
}

std::vector<std::string> SimWorkspace::applicationCategories(const std::string& bundleIdentifier) {
    std::lock_guard lock(mutex_);
    const auto it = categories_.find(bundleIdentifier);
    return it == categories_.end() ? std::vector<std::string>{} : it->second;
}

void SimWorkspace::setApplicationCategories(const std::string& bundleIdentifier,
                                            std::vector<std::string> categories) {
    std::lock_guard lock(mutex_);
    categories_[bundleIdentifier] = std::move(categories);
}

}  // namespace quorix::platform
