#include "platform/linux/LinuxPreferencesStore.h"

#include "core/config/StoredFile.h"

#include <chrono>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <utility>

namespace quorix::platform {

LinuxPreferencesStore::LinuxPreferencesStore(std::string filePath, FileSystem& fs)
    : path_(std::move(filePath)), fs_(fs) {
    const auto content = fs_.read(path_, FileSystem::kStoredFileLimit, LinkPolicy::refuse);
    if (!content.ok()) {
        return;
    }
    const auto document = nlohmann::json::parse(content.data, nullptr, false);
    if (document.is_discarded() || !document.is_object()) {
        damaged_ = true;
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
                                 : joinPath(home, ".local/share");
    return joinPath(joinPath(base, "quorix"), "preferences.json");
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
        fs_.makePrivateFolder(path_.substr(0, slash));
    }
    if (damaged_) {
        // Not ours to overwrite: the unparseable file moves aside once.
        if (fs_.rename(path_, StoredFile::damagedPath(path_, std::chrono::system_clock::now())) !=
            FileError::none) {
            return;
        }
        damaged_ = false;
    }
    fs_.writeAtomic(path_, document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace),
                    FileSystem::kPrivateFileMode);
}

}  // namespace quorix::platform
