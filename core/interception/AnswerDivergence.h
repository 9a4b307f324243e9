#pragma once
// How far an AI answer strays from the message it should only correct. Words
// are compared after lowercasing and trimming punctuation, aligned by the
// fewest insertions, deletions and replacements; replacing a word by one a
// typing slip away (isTypoEdit) is a correction, not a change.

#include <cstddef>
#include <string_view>

namespace quorix {

struct AnswerDivergence {
    std::size_t changedWords = 0;  // inserted, deleted or replaced by another word
    std::size_t wordCount = 0;     // words of the message
    std::size_t answerLength = 0;  // characters, trimmed
    std::size_t textLength = 0;    // characters, trimmed

    static AnswerDivergence measure(std::string_view text, std::string_view answer);

    // More than half of the words changed, or the lengths differ by more than
    // half of the message's length: another message, not a correction.
    bool isTooDifferent() const;
};

}  // namespace quorix
