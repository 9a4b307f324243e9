#pragma once
// Finds the words of a fixed list that may lie within two edits of a typed
// word: every word is filed under its first kPrefix letters with up to two
// letters deleted, and a query looks up the same deletions of the typed
// word. Every word within `maxEdits` insertions, deletions, substitutions or
// adjacent transpositions is returned; others may be returned too (shared
// prefixes, hash collisions), so callers verify each candidate.
// Immutable after construction; safe to share between threads.

#include <cstdint>
#include <string_view>
#include <vector>

namespace quorix {

class SymmetricDeleteIndex {
  public:
    static constexpr std::size_t kPrefix = 7;
    static constexpr int kMaxEdits = 2;

    // `words[i]` is filed as id i; the views need not outlive construction.
    explicit SymmetricDeleteIndex(const std::vector<std::u32string_view>& words);

    // Ids of the candidates for `typed` (maxEdits 0..2), sorted, unique.
    void candidates(std::u32string_view typed, int maxEdits, std::vector<uint32_t>& out) const;

    std::size_t entryCount() const { return ids_.size(); }
    std::size_t memoryBytes() const {
        return ids_.capacity() * sizeof(uint32_t) + starts_.capacity() * sizeof(uint32_t);
    }

  private:
    // Calls `visit(hash)` for `s` with every set of at most `maxEdits`
    // positions deleted.
    template <class Visit>
    static void forEachDeletion(std::u32string_view s, int maxEdits, Visit&& visit);
    uint32_t bucketOf(uint64_t hash) const {
        return static_cast<uint32_t>((hash ^ (hash >> 29)) & mask_);
    }

    uint64_t mask_ = 0;
    std::vector<uint32_t> starts_;  // bucket b holds ids_[starts_[b] .. starts_[b+1])
    std::vector<uint32_t> ids_;
};

}  // namespace quorix
