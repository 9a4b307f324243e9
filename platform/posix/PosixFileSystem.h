#pragma once
// FileSystem over POSIX calls (Linux, and any Unix with O_NOFOLLOW and flock).
// Stateless: one instance serves every thread.

#include "platform/FileSystem.h"

namespace quorix::platform {

class PosixFileSystem final : public FileSystem {
  public:
    // How long lock() waits for another holder before giving up with busy.
    static constexpr int kLockWaitMilliseconds = 3000;

    // A process-wide instance for adapters that take no file system of their own.
    static PosixFileSystem& instance();

    FileRead read(const std::string& path, std::size_t limit, LinkPolicy links) override;
    FileError writeAtomic(const std::string& path, std::string_view data, unsigned mode) override;
    FileAppend append(const std::string& path, std::string_view data) override;
    std::optional<std::vector<std::string>> list(const std::string& folder) override;
    bool exists(const std::string& path) override;
    FileError remove(const std::string& path) override;
    FileError rename(const std::string& from, const std::string& to) override;
    FileError makePrivateFolder(const std::string& path) override;
    std::unique_ptr<FileLock> lock(const std::string& path, FileError* error) override;
};

}  // namespace quorix::platform
