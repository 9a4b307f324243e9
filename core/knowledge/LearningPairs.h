#pragma once
// Word pairs worth learning from one correction of a whole message.
//
// Words are runs of ASCII letters, Latin-1 letters (U+00C0..U+00FF), digits,
// '_', '\'' and '-' (so "l'acqua" is one word). The two texts are paired word
// by word, strictly by position, and only when they hold the same, non-zero
// number of words. A pair (o, c), both lowercased, is kept when o != c, o has
// at least 3 characters and c at least 2. Whether o is already known is the
// caller's concern.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorix {

std::vector<std::pair<std::string, std::string>> learningPairs(std::string_view original,
                                                               std::string_view corrected);

}  // namespace quorix
