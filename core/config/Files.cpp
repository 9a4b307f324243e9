#include "core/config/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace quorix::files {
namespace {

constexpr mode_t kFileMode = 0600;
constexpr mode_t kFolderMode = 0700;

bool writeFully(int fd, std::string_view data) {
    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// Brings an existing file written by an older build down to 0600.
void tightenFile(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 07777) != kFileMode) {
        ::fchmod(fd, kFileMode);
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

}  // namespace

std::optional<std::string> readAll(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::string out;
    char buf[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return out;
}

bool writeAtomic(const std::string& path, std::string_view data) {
    const auto slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string folder = parentOf(path);
    std::string tmpl = join(folder, "." + name + ".tmp.XXXXXX");
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    const int fd = ::mkostemp(buf.data(), O_CLOEXEC);  // created 0600
    if (fd < 0) {
        return false;
    }
    const std::string tmpPath(buf.data());
    bool ok = ::fchmod(fd, kFileMode) == 0 && writeFully(fd, data) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(tmpPath.c_str(), path.c_str()) == 0) {
        return true;
    }
    ::unlink(tmpPath.c_str());
    return false;
}

bool writePlain(const std::string& path, std::string_view data) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kFileMode);
    if (fd < 0) {
        return false;
    }
    tightenFile(fd);
    const bool ok = writeFully(fd, data);
    return (::close(fd) == 0) && ok;
}

bool append(const std::string& path, std::string_view data) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, kFileMode);
    if (fd < 0) {
        return false;
    }
    tightenFile(fd);
    // One write() per call: O_APPEND moves to the end and writes under the
    // inode lock, so concurrent appends never interleave or overwrite.
    bool ok;
    for (;;) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        ok = n >= 0 && static_cast<std::size_t>(n) == data.size();
        if (n >= 0 && !ok) {
            ok = writeFully(fd, data.substr(static_cast<std::size_t>(n)));
        }
        break;
    }
    return (::close(fd) == 0) && ok;
}

bool remove(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

bool ensurePrivateFolder(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    if (isFolder(path)) {
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && (st.st_mode & 07777) != kFolderMode) {
            return ::chmod(path.c_str(), kFolderMode) == 0;
        }
        return true;
    }
    const std::string parent = parentOf(path);
    if (parent != path && !isFolder(parent) && !ensurePrivateFolder(parent)) {
        return false;
    }
    if (::mkdir(path.c_str(), kFolderMode) != 0 && errno != EEXIST) {
        return false;
    }
    // mkdir applies the umask; the final folder must be exactly 0700.
    return ::chmod(path.c_str(), kFolderMode) == 0;
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::string join(std::string_view a, std::string_view b) {
    std::string out(a);
    if (out.empty() || out.back() != '/') {
        out.push_back('/');
    }
    out.append(b);
    return out;
}

}  // namespace quorix::files
