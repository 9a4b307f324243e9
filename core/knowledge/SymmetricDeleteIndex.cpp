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
    std::array<uint64_t, kMostKeys> hashes;
    for (uint32_t id = 0; id < count; ++id) {
        std::size_t n = 0;
        forEachDeletion(words[id], kMaxEdits, [&](uint64_t h) {
            // Insertion into the sorted distinct hashes so far (a few dozen).
            h = mixed(h);
            std::size_t at = n;
            while (at > 0 && hashes[at - 1] > h) {
                hashes[at] = hashes[at - 1];
                --at;
            }
            if (at > 0 && hashes[at - 1] == h) {
                // Already there: close the gap opened above.
                std::copy(hashes.begin() + at + 1, hashes.begin() + n + 1, hashes.begin() + at);
                return;
            }
            hashes[at] = h;
            ++n;
        });
        for (std::size_t k = 0; k < n; ++k) {
            keys.push_back(static_cast<uint32_t>(hashes[k]));
        }
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
