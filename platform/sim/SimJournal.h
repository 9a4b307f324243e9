#pragma once
// The simulated desktop's journal: one line per observable action (posted and
// user keys, sleeps, pasteboard writes, value sets, sounds, sent messages,
// notices), stamped with the virtual time at which it happened. Tests assert
// whole sequences through lines().
//
// Line forms (kind first):
//   post ⌘A down | post ⏎ up | post ⌘A down unmarked | post A down data=7
//   key c pass | key ⏎ swallow | hook swallowed posted ⏎
//   sleep 25ms | sleep 6500us
//   pb.set "text" | pb.clear | pb.copy "text" | pb.nontext image
//   ax.set ok "text" | ax.set failure "text" | ax.prompt
//   sound Pop | send "ciao" | <kind> <detail> for record()
//
// Thread: any; each call is atomic.

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/dispatch/Clock.h"

namespace quorix::platform {

struct SimJournalEntry {
    dispatch::Instant time{0};
    std::string kind;  // first word of the line ("post", "sleep", "pb.set", ...)
    std::string line;  // the whole line, kind included
};

class SimJournal {
  public:
    using EntryId = std::size_t;

    // clock stamps the entries; it must outlive the journal.
    explicit SimJournal(const dispatch::Clock& clock);

    // Appends "<kind> <detail>" (or "<kind>" when detail is empty).
    EntryId record(std::string_view kind, std::string_view detail = {});
    // Replaces the detail of an entry already recorded (the line keeps its place
    // in the sequence). Unknown ids, e.g. after clear(), are ignored.
    void amend(EntryId id, std::string_view detail);

    // Lines in order; with kinds non-empty, only entries whose kind is listed.
    // A kind "pb" also selects "pb.set", "pb.clear", ... (prefix before '.').
    std::vector<std::string> lines(const std::vector<std::string>& kinds = {}) const;
    // Lines prefixed with the virtual time in milliseconds ("12ms post ⏎ down").
    std::vector<std::string> timedLines(const std::vector<std::string>& kinds = {}) const;
    std::vector<SimJournalEntry> entries() const;
    std::size_t size() const;
    void clear();
    // All lines joined by '\n' (for failure messages).
    std::string dump() const;

    // Quotes text for a journal line: "..." with \", \\ and \n escaped.
    static std::string quote(std::string_view text);
    // "25ms" when d is a whole number of milliseconds, else "6500us" / "12ns".
    static std::string formatDuration(dispatch::Duration d);

  private:
    static bool selected(const SimJournalEntry& e, const std::vector<std::string>& kinds);

    const dispatch::Clock& clock_;
    mutable std::mutex mutex_;
    std::vector<SimJournalEntry> entries_;
    EntryId base_ = 0;  // id of entries_[0]; grows on clear() so stale ids miss
};

}  // namespace quorix::platform
