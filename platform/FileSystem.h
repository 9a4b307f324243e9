#pragma once
// File-system port: the few operations the program performs on its stored
// files (configuration folder, preferences, log) and on read-only resources.
// Implementations: PosixFileSystem (platform/posix) and MemoryFileSystem
// (platform/sim, for tests, with injectable failures).
//
// Contract:
// - No operation throws; each reports a FileError (none on success).
// - Paths are absolute or relative strings; "/" separates names.
// - Stored files are only ever regular files: read(), append() and the mode
//   changes refuse a symbolic link (unless the caller allows links for a
//   resource), a FIFO, a device or a folder with FileError::notRegular, and
//   never block on one. Nothing ever changes a mode through a link.
// - read() refuses a file larger than its limit with FileError::tooLarge
//   and never holds more than limit bytes in memory.
// - Modes are only tightened: an existing file or folder loses its group and
//   other bits, never gains a bit (a folder the user made 0500 stays 0500).
// - writeAtomic(): readers see the old or the new content, never a mix; no
//   temporary file is left behind whatever the outcome.
// - append(): one call lands whole and is never interleaved with another
//   process's append of a small piece (O_APPEND semantics).
// - lock(): an advisory lock shared by every process (and thread) using the
//   same path; held while the returned FileLock lives.
// Thread: any; the implementations keep no per-call state.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorix::platform {

enum class FileError {
    none,
    notFound,
    notRegular,  // a link, FIFO, device or folder where a regular file was expected
    tooLarge,
    permissionDenied,
    noSpace,
    busy,  // lock not obtained in time
    other,
};

enum class LinkPolicy { refuse, follow };

struct FileRead {
    FileError error = FileError::none;
    std::string data;  // the whole content when error == none
    bool ok() const { return error == FileError::none; }
};

struct FileAppend {
    FileError error = FileError::none;
    std::uint64_t sizeAfter = 0;  // size of the file after the append
    bool ok() const { return error == FileError::none; }
};

// Held advisory lock; released by destruction.
class FileLock {
  public:
    virtual ~FileLock() = default;
};

class FileSystem {
  public:
    static constexpr std::size_t kStoredFileLimit = std::size_t{64} << 20;  // 64 MiB
    static constexpr unsigned kPrivateFileMode = 0600;

    virtual ~FileSystem() = default;

    // The whole file, at most `limit` bytes.
    virtual FileRead read(const std::string& path, std::size_t limit = kStoredFileLimit,
                          LinkPolicy links = LinkPolicy::refuse) = 0;
    // Replaces path with data (a temporary file beside it, synced, then renamed;
    // a link at path is replaced, not followed). The new file has exactly `mode`.
    virtual FileError writeAtomic(const std::string& path, std::string_view data,
                                  unsigned mode = kPrivateFileMode) = 0;
    // Appends data to path, creating it with kPrivateFileMode when missing.
    virtual FileAppend append(const std::string& path, std::string_view data) = 0;
    // Names (not paths) of the entries of a folder, in the file system's order.
    virtual std::optional<std::vector<std::string>> list(const std::string& folder) = 0;
    // Whether anything (a link included) exists at path.
    virtual bool exists(const std::string& path) = 0;
    virtual FileError remove(const std::string& path) = 0;
    // Renames from to to, replacing to. A regular file at `from` loses its group
    // and other bits first.
    virtual FileError rename(const std::string& from, const std::string& to) = 0;
    // Creates path and missing parents with mode 0700; an existing folder (not
    // a link to one) loses its group and other bits. A link to a folder is
    // accepted as it is.
    virtual FileError makePrivateFolder(const std::string& path) = 0;
    // Takes the advisory lock file at path (created 0600 when missing), waiting
    // a bounded time; nullptr with the reason when it cannot.
    virtual std::unique_ptr<FileLock> lock(const std::string& path, FileError* error = nullptr) = 0;
};

// a + "/" + b without doubling a trailing slash of a.
inline std::string joinPath(std::string_view a, std::string_view b) {
    std::string out(a);
    if (out.empty() || out.back() != '/') {
        out.push_back('/');
    }
    out.append(b);
    return out;
}

// The last name of a path ("config.json" for "/x/config.json").
inline std::string fileNameOf(std::string_view path) {
    const auto slash = path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace quorix::platform
