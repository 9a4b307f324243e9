#pragma once
// Counter arithmetic that never overflows (hand-edited config.json values can be
// anywhere in the 64-bit range).

#include <cstdint>
#include <limits>

namespace quorix {

inline int64_t saturatingAdd(int64_t a, int64_t b) {
    int64_t out;
    if (__builtin_add_overflow(a, b, &out)) {
        return b > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
    }
    return out;
}

}  // namespace quorix
