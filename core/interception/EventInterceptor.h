#pragma once
// The single object between the keyboard and the front application: installs
// the key hook, routes every key-down, runs one correction at a time on the
// user-initiated global queue, the background precheck on its serial queue,
// and the quick undo. Built by the composition root over InterceptorServices.
//
// Keys the user types while a correction runs are held back and replayed after
// its Return (Escape meanwhile discards them); keys typed while that replay is
// posted are held as well and follow it. The working state lasts until no held
// key is left.
//
// Threads: handleEvent, quick undo, the end of the working state and the
// replay run on the main queue's thread; the pipeline on the user-initiated
// global queue; the precheck on "com.quorix.precheck".

#include <atomic>
#include <climits>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "core/dispatch/SerialQueue.h"
#include "core/dispatch/WorkItem.h"
#include "core/interception/BrowserDetector.h"
#include "core/interception/FieldIO.h"
#include "core/interception/HeldBackMessage.h"
#include "core/interception/InterceptorServices.h"
#include "core/interception/KeyCodes.h"
#include "core/interception/KeysTypedDuringCorrection.h"
#include "core/interception/PipelineReport.h"
#include "core/interception/TextHeuristics.h"

namespace quorix {

class EventInterceptor {
  public:
    static constexpr int64_t syntheticMarker = keys::kSyntheticMarker;

    explicit EventInterceptor(InterceptorServices services);
    ~EventInterceptor();
    EventInterceptor(const EventInterceptor&) = delete;
    EventInterceptor& operator=(const EventInterceptor&) = delete;

    bool start();
    void stop();
    bool isRunning() const;

    // The routing decision for one key-down.
    platform::KeyDecision handleEvent(const platform::KeyEvent& event);

    bool isWorking() const { return typedMeanwhile_.isHolding(); }
    // Blocks until every precheck already due has run (tests).
    void drainPrecheck() { precheckQueue_->drain(); }
    void setPipelineObserver(std::function<void(const PipelineReport&)> observer);

    // Collaborators, exposed for tests and the `check` command.
    const TextHeuristics& heuristics() const { return *heuristics_; }
    const BrowserDetector& browser() const { return *browser_; }
    FieldIO& fieldIO() { return *fieldIO_; }

    // Members the routing reaches (overridable in tests).
    virtual void processTypoCorrection(const platform::RunningApplication& frontApp);
    // On the key path: a time stored under a lock only the precheck timer
    // shares, and a timer only when none is set early enough (once per burst
    // of typing); no allocation or configuration read otherwise.
    virtual void scheduleBackgroundPrecheck(int64_t keyCode);
    virtual void performBackgroundPrecheck();
    virtual void handleQuickUndo(const std::string& originalText);

  private:
    enum class Route { pass, swallow, startedCorrection };
    // The routing of a key that is not held back.
    Route route(const platform::KeyEvent& event);
    // Posts the held-back Return when a failed run has not posted one since
    // `returnsBefore` was read.
    void sendAsTypedAfterFailure(uint64_t returnsBefore);
    // On the main queue at the end of a run: replays the keys typed meanwhile
    // (unless Escape was pressed), then those typed during the replay, and
    // ends the working state once none is left. A replayed Return is routed
    // afresh; when it starts another correction, the keys after it wait for
    // that one.
    void finishCorrection();
    // Sets a timer for precheckDue_; when it fires before the time the last
    // key set, it sets itself again for then. Under precheckMutex_.
    void armPrecheckLocked(dispatch::Duration after);
    void onPrecheckTimer(int64_t at);
    // Replays `typed` in order; false when a replayed Return started another
    // correction (the keys after it were put back).
    bool replay(const std::vector<platform::KeyEvent>& typed);

    InterceptorServices s_;
    std::unique_ptr<TextHeuristics> heuristics_;
    std::unique_ptr<BrowserDetector> browser_;
    std::unique_ptr<FieldIO> fieldIO_;
    HeldBackMessage heldBack_;
    KeysTypedDuringCorrection typedMeanwhile_;
    std::atomic<bool> installed_{false};
    // Under precheckMutex_: when the precheck is due and when the timer set
    // for it fires (clock nanoseconds; kNoPrecheck: none).
    static constexpr int64_t kNoPrecheck = INT64_MIN;
    std::mutex precheckMutex_;
    int64_t precheckDue_ = kNoPrecheck;
    int64_t precheckTimerAt_ = kNoPrecheck;
    std::mutex observerMutex_;
    std::function<void(const PipelineReport&)> observer_;
    // Liveness token: queued tasks and the hook hold it weakly through
    // weakSelf_ (never reassigned, so any thread may copy it); the destructor
    // drops self_ and waits until no task holds the token any more.
    std::shared_ptr<EventInterceptor*> self_;
    const std::weak_ptr<EventInterceptor*> weakSelf_;
    // Last member: its destructor waits for a running precheck.
    std::unique_ptr<dispatch::SerialQueue> precheckQueue_;
};

}  // namespace quorix
