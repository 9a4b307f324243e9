#pragma once
// Where the keyboard model's misses are: for each generated slip of the
// calibration rows (the even catalog rows, the calibration seed), the one
// reason it was not fixed, in the language of the row (no detection):
//  - accepted: the slip is a lexicon word (a real-word slip, not this step's);
//  - rule: no decision was asked for (a name's capital, a code-like token, a
//    kept token, too short, ...);
//  - outside lexicon: the intended word is not a lexicon word;
//  - beyond search: the intended word is more edits away than searched;
//  - not first: another candidate scored higher (runner-up or lower);
//  - gated: the intended word was first but under the confidence or margin
//    threshold;
// plus the fixed and the wrong (changed into another word) ones, and how
// many slipped rows are read in another language (the detector's language
// as the spell checkers' vote leaves it).

#include <cstddef>
#include <string>

#include "tools/typo-eval/InProcessCorrector.h"

namespace quorix::typoeval {

void reportMissBreakdown(InProcessCorrector& local, const std::string& catalog,
                         std::size_t examples);

// The words of the Italian chat set the whole local stage leaves unfixed,
// with the keyboard model's suggestion for each.
void reportChatMisses(InProcessCorrector& local, const std::string& chat);

}  // namespace quorix::typoeval
