#include "platform/sim/SimJournal.h"

#include <chrono>

namespace quorix::platform {

namespace {

std::string makeLine(std::string_view kind, std::string_view detail) {
    std::string line(kind);
    if (!detail.empty()) {
        line += ' ';
        line += detail;
    }
    return line;
}

}  // namespace

SimJournal::SimJournal(const dispatch::Clock& clock) : clock_(clock) {}

SimJournal::EntryId SimJournal::record(std::string_view kind, std::string_view detail) {
    SimJournalEntry e{clock_.now(), std::string(kind), makeLine(kind, detail)};
    std::lock_guard lock(mutex_);
    entries_.push_back(std::move(e));
    return base_ + entries_.size() - 1;
}

void SimJournal::amend(EntryId id, std::string_view detail) {
    std::lock_guard lock(mutex_);
    if (id < base_ || id - base_ >= entries_.size()) {
        return;
    }
    auto& e = entries_[id - base_];
    e.line = makeLine(e.kind, detail);
}

bool SimJournal::selected(const SimJournalEntry& e, const std::vector<std::string>& kinds) {
    if (kinds.empty()) {
        return true;
    }
    const std::string_view family = std::string_view(e.kind).substr(0, e.kind.find('.'));
    for (const auto& k : kinds) {
        if (k == e.kind || k == family) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> SimJournal::lines(const std::vector<std::string>& kinds) const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> out;
    for (const auto& e : entries_) {
        if (selected(e, kinds)) {
            out.push_back(e.line);
        }
    }
    return out;
}

std::vector<std::string> SimJournal::timedLines(const std::vector<std::string>& kinds) const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> out;
    for (const auto& e : entries_) {
        if (!selected(e, kinds)) {
            continue;
        }
        out.push_back(formatDuration(e.time) + " " + e.line);
    }
    return out;
}

std::vector<SimJournalEntry> SimJournal::entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
}

std::size_t SimJournal::size() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
}

void SimJournal::clear() {
    std::lock_guard lock(mutex_);
    base_ += entries_.size();
    entries_.clear();
}

std::string SimJournal::dump() const {
    std::string out;
    for (const auto& line : timedLines()) {
        out += line;
        out += '\n';
    }
    return out;
}

std::string SimJournal::quote(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                out += c;
        }
    }
    out += '"';
    return out;
}

std::string SimJournal::formatDuration(dispatch::Duration d) {
    using namespace std::chrono;
    if (d % milliseconds(1) == dispatch::Duration::zero()) {
        return std::to_string(duration_cast<milliseconds>(d).count()) + "ms";
    }
    if (d % microseconds(1) == dispatch::Duration::zero()) {
        return std::to_string(duration_cast<microseconds>(d).count()) + "us";
    }
    return std::to_string(d.count()) + "ns";
}

}  // namespace quorix::platform
