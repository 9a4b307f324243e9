#pragma once
// The maps alone, the keyboard model alone, the whole local stage (maps then
// keyboard model) and the naive first-suggestion corrector, measured in one
// run on the same inputs:
//  - generated keyboard slips, one per held-out catalog sentence (the odd rows
//    of each language; the even rows calibrated the model), per language:
//    slipped words fixed (recall) and precision of changed words; the same
//    sentences unslipped: share changed;
//  - the Italian chat set: messages fully corrected, word precision;
//  - a real misspelling list (English): coverage and precision of one-word
//    corrections.

#include <cstddef>
#include <string>

#include "tools/typo-eval/InProcessCorrector.h"
#include "tools/typo-eval/MisspellingCheck.h"

namespace quorix::typoeval {

void reportHeldOutSlips(InProcessCorrector& local, const std::string& catalog, std::size_t errors);

void reportChatSideBySide(InProcessCorrector& local, const std::string& chat, std::size_t errors);

// Real-word slips (one valid word typed for another): how many the local
// stage fixes, and for how many the context model alone prefers the intended
// word to the typed one between the same neighbours.
void reportRealWordSlips(InProcessCorrector& local, const std::string& slips);

// The naive corrector runs on the first `naiveLimit` entries only (its
// suggestion call takes milliseconds); the keyboard model's first `errors`
// wrong changes are listed.
void reportMisspellingsSideBySide(InProcessCorrector& local, const std::string& name,
                                  const MisspellingList& list, std::size_t naiveLimit,
                                  std::size_t errors = 0);

}  // namespace quorix::typoeval
