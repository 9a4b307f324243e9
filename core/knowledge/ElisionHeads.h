#pragma once
// The elided heads of Italian and French, the words an apostrophe may follow
// before a vowel ("dell'", "quest'", "jusqu'"), and the heads a slipped one
// ("dxell'", "qauest'", "lorqsu'") may have been typed for.
// Stateless; safe to share between threads.

#include <span>
#include <string_view>
#include <vector>

namespace quorix {

class KeyboardErrorModel;

class ElisionHeads {
  public:
    // The heads of `language` (lower case, without the apostrophe); empty
    // for a language without elisions.
    static std::span<const std::u32string_view> of(std::string_view language);

    struct Reading {
        std::u32string_view head;
        double logLikelihood = 0;  // log P(typed | head)
    };
    // The heads of two letters or more that `typed` (lower case, without the
    // apostrophe) is within two keyboard slips of, most likely first (ties in
    // list order); none when `typed` is itself a head.
    static std::vector<Reading> readings(std::u32string_view typed, std::string_view language,
                                         const KeyboardErrorModel& errors);
};

}  // namespace quorix
