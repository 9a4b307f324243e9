#pragma once
// The AI engine check: one real correction of a sample through the AI client,
// started off the main thread, with the elapsed time. The answer comes back on
// the main thread; a check still unanswered when the limit passes is
// cancelled and reported as a time-out, so the window never waits on the
// network. Destroying the check abandons a run in flight: its answer is
// dropped.
//
// Thread: create, start and destroy on the Qt main thread.

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "core/ai/AIClient.h"

namespace quorix::ui::prefs {

class EngineCheck {
  public:
    struct Outcome {
        bool ok = false;
        std::string text;  // the corrected sample, or the error's description
        long long elapsedMs = 0;
        bool timedOut = false;
    };

    EngineCheck(AIClient& ai, std::chrono::milliseconds limit);
    ~EngineCheck();
    EngineCheck(const EngineCheck&) = delete;
    EngineCheck& operator=(const EngineCheck&) = delete;

    // Ignored while a run is in flight.
    void start(const std::string& sample, std::function<void(const Outcome&)> done);
    bool isRunning() const;
    std::chrono::milliseconds limit() const { return limit_; }

  private:
    struct Run;
    AIClient& ai_;
    std::chrono::milliseconds limit_;
    std::shared_ptr<Run> run_;
};

}  // namespace quorix::ui::prefs
