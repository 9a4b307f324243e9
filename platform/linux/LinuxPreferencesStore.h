#pragma once
// PreferencesStore as one JSON object of strings in
// $XDG_DATA_HOME/quorix/preferences.json (default ~/.local/share/quorix), outside
// the configuration folder. The file is read once; every change rewrites it
// atomically with mode 0600. A missing or refused file (a link, FIFO or one
// over the stored-file limit) reads as empty; a file that cannot be parsed is
// kept aside as "<name>.damaged-<date>" before the first change is written.
// Thread-safe.

#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "platform/FileSystem.h"
#include "platform/PreferencesStore.h"
#include "platform/posix/PosixFileSystem.h"

namespace quorix::platform {

class LinuxPreferencesStore final : public PreferencesStore {
  public:
    explicit LinuxPreferencesStore(std::string filePath,
                                   FileSystem& fs = PosixFileSystem::instance());
    // The default location for this home folder and environment.
    static std::string defaultPath(const std::string& home);

    std::optional<std::string> string(const std::string& key) override;
    void setString(const std::string& key, const std::string& value) override;
    std::string filePath() const { return path_; }

  private:
    const std::string path_;
    FileSystem& fs_;
    std::mutex mutex_;
    bool damaged_ = false;  // the file could not be parsed: keep it aside first
    std::map<std::string, std::string> values_;
};

}  // namespace quorix::platform
