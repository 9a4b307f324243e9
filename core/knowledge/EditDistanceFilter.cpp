#include "core/knowledge/EditDistanceFilter.h"

#include <cstdlib>

#include "core/knowledge/KeyboardErrorModel.h"
#include "core/text/Text.h"

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
    if (std::abs(static_cast<long>(typed_.size()) - static_cast<long>(candidate.size())) > max) {
        return max + 1;
    }
    if (typed_.size() > kLongest || candidate.size() > kLongest) {
        return KeyboardErrorModel::boundedDistance(candidate, typed_, max);
    }
    std::size_t i = 0;
    return columns(
        candidate.size(), [&] { return candidate[i++]; }, max);
}

int EditDistanceFilter::boundedUtf8(std::string_view candidate, int max) const {
    std::size_t letters = 0;
    for (const char c : candidate) {
        letters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }
    if (std::abs(static_cast<long>(typed_.size()) - static_cast<long>(letters)) > max) {
        return max + 1;
    }
    if (typed_.size() > kLongest || letters > kLongest) {
        return KeyboardErrorModel::boundedDistance(text::toUtf32(candidate), typed_, max);
    }
    std::size_t i = 0;
    return columns(
        letters, [&] { return nextLetter(candidate, i); }, max);
}

template <class Next>
int EditDistanceFilter::columns(std::size_t n, Next&& next, int max) const {
    const std::size_t m = typed_.size();
    const int over = max + 1;
    if (m == 0) {
        return static_cast<int>(n);
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
    for (std::size_t j = 1; j <= n; ++j) {
        const uint64_t pm = positions(next());
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
        // The bottom row can drop by at most one a remaining column.
        if (last - static_cast<int>(n - j) > max) {
            return over;
        }
    }
    return last > max ? over : last;
}

}  // namespace quorix
