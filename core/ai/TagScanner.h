#pragma once
// Finds the tags of a text (one-line markup, one-line bracketed text,
// mentions, channels and hashtags, ticket identifiers) in text order, leftmost
// first, without overlaps: the matches of the pattern
//
//   <[^>\n]+>  |  \[[^\]\n]+\]  |  @\s*(full name | word)  |  #word  |  \bABC-123\b
//
// found in linear time. The bracketed forms are scanned by hand (a regular
// expression would rescan to the end of the line from every unclosed "<" or
// "["); the others are matched by ICU, and never contain "<" or "[".
// Stateless; callable from any thread.

#include <string_view>
#include <vector>

#include "core/text/Regex.h"

namespace quorix {

class TagScanner {
  public:
    // UTF-16 ranges of the tags of `text`.
    static std::vector<text::Range> findAll(std::u16string_view text);
};

}  // namespace quorix
