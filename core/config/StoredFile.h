#pragma once
// One file of the configuration folder as its owner sees it.
//
// - read() applies the stored-file rules of the FileSystem port (regular files
//   only, no links, at most 64 MiB); a file that is present but refused is
//   logged once and treated as unusable.
// - An owner that cannot use what it read calls markDamaged(): before the
//   first write the file is kept aside as "<name>.damaged-<YYYYMMDD-HHMMSS>"
//   (0600), with one log line, so that the user's data is never overwritten.
//   If the aside copy cannot be made, the write is refused.
// - write() replaces the file atomically (0600). The first failure of a run of
//   failures is logged once; the owner keeps its state in memory and writes
//   it again at its next change.
// - lockFolder() takes the configuration folder's advisory lock file, which
//   serialises read-modify-write cycles across processes.
//
// Thread: not synchronised; the owner serialises its calls.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/config/AppLogger.h"
#include "platform/FileSystem.h"

namespace quorix {

class StoredFile {
  public:
    // Name of the lock file in the configuration folder.
    static constexpr std::string_view kLockFileName = ".lock";

    StoredFile(platform::FileSystem& fs, std::string folder, std::string name, AppLogger& logger);

    const std::string& path() const { return path_; }
    platform::FileSystem& fileSystem() { return fs_; }

    // The content; nullopt when missing or refused.
    std::optional<std::string> read();
    // What was last read cannot be used: keep it aside before the first write.
    void markDamaged();
    // Replaces the file with data; false when it was not written.
    bool write(std::string_view data);
    // Deletes the file; a missing file counts as deleted.
    bool remove();
    // The folder's lock, or nullptr (logged) when it cannot be taken; callers
    // go on without it rather than lose the write.
    std::unique_ptr<platform::FileLock> lockFolder();

    // "disco pieno", "permesso negato", ...: the reason as the log states it.
    static std::string_view reason(platform::FileError error);
    // "<name>.damaged-YYYYMMDD-HHMMSS" (local time) beside path.
    static std::string damagedPath(const std::string& path, dispatch::WallTime when);

  private:
    bool keepDamagedAside();
    void noteFailure(platform::FileError error, std::string_view action);

    platform::FileSystem& fs_;
    const std::string folder_;
    const std::string name_;
    const std::string path_;
    AppLogger& logger_;

    std::optional<std::size_t> damagedHash_;  // hash of the unusable content
    bool failing_ = false;                    // the last write failed (logged)
    bool refusedLogged_ = false;
    bool lockFailureLogged_ = false;
};

}  // namespace quorix
