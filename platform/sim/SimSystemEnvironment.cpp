#include "platform/sim/SimSystemEnvironment.h"

#include <utility>

namespace quorix::platform {

SimSystemEnvironment::SimSystemEnvironment(std::string home,
                                           std::vector<std::string> preferredLanguages)
    : home_(std::move(home)), languages_(std::move(preferredLanguages)) {}

std::string SimSystemEnvironment::homeDirectory() {
    std::lock_guard lock(mutex_);
    return home_;
}

std::vector<std::string> SimSystemEnvironment::preferredLanguages() {
    std::lock_guard lock(mutex_);
    return languages_;
}

std::string SimSystemEnvironment::appVersion() {
    std::lock_guard lock(mutex_);
    return version_;
}

std::string SimSystemEnvironment::platformName() {
    return "Simulated";
}

std::vector<std::string> SimSystemEnvironment::resourceFolders() {
    std::lock_guard lock(mutex_);
    return resourceFolders_;
}

void SimSystemEnvironment::setHomeDirectory(std::string home) {
    std::lock_guard lock(mutex_);
    home_ = std::move(home);
}

void SimSystemEnvironment::setPreferredLanguages(std::vector<std::string> languages) {
    std::lock_guard lock(mutex_);
    languages_ = std::move(languages);
}

void SimSystemEnvironment::setAppVersion(std::string version) {
    std::lock_guard lock(mutex_);
    version_ = std::move(version);
}

void SimSystemEnvironment::setResourceFolders(std::vector<std::string> folders) {
    std::lock_guard lock(mutex_);
    resourceFolders_ = std::move(folders);
}

}  // namespace quorix::platform
