#pragma once
// An in-memory FileSystem for tests. Files are byte strings with a mode;
// folders are implied by the files in them or made explicitly. Failures are
// injected per path prefix and operation kind: a full disk, a refused
// permission, a special file in place of a stored one.
//
// Thread-safe. lock() serialises holders of one path within this object.

#include <condition_variable>
#include <map>
#include <mutex>
#include <set>

#include "platform/FileSystem.h"

namespace quorix::platform {

class MemoryFileSystem final : public FileSystem {
  public:
    enum class Operation { read, write, append, remove, rename, makeFolder };

    // Every later `operation` on a path starting with `prefix` fails with `error`
    // until clearFailures().
    void failOn(Operation operation, const std::string& prefix, FileError error);
    void clearFailures();
    // Puts a special file (FIFO, link, device) at path: reads and appends meet
    // FileError::notRegular.
    void putSpecial(const std::string& path);

    // Direct access for test setup and checks.
    void put(const std::string& path, std::string data, unsigned mode = kPrivateFileMode);
    std::optional<std::string> content(const std::string& path) const;
    std::optional<unsigned> mode(const std::string& path) const;
    // Every file path, ascending.
    std::vector<std::string> paths() const;

    FileRead read(const std::string& path, std::size_t limit, LinkPolicy links) override;
    FileError writeAtomic(const std::string& path, std::string_view data, unsigned mode) override;
    FileAppend append(const std::string& path, std::string_view data) override;
    std::optional<std::vector<std::string>> list(const std::string& folder) override;
    bool exists(const std::string& path) override;
    FileError remove(const std::string& path) override;
    FileError rename(const std::string& from, const std::string& to) override;
    FileError makePrivateFolder(const std::string& path) override;
    std::unique_ptr<FileLock> lock(const std::string& path, FileError* error) override;

  private:
    struct File {
        std::string data;
        unsigned mode = kPrivateFileMode;
        bool special = false;
    };
    struct Failure {
        Operation operation;
        std::string prefix;
        FileError error;
    };
    class Lock;

    FileError injected(Operation operation, const std::string& path) const;  // mutex_ held
    void releaseLock(const std::string& path);

    mutable std::mutex mutex_;
    std::map<std::string, File> files_;
    std::set<std::string> folders_;
    std::vector<Failure> failures_;
    std::condition_variable lockReleased_;
    std::set<std::string> locked_;
};

}  // namespace quorix::platform
