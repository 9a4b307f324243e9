#pragma once
// `quorix check [--json] [TEXT]`: the on-device analysis of a message (TEXT or
// standard input), sending nothing and writing nothing: detected language,
// candidate words, first misspelled word, contextual suspicion, link or
// navigation, lone tag, unfinished token, the local dictionary's correction
// and whether a potential typo remains in it, then the keyboard model's pass
// over what the maps left: each rejected word with the chosen candidate, its
// confidence and the runner-up, and the text it leads to.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/knowledge/NoisyChannelCorrector.h"

namespace quorix::cli {

class ServiceRoot;

struct CheckResult {
    std::string text;
    bool workContext = false;  // formal tone setting
    std::string language;
    std::vector<std::string> candidateWords;
    std::optional<std::string> misspelledWord;
    bool contextualSuspicion = false;
    bool linkOrNavigation = false;
    bool loneTag = false;
    std::optional<std::string> unfinishedToken;  // the label, e.g. "Menzione: @mar"
    std::optional<std::string> localCorrection;
    std::optional<bool> localCorrectionHasPotentialTypo;  // only with a local correction
    std::vector<WordDecision> keyboardWords;
    std::optional<std::string> keyboardCorrection;
    std::optional<bool> keyboardCorrectionHasPotentialTypo;  // only with a keyboard correction
};

CheckResult checkText(ServiceRoot& root, const std::string& text);

// One JSON object with the keys text, workContext, language, candidateWords,
// misspelledWord, contextualSuspicion, linkOrNavigation, loneTag,
// unfinishedToken, localCorrection, localCorrectionHasPotentialTypo,
// keyboardModel (one {word, candidate, confidence, runnerUp,
// runnerUpConfidence, applied} per rejected word), keyboardCorrection,
// keyboardCorrectionHasPotentialTypo.
std::string checkResultJSON(const CheckResult& result);
// "key: value" lines in the same order.
std::string checkResultText(const CheckResult& result);

int runCheckCommand(std::span<char* const> args);

}  // namespace quorix::cli
