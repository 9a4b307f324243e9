#pragma once
// One correction run for a held-back Return: capture, the chain of local exits,
// cache, spell-check scan, local dictionary, the AI with its 5 s limit and the
// offline fallback, answer validation, and the hand-over to CorrectionOutcome.
// Runs on the user-initiated global queue and blocks it during waits.
// Every path ends with a Return posted, except E3 (unfinished token) the first
// time a text is held back (see HeldBackMessage).

#include <string>
#include <string_view>

#include "core/interception/BrowserDetector.h"
#include "core/interception/CorrectionOutcome.h"
#include "core/interception/FieldIO.h"
#include "core/interception/HeldBackMessage.h"
#include "core/interception/InterceptorServices.h"
#include "core/interception/PipelineReport.h"
#include "core/interception/TextHeuristics.h"

namespace quorix {

class CorrectionPipeline {
  public:
    static constexpr double kAITimeoutSeconds = 5.0;
    // Budget of the local stages, from the captured text to the AI call; past
    // it the text leaves as typed. An ordinary message needs a few
    // milliseconds; the margin covers slow machines and first-use costs.
    static constexpr dispatch::Duration kLocalStagesLimit = std::chrono::milliseconds(250);

    CorrectionPipeline(InterceptorServices& services, const TextHeuristics& heuristics,
                       const BrowserDetector& browser, FieldIO& fieldIO, HeldBackMessage& heldBack);

    // Runs the chain; does not touch isWorking (the caller queues its clearing).
    PipelineReport run(const platform::RunningApplication& frontApp);

    // A lone tag or mention that leaves untouched: the trimmed text holds no
    // blank and no newline and begins with "@" or "#", or is wrapped in
    // "[" "]" or "<" ">".
    static bool isSingleTagToken(std::string_view text);

    // Keys, wait, restore and Return of an exit that sends the text as typed.
    struct ExitRule;

  private:
    struct Run;

    PipelineReport askAI(Run& run);
    PipelineReport offlineFallback(Run& run);
    // The keyboard model's pass over `base` (the text as the maps left it);
    // logs each word it changes. nullopt when it changed nothing.
    std::optional<std::string> correctWithKeyboard(const std::string& base);
    PipelineReport settleAnswer(Run& run, const std::string& finalText, double elapsedSeconds);
    PipelineReport noChange(Run& run);
    PipelineReport applyOutcome(CorrectionOutcome::Variant variant, Run& run,
                                const std::string& corrected, double elapsedSeconds = 0);
    PipelineReport sendUnchanged(const ExitRule& rule, Run& run);
    // True (after logging) when the local stages have used up their budget.
    bool outOfLocalTime(const Run& run);
    void log(const std::string& line);

    InterceptorServices& s_;
    const TextHeuristics& heuristics_;
    const BrowserDetector& browser_;
    FieldIO& io_;
    HeldBackMessage& heldBack_;
    CorrectionOutcome outcome_;
};

}  // namespace quorix
