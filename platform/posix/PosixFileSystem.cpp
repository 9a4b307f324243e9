#include "platform/posix/PosixFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace quorix::platform {
namespace {

constexpr mode_t kFolderMode = 0700;
constexpr mode_t kGroupOtherBits = 077;

FileError fromErrno(int err) {
    switch (err) {
        case ENOENT:
        case ENOTDIR:
            return FileError::notFound;
        case ELOOP:  // O_NOFOLLOW met a link
        case EISDIR:
        case ENXIO:  // a FIFO without reader, opened for writing
            return FileError::notRegular;
        case EACCES:
        case EPERM:
        case EROFS:
            return FileError::permissionDenied;
        case ENOSPC:
        case EDQUOT:
            return FileError::noSpace;
        case EFBIG:
            return FileError::tooLarge;
        default:
            return FileError::other;
    }
}

FileError lastError() {
    return fromErrno(errno);
}

// Closes the descriptor when it goes out of scope.
class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void reset(int fd) {
        close();
        fd_ = fd;
    }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    // Closes now, reporting a failed close (a late write error).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

  private:
    int fd_;
};

FileError writeFully(int fd, std::string_view data) {
    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return lastError();
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return FileError::none;
}

// Removes group and other bits from the open file or folder; never adds one.
void tighten(int fd, const struct stat& st) {
    if ((st.st_mode & kGroupOtherBits) != 0) {
        ::fchmod(fd, st.st_mode & 07700);
    }
}

std::string parentOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    if (slash == 0) {
        return "/";
    }
    return path.substr(0, slash);
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// An open regular file (not through a link when refused), or the reason why not.
FileError openRegular(const std::string& path, int flags, LinkPolicy links, Fd& out,
                      struct stat& st) {
    if (links == LinkPolicy::refuse) {
        flags |= O_NOFOLLOW;
    }
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0600);
    if (fd < 0) {
        return lastError();
    }
    Fd guard(fd);
    if (::fstat(fd, &st) != 0) {
        return lastError();
    }
    if (!S_ISREG(st.st_mode)) {
        return FileError::notRegular;
    }
    // Regular files ignore O_NONBLOCK; clear it so that writes behave as usual.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    out.reset(guard.release());
    return FileError::none;
}

class PosixFileLock final : public FileLock {
  public:
    explicit PosixFileLock(int fd) : fd_(fd) {}
    ~PosixFileLock() override {
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
    }
    PosixFileLock(const PosixFileLock&) = delete;
    PosixFileLock& operator=(const PosixFileLock&) = delete;

  private:
    int fd_;
};

}  // namespace

PosixFileSystem& PosixFileSystem::instance() {
    static PosixFileSystem fs;
    return fs;
}

FileRead PosixFileSystem::read(const std::string& path, std::size_t limit, LinkPolicy links) {
    FileRead result;
    Fd fd(-1);
    struct stat st {};
    result.error = openRegular(path, O_RDONLY, links, fd, st);
    if (!result.ok()) {
        return result;
    }
    if (static_cast<std::uint64_t>(st.st_size) > limit) {
        result.error = FileError::tooLarge;
        return result;
    }
    result.data.reserve(static_cast<std::size_t>(st.st_size));
    char buf[16384];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            result.error = lastError();
            result.data.clear();
            return result;
        }
        if (n == 0) {
            break;
        }
        // The file may grow while it is read.
        if (result.data.size() + static_cast<std::size_t>(n) > limit) {
            result.error = FileError::tooLarge;
            result.data.clear();
            return result;
        }
        result.data.append(buf, static_cast<std::size_t>(n));
    }
    return result;
}

