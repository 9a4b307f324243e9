#include "platform/sim/SimPreferencesStore.h"

namespace quorix::platform {

std::optional<std::string> SimPreferencesStore::string(const std::string& key) {
    std::lock_guard lock(mutex_);
    const auto it = values_.find(key);
    if (it == values_.end()) {
        return std::nullopt;
    }
    return it->second;
}

void SimPreferencesStore::setString(const std::string& key, const std::string& value) {
    std::lock_guard lock(mutex_);
    values_[key] = value;
}

void SimPreferencesStore::remove(const std::string& key) {
    std::lock_guard lock(mutex_);
    values_.erase(key);
}

}  // namespace quorix::platform
