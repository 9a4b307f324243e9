#pragma once
// Correction cache: message text (trimmed of white space at both ends) to the
// text the correction flow last settled on. A value equal to its key means the
// message was verified correct. Keys are exact: case, inner spacing and
// punctuation are kept as typed.
//
// Bounded to kMaxEntries: an insertion that takes the table past the bound
// removes kEvictionBatch other entries in the table's own iteration order; a
// file holding more than the bound loads kMaxEntries of its entries.
//
// Mirrored to `cache.json` in the configuration folder (one compact JSON object
// of strings). The file is read once by the constructor; every change is
// written off the caller's thread on the I/O queue, and file operations land in
// submission order: a late write never replaces the state of a newer change.
// Each write holds the folder's lock and merges the entries other processes
// stored meanwhile (this process's values win; the bound holds). A file that
// cannot be parsed is kept aside before the first write; a failed write is
// logged once and the table stays in memory for the next change.
//
// Thread: any. Readers (get, count) run concurrently; writers (set, clear) are
// exclusive and take effect in the order they are called. get() costs one trim
// and one hash lookup and performs no I/O.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/config/AppLogger.h"
#include "core/dispatch/Queue.h"
#include "platform/FileSystem.h"

namespace quorix {

class TypoCache {
  public:
    static constexpr std::size_t kMaxEntries = 600;
    static constexpr std::size_t kEvictionBatch = 50;

    // configFolder is not created here; writes into a missing folder fail
    // (logged once). ioQueue runs the file writes and must outlive pending
    // writes or drop them; fs and logger must outlive the queued writes.
    TypoCache(std::string configFolder, platform::FileSystem& fs, dispatch::Queue& ioQueue,
              AppLogger& logger);
    ~TypoCache();
    TypoCache(const TypoCache&) = delete;
    TypoCache& operator=(const TypoCache&) = delete;

    // The stored value for the trimmed text; nullopt when the trimmed text is
    // empty or unknown.
    std::optional<std::string> get(std::string_view text) const;
    // Stores trimmed(corrected) under trimmed(text); ignored when either is
    // empty. A later value replaces an earlier one.
    void set(std::string_view text, std::string_view corrected);
    // Empties the table and deletes the file.
    void clear();
    std::size_t count() const;

    const std::string& filePath() const;
    // Blocks until every file operation queued so far has run or been dropped.
    void flushForTesting();

  private:
    struct State;
    void scheduleFileSync();

    std::shared_ptr<State> state_;
    dispatch::Queue& ioQueue_;
};

}  // namespace quorix
