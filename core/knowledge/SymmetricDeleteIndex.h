#pragma once
// Finds the words of a fixed list that may lie within two edits of a typed
// word: every word is filed under its first kPrefix letters with up to two
// letters deleted, and a query looks up the same deletions of the typed
// word. Every word within `maxEdits` insertions, deletions, substitutions or
// adjacent transpositions is returned; others may be returned too (shared
// prefixes, hash collisions), so callers verify each candidate.
// Immutable after construction; safe to share between threads.

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <string_view>
#include <vector>

namespace quorix {

class SymmetricDeleteIndex {
  public:
    static constexpr std::size_t kPrefix = 7;
    static constexpr int kMaxEdits = 2;
    // Words past this many are not filed.
    static constexpr std::size_t kMaxWords = (std::size_t{1} << 18) - 1;

    // `words[i]` is filed as id i; the views need not outlive construction.
    explicit SymmetricDeleteIndex(const std::vector<std::u32string_view>& words);

    // Ids of the candidates for `typed` (maxEdits 0..2), sorted, unique.
    void candidates(std::u32string_view typed, int maxEdits, std::vector<uint32_t>& out) const {
        out.clear();
        forEachCandidate(typed, maxEdits, [&](uint32_t id) { out.push_back(id); });
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
    }
    // Calls `visit(id)` for each candidate of `typed`, in no order, an id
    // possibly more than once: callers that check candidates anyway sort
    // only the few that pass.
    template <class Visit>
    void forEachCandidate(std::u32string_view typed, int maxEdits, Visit&& visit) const {
        if (ids_.empty()) {
            return;
        }
        const int edits = std::clamp(maxEdits, 0, kMaxEdits);
        const uint32_t typedSet = folded(letterSet(typed));
        // The buckets are fetched from memory together, not one after the
        // other: they are scattered, and waiting for each is most of a query.
        std::array<uint32_t, kMostKeys> buckets;
        std::size_t count = 0;
        forEachDeletion(typed, edits, [&](uint64_t h) {
            buckets[count] = bucketOf(h);
            prefetchStart(buckets[count]);
            ++count;
        });
        std::array<std::pair<uint32_t, uint32_t>, kMostKeys> runs;
        for (std::size_t k = 0; k < count; ++k) {
            runs[k] = {start(buckets[k]), start(buckets[k] + 1)};
            __builtin_prefetch(ids_.data() + runs[k].first);
        }
        const uint32_t typedLength = static_cast<uint32_t>(std::min(typed.size(), kLongest));
        for (std::size_t k = 0; k < count; ++k) {
            for (uint32_t i = runs[k].first; i < runs[k].second; ++i) {
                // Length and letters first, from the entry itself: most ids
                // of a bucket end here without touching the word.
                const uint32_t e = ids_[i];
                const uint32_t length = e >> kLengthShift & kLengthMask;
                const uint32_t gap =
                    length > typedLength ? length - typedLength : typedLength - length;
                const uint32_t set = e >> kSetShift;
                if (gap > static_cast<uint32_t>(edits) || kBitCount[set & ~typedSet] > edits ||
                    kBitCount[typedSet & ~set] > edits) {
                    continue;
                }
                visit(e & kIdMask);
            }
        }
    }

    // The letters of a word as a set: a bit for each of a-z, the rest folded
    // onto six more. Each edit takes at most one letter from either side's
    // set that the other lacks, so words whose sets differ by more are
    // farther apart (folding only merges letters: no true candidate is lost).
    static uint32_t letterSet(std::u32string_view word) {
        uint32_t set = 0;
        for (const char32_t c : word) {
            set |= uint32_t{1} << (c >= U'a' && c <= U'z' ? c - U'a' : 26 + c % 6);
        }
        return set;
    }

    std::size_t entryCount() const { return ids_.size(); }
    std::size_t memoryBytes() const {
        return ids_.capacity() * sizeof(uint32_t) + blockStarts_.capacity() * sizeof(uint32_t) +
               bucketStarts_.capacity() * sizeof(uint16_t) +
               wideStarts_.capacity() * sizeof(uint32_t);
    }

