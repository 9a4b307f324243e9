#pragma once
// The word-level summary of one correction that the popover shows: the first
// changed run of words before and after correction, with a few unchanged
// words of context on each side.
//
// Words are the pieces between runs of Unicode white space; they compare by
// exact string equality and are joined with one space. Lengths ("21
// characters or more") count grapheme clusters.

#include <string>
#include <string_view>

namespace quorix::text {

struct TextDiffSnippet {
    // Up to maxContextWords unchanged words before the change; may start with
    // "…"; ends with one space when not empty.
    std::string preContext;
    // The changed words before correction ("—" when words were only added).
    std::string origDiff;
    // The changed words after correction ("—" when words were only removed).
    std::string fixedDiff;
    // Up to maxContextWords unchanged words after the change; starts with one
    // space when not empty; may end with "…".
    std::string postContext;

    // A negative maxContextWords counts as 0.
    static TextDiffSnippet compute(std::string_view orig, std::string_view fixed,
                                   int maxContextWords);

    bool operator==(const TextDiffSnippet&) const = default;
};

}  // namespace quorix::text
