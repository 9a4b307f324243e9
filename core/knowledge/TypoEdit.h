#pragma once
// How far apart two words are, in the edits a typing slip makes: a letter
// inserted, dropped, replaced, or two neighbours swapped (optimal string
// alignment distance over code points, compared lowercased).

#include <cstddef>
#include <string_view>

namespace quorix {

std::size_t typoEditDistance(std::string_view a, std::string_view b);

// True when the words differ and are at most one slip apart (two when both
// have five characters or more).
bool isTypoEdit(std::string_view from, std::string_view to);

}  // namespace quorix
