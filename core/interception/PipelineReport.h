#pragma once
// How one correction run ended, reported to an observer at the exit step (just
// before the task that clears isWorking is queued). Used by `quorix correct`,
// tests and benchmarks; the flow itself never reads it.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quorix {

// The exits that send the text as typed (autocompleteInProgress holds it).
enum class PipelineExit {
    clipboardUnchanged,      // nothing was copied: Return goes through
    blankText,               // the field holds only white space
    autocompleteInProgress,  // a mention or emoji completion is open: no Return
    linkOnly,                // the text is a link or navigation
    singleTag,               // the text is one tag or mention
    cachedAsCorrect,         // the cache knows the text as correct
    allWordsValid,           // no misspelling and no contextual suspicion
    truncatedAnswer,         // the AI answer is too short to be the text
    blankAnswer,             // the AI answered nothing
    answerUnchanged,         // the AI changed no word
    noOfflineCorrection,     // the AI failed and no local correction applies
    localDeadline,           // the local stages ran out of time
};

// "E1".."E12": the exit's name in reports, JSON and log lines.
constexpr std::string_view exitCode(PipelineExit exit) {
    constexpr std::array<std::string_view, 12> kCodes{"E1", "E2", "E3", "E4",  "E5",  "E6",
                                                      "E7", "E8", "E9", "E10", "E11", "E12"};
    return kCodes[static_cast<std::size_t>(exit)];
}

struct PipelineReport {
    // exitCode() of a PipelineExit for the exits that send (or, E3, hold) the
    // text as typed, "E12" among them when the local stages ran out of time;
    // "cache", "local", "offline", "ai" for the outcome variants that apply a
    // correction; "terminal" when the capture refused to copy in a terminal
    // and let the Return through. "bypass" is not reported (no run starts).
    std::string path;
    std::string capturedText;                // as captured ("" when none)
    std::optional<std::string> appliedText;  // the text written back, for the variants
    std::optional<std::string> changedWord;  // as passed to the notice
    bool returnPosted = true;                // false only for E3
};

}  // namespace quorix