FileError PosixFileSystem::writeAtomic(const std::string& path, std::string_view data,
                                       unsigned mode) {
    // Appended piece by piece: GCC 12 at -O3 warns (-Wrestrict, a false
    // positive) on `"." + std::string&&`.
    std::string tmpName(".");
    tmpName.append(fileNameOf(path)).append(".tmp.XXXXXX");
    const std::string tmpl = joinPath(parentOf(path), tmpName);
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    Fd fd(::mkostemp(buf.data(), O_CLOEXEC));  // created 0600
    if (!fd.valid()) {
        return lastError();
    }
    const std::string tmpPath(buf.data());
    FileError error = FileError::none;
    if (::fchmod(fd.get(), static_cast<mode_t>(mode & 07777)) != 0) {
        error = lastError();
    }
    if (error == FileError::none) {
        error = writeFully(fd.get(), data);
    }
    if (error == FileError::none && ::fsync(fd.get()) != 0) {
        error = lastError();
    }
    if (!fd.close() && error == FileError::none) {
        error = lastError();
    }
    if (error == FileError::none && ::rename(tmpPath.c_str(), path.c_str()) != 0) {
        error = lastError();
    }
    if (error != FileError::none) {
        ::unlink(tmpPath.c_str());
    }
    return error;
}

FileAppend PosixFileSystem::append(const std::string& path, std::string_view data) {
    FileAppend result;
    Fd fd(-1);
    struct stat st {};
    result.error = openRegular(path, O_WRONLY | O_CREAT | O_APPEND, LinkPolicy::refuse, fd, st);
    if (!result.ok()) {
        return result;
    }
    tighten(fd.get(), st);
    // One write() per call: O_APPEND moves to the end and writes under the
    // inode lock, so concurrent appends never interleave or overwrite.
    for (;;) {
        const ssize_t n = ::write(fd.get(), data.data(), data.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            result.error = lastError();
        } else if (static_cast<std::size_t>(n) < data.size()) {
            result.error = writeFully(fd.get(), data.substr(static_cast<std::size_t>(n)));
        }
        break;
    }
    struct stat after {};
    if (::fstat(fd.get(), &after) == 0) {
        result.sizeAfter = static_cast<std::uint64_t>(after.st_size);
    }
    if (!fd.close() && result.ok()) {
        result.error = lastError();
    }
    return result;
}

std::optional<std::vector<std::string>> PosixFileSystem::list(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            names.emplace_back(name);
        }
    }
    ::closedir(dir);
    return names;
}

bool PosixFileSystem::exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

FileError PosixFileSystem::remove(const std::string& path) {
    return ::unlink(path.c_str()) == 0 ? FileError::none : lastError();
}

FileError PosixFileSystem::rename(const std::string& from, const std::string& to) {
    Fd fd(-1);
    struct stat st {};
    if (openRegular(from, O_RDONLY, LinkPolicy::refuse, fd, st) == FileError::none) {
        tighten(fd.get(), st);
    }
    return ::rename(from.c_str(), to.c_str()) == 0 ? FileError::none : lastError();
}

FileError PosixFileSystem::makePrivateFolder(const std::string& path) {
    if (path.empty()) {
        return FileError::notFound;
    }
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (S_ISLNK(st.st_mode)) {
            // The user's own link: used as it is, its target's mode untouched.
            return isFolder(path) ? FileError::none : FileError::notRegular;
        }
        if (!S_ISDIR(st.st_mode)) {
            return FileError::notRegular;
        }
        Fd fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (fd.valid() && ::fstat(fd.get(), &st) == 0) {
            tighten(fd.get(), st);
        }
        return FileError::none;
    }
    const std::string parent = parentOf(path);
    if (parent != path && !isFolder(parent)) {
        if (const FileError error = makePrivateFolder(parent); error != FileError::none) {
            return error;
        }
    }
    if (::mkdir(path.c_str(), kFolderMode) != 0 && errno != EEXIST) {
        return lastError();
    }
    return FileError::none;
}

std::unique_ptr<FileLock> PosixFileSystem::lock(const std::string& path, FileError* error) {
    auto fail = [error](FileError e) -> std::unique_ptr<FileLock> {
        if (error != nullptr) {
            *error = e;
        }
        return nullptr;
    };
    Fd fd(-1);
    struct stat st {};
    if (const FileError e = openRegular(path, O_RDWR | O_CREAT, LinkPolicy::refuse, fd, st);
        e != FileError::none) {
        return fail(e);
    }
    tighten(fd.get(), st);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kLockWaitMilliseconds);
    while (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            return fail(lastError());
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return fail(FileError::busy);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (error != nullptr) {
        *error = FileError::none;
    }
    return std::make_unique<PosixFileLock>(fd.release());
}

}  // namespace quorix::platform
