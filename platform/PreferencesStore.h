#pragma once
// Per-user key/value string store outside the configuration folder (the
// platform's user defaults). Thread: any. Missing keys read as nullopt; write
// failures are silent.

#include <optional>
#include <string>

namespace quorix::platform {

class PreferencesStore {
  public:
    virtual ~PreferencesStore() = default;
    virtual std::optional<std::string> string(const std::string& key) = 0;
    virtual void setString(const std::string& key, const std::string& value) = 0;
};

}  // namespace quorix::platform
