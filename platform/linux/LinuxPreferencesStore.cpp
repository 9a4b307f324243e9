#include "platform/linux/LinuxPreferencesStore.h"

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <utility>

#include "core/config/Files.h"

namespace quorix::platform {

LinuxPreferencesStore::LinuxPreferencesStore(std::string filePath) : path_(std::move(filePath)) {
    const auto content = files::readAll(path_);
    if (!content) {
        return;
    }
    const auto document = nlohmann::json::parse(*content, nullptr, false);
    if (document.is_discarded() || !document.is_object()) {
        return;
    }
    for (const auto& [key, value] : document.items()) {
        if (value.is_string()) {
            values_[key] = value.get<std::string>();
        }
    }
}

std::string LinuxPreferencesStore::defaultPath(const std::string& home) {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    // XDG: a relative value is invalid and ignored.
    const std::string base = dataHome != nullptr && dataHome[0] == '/'
                                 ? std::string(dataHome)
                                 : files::join(home, ".local/share");
    return files::join(files::join(base, "quorix"), "preferences.json");
}

std::optional<std::string> LinuxPreferencesStore::string(const std::string& key) {
    std::lock_guard lock(mutex_);
    const auto it = values_.find(key);
    if (it == values_.end()) {
        return std::nullopt;
    }
    return it->second;
}

void LinuxPreferencesStore::setString(const std::string& key, const std::string& value) {
    std::lock_guard lock(mutex_);
    values_[key] = value;
    nlohmann::json document = nlohmann::json::object();
    for (const auto& [k, v] : values_) {
        document[k] = v;
    }
    const auto slash = path_.find_last_of('/');
    if (slash != std::string::npos && slash > 0) {
        files::ensurePrivateFolder(path_.substr(0, slash));
    }
    files::writeAtomic(path_,
                       document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace));
}

}  // namespace quorix::platform
