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

  private:
    // Letters below kDirect find their positions by index; the rest by a
    // scan of the typed word.
    static constexpr char32_t kDirect = 0x250;
    uint64_t positions(char32_t c) const;

    std::u32string_view typed_;
    std::array<uint64_t, kDirect> direct_{};
};

}  // namespace quorix
