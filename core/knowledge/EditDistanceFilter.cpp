#include "core/knowledge/EditDistanceFilter.h"

#include <cstdlib>

#include "core/knowledge/KeyboardErrorModel.h"

namespace quorix {

EditDistanceFilter::EditDistanceFilter(std::u32string_view typed) : typed_(typed) {
    if (typed.size() > kLongest) {
        return;
    }
    for (std::size_t i = 0; i < typed.size(); ++i) {
        if (typed[i] < kDirect) {
            direct_[typed[i]] |= uint64_t{1} << i;
        }
    }
}

uint64_t EditDistanceFilter::positions(char32_t c) const {
    if (c < kDirect) {
        return direct_[c];
    }
    uint64_t bits = 0;
    for (std::size_t i = 0; i < typed_.size(); ++i) {
        bits |= static_cast<uint64_t>(typed_[i] == c) << i;
    }
    return bits;
}

int EditDistanceFilter::bounded(std::u32string_view candidate, int max) const {
    const std::size_t m = typed_.size();
    const int over = max + 1;
    if (std::abs(static_cast<long>(m) - static_cast<long>(candidate.size())) > max) {
        return over;
    }
    if (m > kLongest || candidate.size() > kLongest) {
        return KeyboardErrorModel::boundedDistance(candidate, typed_, max);
    }
    if (m == 0) {
        return static_cast<int>(candidate.size());
    }
    // Bit i of the column vectors is row i + 1 of the table (typed letters),
    // one column per candidate letter: VP/VN, the rows where the value grows
    // or shrinks by one going down; D0, the rows where the diagonal step is
    // free; `last` tracks the bottom row.
    const uint64_t top = uint64_t{1} << (m - 1);
    uint64_t vp = ~uint64_t{0};
    uint64_t vn = 0;
    uint64_t d0 = 0;
    uint64_t previous = 0;  // positions of the previous candidate letter
    int last = static_cast<int>(m);
    std::size_t j = 0;
    for (const char32_t c : candidate) {
        const uint64_t pm = positions(c);
        // A swap: typed i-1, i equal candidate j, j-1, the cell two back
        // diagonally not already free.
        const uint64_t swapped = ((~d0 & pm) << 1) & previous;
        d0 = (((pm & vp) + vp) ^ vp) | pm | vn | swapped;
        uint64_t hp = vn | ~(d0 | vp);
        const uint64_t hn = d0 & vp;
        last += (hp & top) != 0 ? 1 : (hn & top) != 0 ? -1 : 0;
        hp = (hp << 1) | 1;
        vp = (hn << 1) | ~(d0 | hp);
        vn = hp & d0;
        previous = pm;
        ++j;
        // The bottom row can drop by at most one a remaining column.
        if (last - static_cast<int>(candidate.size() - j) > max) {
            return over;
        }
    }
    return last > max ? over : last;
}

}  // namespace quorix
