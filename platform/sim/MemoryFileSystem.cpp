#include "platform/sim/MemoryFileSystem.h"

#include <algorithm>

namespace quorix::platform {

class MemoryFileSystem::Lock final : public FileLock {
  public:
    Lock(MemoryFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
    ~Lock() override { fs_.releaseLock(path_); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

  private:
    MemoryFileSystem& fs_;
    const std::string path_;
};

void MemoryFileSystem::failOn(Operation operation, const std::string& prefix, FileError error) {
    std::lock_guard lock(mutex_);
    failures_.push_back({operation, prefix, error});
}

void MemoryFileSystem::clearFailures() {
    std::lock_guard lock(mutex_);
    failures_.clear();
}

void MemoryFileSystem::putSpecial(const std::string& path) {
    std::lock_guard lock(mutex_);
    files_[path] = File{{}, 0644, true};
}

void MemoryFileSystem::put(const std::string& path, std::string data, unsigned mode) {
    std::lock_guard lock(mutex_);
    files_[path] = File{std::move(data), mode, false};
}

std::optional<std::string> MemoryFileSystem::content(const std::string& path) const {
    std::lock_guard lock(mutex_);
    const auto it = files_.find(path);
    if (it == files_.end() || it->second.special) {
        return std::nullopt;
    }
    return it->second.data;
}

std::optional<unsigned> MemoryFileSystem::mode(const std::string& path) const {
    std::lock_guard lock(mutex_);
    const auto it = files_.find(path);
    return it == files_.end() ? std::nullopt : std::optional<unsigned>(it->second.mode);
}

std::vector<std::string> MemoryFileSystem::paths() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> out;
    for (const auto& [path, file] : files_) {
        out.push_back(path);
    }
    return out;
}

FileError MemoryFileSystem::injected(Operation operation, const std::string& path) const {
    for (const auto& f : failures_) {
        if (f.operation == operation && path.starts_with(f.prefix)) {
            return f.error;
        }
    }
    return FileError::none;
}

FileRead MemoryFileSystem::read(const std::string& path, std::size_t limit, LinkPolicy) {
    std::lock_guard lock(mutex_);
    FileRead result;
    if ((result.error = injected(Operation::read, path)) != FileError::none) {
        return result;
    }
    const auto it = files_.find(path);
    if (it == files_.end()) {
        result.error = FileError::notFound;
    } else if (it->second.special) {
        result.error = FileError::notRegular;
    } else if (it->second.data.size() > limit) {
        result.error = FileError::tooLarge;
    } else {
        result.data = it->second.data;
    }
    return result;
}

FileError MemoryFileSystem::writeAtomic(const std::string& path, std::string_view data,
                                        unsigned mode) {
    std::lock_guard lock(mutex_);
    if (const FileError e = injected(Operation::write, path); e != FileError::none) {
        return e;
    }
    files_[path] = File{std::string(data), mode, false};
    return FileError::none;
}

FileAppend MemoryFileSystem::append(const std::string& path, std::string_view data) {
    std::lock_guard lock(mutex_);
    FileAppend result;
    if ((result.error = injected(Operation::append, path)) != FileError::none) {
        return result;
    }
    File& file = files_[path];
    if (file.special) {
        result.error = FileError::notRegular;
        return result;
    }
    file.data.append(data);
    file.mode &= 0700;
    result.sizeAfter = file.data.size();
    return result;
}

std::optional<std::vector<std::string>> MemoryFileSystem::list(const std::string& folder) {
    std::lock_guard lock(mutex_);
    const std::string prefix = joinPath(folder, "");
    std::set<std::string> names;
    bool found = folders_.contains(folder);
    for (const auto& [path, file] : files_) {
        if (path.starts_with(prefix)) {
            found = true;
            const std::string rest = path.substr(prefix.size());
            names.insert(rest.substr(0, rest.find('/')));
        }
    }
    if (!found) {
        return std::nullopt;
    }
    return std::vector<std::string>(names.begin(), names.end());
}

bool MemoryFileSystem::exists(const std::string& path) {
    std::lock_guard lock(mutex_);
    return files_.contains(path) || folders_.contains(path);
}

FileError MemoryFileSystem::remove(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (const FileError e = injected(Operation::remove, path); e != FileError::none) {
        return e;
    }
    return files_.erase(path) == 1 ? FileError::none : FileError::notFound;
}

FileError MemoryFileSystem::rename(const std::string& from, const std::string& to) {
    std::lock_guard lock(mutex_);
    if (const FileError e = injected(Operation::rename, from); e != FileError::none) {
        return e;
    }
    const auto it = files_.find(from);
    if (it == files_.end()) {
        return FileError::notFound;
    }
    File moved = std::move(it->second);
    files_.erase(it);
    moved.mode &= 0700;
    files_[to] = std::move(moved);
    return FileError::none;
}

FileError MemoryFileSystem::makePrivateFolder(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (const FileError e = injected(Operation::makeFolder, path); e != FileError::none) {
        return e;
    }
    folders_.insert(path);
    return FileError::none;
}

std::unique_ptr<FileLock> MemoryFileSystem::lock(const std::string& path, FileError* error) {
    std::unique_lock lock(mutex_);
    lockReleased_.wait(lock, [&] { return !locked_.contains(path); });
    locked_.insert(path);
    if (error != nullptr) {
        *error = FileError::none;
    }
    return std::make_unique<Lock>(*this, path);
}

void MemoryFileSystem::releaseLock(const std::string& path) {
    {
        std::lock_guard lock(mutex_);
        locked_.erase(path);
    }
    lockReleased_.notify_all();
}

}  // namespace quorix::platform
