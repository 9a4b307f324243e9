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
    keys.reserve(words.size() * 24);
    std::vector<uint64_t> hashes;
    const auto count = static_cast<uint32_t>(std::min(words.size(), kMaxWords));
    ends.resize(count);
    for (uint32_t id = 0; id < count; ++id) {
        hashes.clear();
        forEachDeletion(words[id], kMaxEdits, [&](uint64_t h) { hashes.push_back(mixed(h)); });
        std::sort(hashes.begin(), hashes.end());
        hashes.erase(std::unique(hashes.begin(), hashes.end()), hashes.end());
        for (const uint64_t h : hashes) {
            keys.push_back(static_cast<uint32_t>(h));
        }
        ends[id] = static_cast<uint32_t>(keys.size());
    }
    // About two entries a bucket: half the memory of one a bucket, for a few
    // more candidates to verify.
    std::size_t buckets = 1;
    while (buckets * 2 < keys.size()) {
        buckets <<= 1;
    }
    mask_ = buckets - 1;
    std::vector<uint32_t> starts(buckets + 1, 0);
    for (const uint32_t key : keys) {
        ++starts[(key & mask_) + 1];
    }
    for (std::size_t b = 0; b < buckets; ++b) {
        starts[b + 1] += starts[b];
    }
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
    ids_.resize(keys.size());
    std::vector<uint32_t> fill(starts.begin(), starts.end() - 1);
    std::size_t k = 0;
    for (uint32_t id = 0; id < count; ++id) {
        const uint32_t length = static_cast<uint32_t>(std::min(words[id].size(), kLongest));
        const uint32_t entry =
            id | length << kLengthShift | folded(letterSet(words[id])) << kSetShift;
        for (; k < ends[id]; ++k) {
            ids_[fill[keys[k] & mask_]++] = entry;
        }
    }
}

}  // namespace quorix
