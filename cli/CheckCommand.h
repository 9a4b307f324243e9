#pragma once
// `quorix check [--json] [TEXT]`: the on-device analysis of a message (TEXT or
// standard input), sending nothing and writing nothing: detected language,
// candidate words, first misspelled word, contextual suspicion, link or
// navigation, lone tag, unfinished token, the local dictionary's correction
// and whether a potential typo remains in it.

#include <optional>
#include <span>
#include <string>
#include <vector>

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
};

CheckResult checkText(ServiceRoot& root, const std::string& text);

// One JSON object with the keys text, workContext, language, candidateWords,
// misspelledWord, contextualSuspicion, linkOrNavigation, loneTag,
// unfinishedToken, localCorrection, localCorrectionHasPotentialTypo.
std::string checkResultJSON(const CheckResult& result);
// "key: value" lines in the same order.
std::string checkResultText(const CheckResult& result);

int runCheckCommand(std::span<char* const> args);

}  // namespace quorix::cli
