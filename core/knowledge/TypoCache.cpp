#include "core/knowledge/TypoCache.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <nlohmann/json.hpp>
#include <shared_mutex>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "core/config/StoredFile.h"
#include "core/text/Text.h"

namespace quorix {

namespace {

using Table = std::unordered_map<std::string, std::string>;

// A top-level JSON object whose members are all strings; nullopt otherwise.
std::optional<Table> parseTable(const std::string& data) {
    const auto doc = nlohmann::json::parse(data, nullptr, /*allow_exceptions=*/false);
    if (!doc.is_object()) {
        return std::nullopt;
    }
    Table table;
    table.reserve(doc.size());
    for (const auto& [key, value] : doc.items()) {
        if (!value.is_string()) {
            return std::nullopt;
        }
        table.emplace(key, value.get<std::string>());
    }
    return table;
}

// Removes up to `count` entries in the table's own iteration order, never the
// entry of `keep`.
void evict(Table& table, std::size_t count, const std::string& keep) {
    for (auto it = table.begin(); count > 0 && it != table.end();) {
        if (it->first == keep) {
            ++it;
            continue;
        }
        it = table.erase(it);
        --count;
    }
}

}  // namespace

// Shared with queued file operations, so that they stay valid whatever the
// lifetime of the TypoCache object.
struct TypoCache::State {
    State(platform::FileSystem& fs, std::string folder, AppLogger& logger)
        : file(fs, std::move(folder), "cache.json", logger), filePath(file.path()) {}

    StoredFile file;  // used under fileMutex only
    const std::string filePath;
    // Keys of the file as this process last read or wrote it (fileMutex):
    // a key on disk outside this set was stored by another process.
    std::unordered_set<std::string> syncedKeys;

    // The table, and whether the file should mirror it or be gone.
    mutable std::shared_mutex mutex;
    Table table;
    std::uint64_t generation = 0;  // bumped by every change
    bool fileWanted = false;       // false after clear(): the file is removed

    // File operations run one at a time; an operation whose generation was
    // already written is skipped, so the newest state always wins.
    std::mutex fileMutex;
    std::uint64_t writtenGeneration = 0;

    // Number of queued file operations not yet finished or dropped.
    std::mutex pendingMutex;
    std::condition_variable pendingCv;
    std::size_t pending = 0;

    void syncFile() {
        std::lock_guard fileLock(fileMutex);
        std::uint64_t target = 0;
        bool wanted = false;
        nlohmann::json doc = nlohmann::json::object();
        {
            std::shared_lock lock(mutex);
            target = generation;
            if (target <= writtenGeneration) {
                return;
            }
            wanted = fileWanted;
            if (wanted) {
                for (const auto& [key, value] : table) {
                    doc[key] = value;
                }
            }
        }
        const auto folderLock = file.lockFolder();
        if (wanted) {
            mergeStoredEntries(doc);
            const std::string data =
                doc.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
            if (file.write(data)) {
                syncedKeys.clear();
                for (const auto& [key, value] : doc.items()) {
                    syncedKeys.insert(key);
                }
            }
        } else if (file.remove()) {
            syncedKeys.clear();
        }
        writtenGeneration = target;
    }

    // Adds the entries other processes stored since this one last synced
    // (entries this process evicted stay out), keeping the bound.
    void mergeStoredEntries(nlohmann::json& doc) {
        const auto data = file.read();
        if (!data) {
            return;
        }
        const auto stored = parseTable(*data);
        if (!stored) {
            file.markDamaged();
            return;
        }
        for (const auto& [key, value] : *stored) {
            if (doc.size() >= kMaxEntries) {
                break;
            }
            if (!doc.contains(key) && !syncedKeys.contains(key)) {
                doc[key] = value;
            }
        }
    }

    void finishPending() {
        std::lock_guard lock(pendingMutex);
        --pending;
        pendingCv.notify_all();
    }
};

namespace {

// Counts a queued file operation as finished when the closure holding it is
// destroyed: after running, or when the queue drops it unrun.
class PendingToken {
  public:
    explicit PendingToken(std::function<void()> onDone) : onDone_(std::move(onDone)) {}
    ~PendingToken() { onDone_(); }
    PendingToken(const PendingToken&) = delete;
    PendingToken& operator=(const PendingToken&) = delete;

  private:
    std::function<void()> onDone_;
};

}  // namespace

TypoCache::TypoCache(std::string configFolder, platform::FileSystem& fs, dispatch::Queue& ioQueue,
                     AppLogger& logger)
    : state_(std::make_shared<State>(fs, std::move(configFolder), logger)), ioQueue_(ioQueue) {
    std::lock_guard fileLock(state_->fileMutex);
    if (auto data = state_->file.read()) {
        if (auto table = parseTable(*data)) {
            for (const auto& [key, value] : *table) {
                state_->syncedKeys.insert(key);
            }
            // A file written by another build may hold more than the bound.
            if (table->size() > kMaxEntries) {
                evict(*table, table->size() - kMaxEntries, {});
            }
            std::unique_lock lock(state_->mutex);
            state_->table = std::move(*table);
        } else {
            state_->file.markDamaged();
        }
    }
}

TypoCache::~TypoCache() = default;

std::optional<std::string> TypoCache::get(std::string_view text) const {
    const std::string key = text::trim(text);
    if (key.empty()) {
        return std::nullopt;
    }
    std::shared_lock lock(state_->mutex);
    const auto it = state_->table.find(key);
    if (it == state_->table.end()) {
        return std::nullopt;
    }
    return it->second;
}

void TypoCache::set(std::string_view text, std::string_view corrected) {
    std::string key = text::trim(text);
    std::string value = text::trim(corrected);
    if (key.empty() || value.empty()) {
        return;
    }
    {
        std::unique_lock lock(state_->mutex);
        auto& table = state_->table;
        const auto stored = table.insert_or_assign(std::move(key), std::move(value)).first;
        if (table.size() > kMaxEntries) {
            evict(table, kEvictionBatch, stored->first);
        }
        ++state_->generation;
        state_->fileWanted = true;
    }
    scheduleFileSync();
}

void TypoCache::clear() {
    {
        std::unique_lock lock(state_->mutex);
        state_->table.clear();
        ++state_->generation;
        state_->fileWanted = false;
    }
    scheduleFileSync();
}

std::size_t TypoCache::count() const {
    std::shared_lock lock(state_->mutex);
    return state_->table.size();
}

const std::string& TypoCache::filePath() const {
    return state_->filePath;
}

void TypoCache::flushForTesting() {
    std::unique_lock lock(state_->pendingMutex);
    state_->pendingCv.wait(lock, [this] { return state_->pending == 0; });
}

void TypoCache::scheduleFileSync() {
    {
        std::lock_guard lock(state_->pendingMutex);
        ++state_->pending;
    }
    auto state = state_;
    auto token = std::make_shared<PendingToken>([state] { state->finishPending(); });
    ioQueue_.async([state, token] { state->syncFile(); });
}

}  // namespace quorix
