#pragma once
// An in-memory PreferencesStore. Thread-safe.

#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "platform/PreferencesStore.h"

namespace quorix::platform {

class SimPreferencesStore final : public PreferencesStore {
  public:
    std::optional<std::string> string(const std::string& key) override;
    void setString(const std::string& key, const std::string& value) override;
    void remove(const std::string& key);

  private:
    std::mutex mutex_;
    std::map<std::string, std::string> values_;
};

}  // namespace quorix::platform
