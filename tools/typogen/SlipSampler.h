#pragma once
// Deterministic generated slips for calibrating and measuring the on-device
// keyboard model: one word of a clean sentence replaced by one of its slips
// (EditGenerator), drawn by likelihood with a seeded Mersenne Twister (whose
// sequence the C++ standard fixes), so equal inputs give equal slips.

#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "tools/typogen/EditGenerator.h"

namespace quorix::typogen {

struct SlippedSentence {
    std::string input;     // the sentence with the slip
    std::string expected;  // the clean sentence
    std::string typo;      // the slipped word as typed
    std::string word;      // the word it stands for, as in the sentence
};

class SlipSampler {
  public:
    // `acceptedAnywhere`: whether a spell checker of any language accepts a
    // word (such slips are real words and never reach the corrector).
    SlipSampler(std::string language, uint32_t seed,
                std::function<bool(std::string_view)> acceptedAnywhere);

    // `sentence` with one word of at least three letters (not in capitals)
    // slipped; nullopt when no word yields a slip that every spell checker
    // rejects.
    std::optional<SlippedSentence> slip(std::string_view sentence);

  private:
    std::optional<std::u32string> slipOf(std::u32string_view lowerWord);
    double uniform();

    std::string language_;
    EditGenerator edits_;
    std::mt19937 rng_;
    std::function<bool(std::string_view)> acceptedAnywhere_;
};

}  // namespace quorix::typogen