  private:
    // An entry: id (kIdBits), length (6 bits, capped), letter set folded to 8 bits.
    static constexpr uint32_t kIdBits = 18;
    static constexpr uint32_t kIdMask = (uint32_t{1} << kIdBits) - 1;
    static constexpr uint32_t kLengthShift = kIdBits;
    static constexpr uint32_t kLengthMask = 63;
    static constexpr std::size_t kLongest = kLengthMask;
    static constexpr uint32_t kSetShift = kIdBits + 6;
    static uint32_t folded(uint32_t set) { return (set | set >> 8 | set >> 16 | set >> 24) & 0xFF; }
    // Bits set in each byte (no popcount instruction is assumed).
    static constexpr auto kBitCount = [] {
        std::array<int, 256> count{};
        for (std::size_t i = 0; i < count.size(); ++i) {
            count[i] = std::popcount(i);
        }
        return count;
    }();

    // Keys of one query: the prefix, less none, one or two letters.
    static constexpr std::size_t kMostKeys = 1 + kPrefix + kPrefix * (kPrefix - 1) / 2;
    static constexpr uint64_t kFnvOffset = 14695981039346656037ull;
    static constexpr uint64_t kFnvPrime = 1099511628211ull;

    // Calls `visit(hash)` for `s` with every set of at most `maxEdits`
    // positions deleted.
    template <class Visit>
    static void forEachDeletion(std::u32string_view s, int maxEdits, Visit&& visit);
    static uint64_t mixed(uint64_t hash) { return hash ^ (hash >> 29); }
    uint32_t bucketOf(uint64_t hash) const { return static_cast<uint32_t>(mixed(hash) & mask_); }

    // Bucket b holds ids_[start(b) .. start(b + 1)). Its start is its block's
    // (kBlock buckets) plus a 16-bit offset inside the block; when a block
    // holds more entries than 16 bits count, every start is stored whole.
    static constexpr unsigned kBlockBits = 6;
    uint32_t start(uint32_t bucket) const {
        return wideStarts_.empty() ? blockStarts_[bucket >> kBlockBits] + bucketStarts_[bucket]
                                   : wideStarts_[bucket];
    }
    void prefetchStart(uint32_t bucket) const {
        if (wideStarts_.empty()) {
            __builtin_prefetch(&bucketStarts_[bucket]);
            __builtin_prefetch(&blockStarts_[bucket >> kBlockBits]);
        } else {
            __builtin_prefetch(&wideStarts_[bucket]);
        }
    }

    uint64_t mask_ = 0;
    std::vector<uint32_t> blockStarts_;
    std::vector<uint16_t> bucketStarts_;
    std::vector<uint32_t> wideStarts_;
    std::vector<uint32_t> ids_;
};

template <class Visit>
inline void SymmetricDeleteIndex::forEachDeletion(std::u32string_view s, int maxEdits,
                                                  Visit&& visit) {
    const std::u32string_view p = s.substr(0, std::min(s.size(), kPrefix));
    const std::size_t n = p.size();
    // FNV-1a over the kept letters, then the number kept: equal strings of
    // kept letters hash alike whichever positions were skipped. The hash of
    // the letters before a skip is shared by every key skipping there.
    const auto step = [&](uint64_t h, std::size_t i) {
        return (h ^ static_cast<uint64_t>(p[i])) * kFnvPrime;
    };
    const auto finish = [&](uint64_t h, std::size_t from, std::size_t kept) {
        for (std::size_t i = from; i < n; ++i) {
            h = step(h, i);
        }
        return (h ^ static_cast<uint64_t>(kept)) * kFnvPrime;
    };
    std::array<uint64_t, kPrefix + 1> before;  // before[i]: the letters before i
    before[0] = kFnvOffset;
    for (std::size_t i = 0; i < n; ++i) {
        before[i + 1] = step(before[i], i);
    }
    visit(finish(before[n], n, n));
    if (maxEdits < 1) {
        return;
    }
    for (std::size_t a = 0; a < n; ++a) {
        uint64_t h = before[a];  // the letters kept between a and b
        for (std::size_t b = a + 1; b < n && maxEdits >= 2; ++b) {
            visit(finish(h, b + 1, n - 2));
            h = step(h, b);
        }
        visit(finish(before[a], a + 1, n - 1));
    }
}

}  // namespace quorix
