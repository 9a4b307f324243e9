#pragma once
// How one correction run ended, reported to an observer at the exit step (just
// before the task that clears isWorking is queued). Used by `quorix correct`,
// tests and benchmarks; the flow itself never reads it.

#include <optional>
#include <string>

namespace quorix {

struct PipelineReport {
    // "E1".."E11" for the exits that send (or, E3, hold) the text as typed,
    // "E12" when the local stages ran out of time;
    // "cache", "local", "offline", "ai" for the outcome variants that apply a
    // correction. "bypass" is not reported (no run starts).
    std::string path;
    std::string capturedText;                // as captured ("" when none)
    std::optional<std::string> appliedText;  // the text written back, for the variants
    std::optional<std::string> changedWord;  // as passed to the notice
    bool returnPosted = true;                // false only for E3
};

}  // namespace quorix
