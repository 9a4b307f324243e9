#pragma once
// The optimal string alignment distance (insertions, deletions,
// substitutions, adjacent transpositions; no letter edited twice) from one
// typed word to many candidates, bit-parallel: the typed word's column of
// the distance table is one 64-bit word, advanced by a few logic operations
// for each letter of a candidate. Returns what
// KeyboardErrorModel::boundedDistance returns, at a fraction of its cost.
// Immutable after construction; one instance a query.

#include <array>
#include <cstdint>
#include <string_view>

namespace quorix {

class EditDistanceFilter {
  public:
    // Longest word handled bit-parallel (the typed word and each
    // candidate); past it, KeyboardErrorModel::boundedDistance is asked.
    static constexpr std::size_t kLongest = 40;

    explicit EditDistanceFilter(std::u32string_view typed);

    // distance(typed, candidate) when at most `max`, else max + 1.
    int bounded(std::u32string_view candidate, int max) const;
    // Same for a candidate in well-formed UTF-8.
    int boundedUtf8(std::string_view candidate, int max) const;

    // The letter at byte `i` of well-formed UTF-8; `i` moves past it.
    static char32_t nextLetter(std::string_view s, std::size_t& i) {
        const auto b = static_cast<unsigned char>(s[i]);
        const auto more = [&](std::size_t k) {
            return static_cast<char32_t>(static_cast<unsigned char>(s[i + k]) & 0x3F);
        };
        char32_t c = 0;
        if (b < 0x80) {
            c = b;
            i += 1;
        } else if (b < 0xE0) {
            c = static_cast<char32_t>(b & 0x1F) << 6 | more(1);
            i += 2;
        } else if (b < 0xF0) {
            c = static_cast<char32_t>(b & 0x0F) << 12 | more(1) << 6 | more(2);
            i += 3;
        } else {
            c = static_cast<char32_t>(b & 0x07) << 18 | more(1) << 12 | more(2) << 6 | more(3);
            i += 4;
        }
        return c;
    }

  private:
    // Letters below kDirect find their positions by index; the rest by a
    // scan of the typed word.
    static constexpr char32_t kDirect = 0x250;
    uint64_t positions(char32_t c) const;
    // The distance table column by column over `n` candidate letters, each
    // returned by `next()`.
    template <class Next>
    int columns(std::size_t n, Next&& next, int max) const;

    std::u32string_view typed_;
    std::array<uint64_t, kDirect> direct_{};
};

}  // namespace quorix
