#pragma once
// "Never change this word again": the one operation behind `quorix forget` and
// the preferences. Removes the learned pair of the word, adds the word to the
// personal dictionary (so no pair of any source replaces it any more) and
// clears the correction cache (which may hold corrections made with it).

#include <optional>
#include <string>
#include <string_view>

#include "core/config/AppConfig.h"
#include "core/knowledge/LocalTypoDictionary.h"
#include "core/knowledge/TypoCache.h"

namespace quorix {

struct ForgottenWord {
    std::string word;                              // lowercased and trimmed
    std::optional<std::string> learnedCorrection;  // the pair removed, if any
};

// nullopt when `word` is blank (nothing is changed then).
std::optional<ForgottenWord> forgetWord(std::string_view word, LocalTypoDictionary& dictionary,
                                        AppConfig& config, TypoCache& cache);

}  // namespace quorix
