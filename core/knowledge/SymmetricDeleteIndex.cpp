#include "core/knowledge/SymmetricDeleteIndex.h"

#include <algorithm>

namespace quorix {

namespace {

constexpr uint64_t kFnvOffset = 14695981039346656037ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;

}  // namespace

template <class Visit>
void SymmetricDeleteIndex::forEachDeletion(std::u32string_view s, int maxEdits, Visit&& visit) {
    const std::u32string_view p = s.substr(0, std::min(s.size(), kPrefix));
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    // The length is hashed in after the letters: equal strings of kept
    // letters hash alike whichever positions were skipped.
    const auto hashKept = [&](std::size_t a, std::size_t b) {
        const std::size_t kept = p.size() - (a != kNone) - (b != kNone);
        uint64_t h = kFnvOffset;
        for (std::size_t i = 0; i < p.size(); ++i) {
            if (i != a && i != b) {
                h = (h ^ static_cast<uint64_t>(p[i])) * kFnvPrime;
            }
        }
        return (h ^ static_cast<uint64_t>(kept)) * kFnvPrime;
    };
    visit(hashKept(kNone, kNone));
    if (maxEdits < 1) {
        return;
    }
    for (std::size_t a = 0; a < p.size(); ++a) {
        visit(hashKept(a, kNone));
        if (maxEdits < 2) {
            continue;
        }
        for (std::size_t b = a + 1; b < p.size(); ++b) {
            visit(hashKept(a, b));
        }
    }
}

SymmetricDeleteIndex::SymmetricDeleteIndex(const std::vector<std::u32string_view>& words) {
    std::vector<uint64_t> hashes;
    std::vector<std::pair<uint64_t, uint32_t>> entries;
    entries.reserve(words.size() * 24);
    for (uint32_t id = 0; id < words.size(); ++id) {
        hashes.clear();
        forEachDeletion(words[id], kMaxEdits, [&](uint64_t h) { hashes.push_back(h); });
        std::sort(hashes.begin(), hashes.end());
        hashes.erase(std::unique(hashes.begin(), hashes.end()), hashes.end());
        for (const uint64_t h : hashes) {
            entries.emplace_back(h, id);
        }
    }
    // About two entries a bucket: half the memory of one a bucket, for a few
    // more candidates to verify.
    std::size_t buckets = 1;
    while (buckets * 2 < entries.size()) {
        buckets <<= 1;
    }
    mask_ = buckets - 1;
    starts_.assign(buckets + 1, 0);
    for (const auto& [h, id] : entries) {
        ++starts_[bucketOf(h) + 1];
    }
    for (std::size_t b = 0; b < buckets; ++b) {
        starts_[b + 1] += starts_[b];
    }
    ids_.resize(entries.size());
    std::vector<uint32_t> fill(starts_.begin(), starts_.end() - 1);
    for (const auto& [h, id] : entries) {
        ids_[fill[bucketOf(h)]++] = id;
    }
}

void SymmetricDeleteIndex::candidates(std::u32string_view typed, int maxEdits,
                                      std::vector<uint32_t>& out) const {
    out.clear();
    if (ids_.empty()) {
        return;
    }
    forEachDeletion(typed, std::clamp(maxEdits, 0, kMaxEdits), [&](uint64_t h) {
        const uint32_t b = bucketOf(h);
        out.insert(out.end(), ids_.begin() + starts_[b], ids_.begin() + starts_[b + 1]);
    });
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
}

}  // namespace quorix
