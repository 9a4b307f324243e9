#include "core/knowledge/SymmetricDeleteIndex.h"

#include <algorithm>
#include <cstdint>

namespace quorix {

SymmetricDeleteIndex::SymmetricDeleteIndex(const std::vector<std::u32string_view>& words) {
    // Each word's distinct deletion keys, word after word (32 bits suffice:
    // a bucket is chosen by the low bits). Loading is what a language's
    // first rejected word waits for, so no (hash, id) pairs are sorted.
    std::vector<uint32_t> keys;
    std::vector<uint32_t> ends;
    keys.reserve(std::min(words.size(), kMaxWords) * kMostKeys);  // never regrown
    const auto count = static_cast<uint32_t>(std::min(words.size(), kMaxWords));
    ends.resize(count);
    // Distinct keys of one word through a small open-addressing set; a slot
    // is in use for the current word when its stamp is the word's.
    constexpr std::size_t kSlots = 64;  // more than twice kMostKeys
    static_assert(kSlots >= 2 * kMostKeys);
    std::array<uint64_t, kSlots> slotHashes{};
    std::array<uint32_t, kSlots> slotStamps{};
    for (uint32_t id = 0; id < count; ++id) {
        const uint32_t stamp = id + 1;
        forEachDeletion(words[id], kMaxEdits, [&](uint64_t h) {
            h = mixed(h);
            std::size_t at = h & (kSlots - 1);
            while (slotStamps[at] == stamp) {
                if (slotHashes[at] == h) {
                    return;
                }
                at = (at + 1) & (kSlots - 1);
            }
            slotStamps[at] = stamp;
            slotHashes[at] = h;
            keys.push_back(static_cast<uint32_t>(h));
        });
        ends[id] = static_cast<uint32_t>(keys.size());
    }
    // About two entries a bucket: half the memory of one a bucket, for a few
    // more candidates to verify.
    unsigned bucketBits = 0;
    while ((std::size_t{2} << bucketBits) < keys.size()) {
        ++bucketBits;
    }
    const std::size_t buckets = std::size_t{1} << bucketBits;
    mask_ = buckets - 1;

    // The (bucket, entry) pairs are first split by the top bits of their
    // bucket, then each part is laid out on its own: the counts and writes
    // of a part stay in cache, where filing all at once would miss on
    // nearly every entry.
    const unsigned partBits = std::min(bucketBits, 8u);
    const unsigned partShift = bucketBits - partBits;
    const std::size_t parts = std::size_t{1} << partBits;
    std::vector<uint32_t> partStarts(parts + 1, 0);
    for (const uint32_t key : keys) {
        ++partStarts[((key & mask_) >> partShift) + 1];
    }
    for (std::size_t p = 0; p < parts; ++p) {
        partStarts[p + 1] += partStarts[p];
    }
    // Entries go to their part of ids_ first, their buckets alongside.
    ids_.resize(keys.size());
    std::vector<uint32_t> partBuckets(keys.size());
    {
        std::vector<uint32_t> fill(partStarts.begin(), partStarts.end() - 1);
        std::size_t k = 0;
        for (uint32_t id = 0; id < count; ++id) {
            const auto length = static_cast<uint32_t>(std::min(words[id].size(), kLongest));
            const uint32_t entry =
                id | length << kLengthShift | folded(letterSet(words[id])) << kSetShift;
            for (; k < ends[id]; ++k) {
                const auto bucket = static_cast<uint32_t>(keys[k] & mask_);
                const uint32_t at = fill[bucket >> partShift]++;
                ids_[at] = entry;
                partBuckets[at] = bucket;
            }
        }
    }
    keys = {};
    ends = {};
    std::vector<uint32_t> starts(buckets + 1, 0);
    std::vector<uint32_t> part;
    for (std::size_t p = 0; p < parts; ++p) {
        const std::size_t first = p << partShift;
        const std::size_t last = first + (std::size_t{1} << partShift);
        for (uint32_t i = partStarts[p]; i < partStarts[p + 1]; ++i) {
            ++starts[partBuckets[i] + 1];
        }
        starts[first] = partStarts[p];
        for (std::size_t b = first; b < last; ++b) {
            starts[b + 1] += starts[b];
        }
        std::vector<uint32_t> fill(starts.begin() + static_cast<long>(first),
                                   starts.begin() + static_cast<long>(last));
        part.assign(ids_.begin() + partStarts[p], ids_.begin() + partStarts[p + 1]);
        for (uint32_t i = partStarts[p]; i < partStarts[p + 1]; ++i) {
            ids_[fill[partBuckets[i] - first]++] = part[i - partStarts[p]];
        }
    }
    partBuckets = {};

    blockStarts_.resize((buckets >> kBlockBits) + 1);
    bucketStarts_.resize(buckets + 1);
    bool narrow = true;
    for (std::size_t b = 0; b <= buckets && narrow; ++b) {
        const std::size_t block = b >> kBlockBits;
        if ((b & ((std::size_t{1} << kBlockBits) - 1)) == 0) {
            blockStarts_[block] = starts[b];
        }
        const uint32_t offset = starts[b] - blockStarts_[block];
        narrow = offset <= UINT16_MAX;
        bucketStarts_[b] = static_cast<uint16_t>(offset);
    }
    if (!narrow) {
        blockStarts_ = {};
        bucketStarts_ = {};
        wideStarts_ = starts;
    }
}

}  // namespace quorix
