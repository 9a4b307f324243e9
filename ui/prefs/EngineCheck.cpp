#include "ui/prefs/EngineCheck.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThreadPool>
#include <QTimer>

#include "core/dispatch/Cancellation.h"
#include "ui/MainThread.h"

namespace quorix::ui::prefs {

struct EngineCheck::Run {
    std::function<void(const Outcome&)> done;  // main thread only; cleared when abandoned
    std::shared_ptr<dispatch::Cancellation> cancellation =
        std::make_shared<dispatch::Cancellation>();
    QElapsedTimer clock;
    bool finished = false;  // main thread only

    // Main thread: reports the first outcome, drops later ones.
    void finish(Outcome outcome) {
        if (finished) {
            return;
        }
        finished = true;
        outcome.elapsedMs = clock.elapsed();  // whole milliseconds, truncated
        if (auto report = std::move(done)) {
            report(outcome);
        }
    }
};

EngineCheck::EngineCheck(AIClient& ai, std::chrono::milliseconds limit) : ai_(ai), limit_(limit) {}

EngineCheck::~EngineCheck() {
    if (run_) {
        run_->done = nullptr;
        run_->finished = true;
        run_->cancellation->cancel();
    }
}

bool EngineCheck::isRunning() const {
    return run_ && !run_->finished;
}

void EngineCheck::start(const std::string& sample, std::function<void(const Outcome&)> done) {
    if (isRunning()) {
        return;
    }
    auto run = std::make_shared<Run>();
    run->done = std::move(done);
    run->clock.start();
    run_ = run;
    QObject* app = QCoreApplication::instance();
    QTimer::singleShot(limit_, app, [run] {
        if (!run->finished) {
            run->cancellation->cancel();
            run->finish({false, "timeout", 0, true});
        }
    });
    AIClient* ai = &ai_;
    QThreadPool::globalInstance()->start([ai, run, sample] {
        ai->correctText(
            sample, std::nullopt,
            [run](CorrectionResult result) {
                // Any thread: hop to the main thread with the outcome.
                Outcome outcome;
                outcome.ok = result.ok();
                outcome.text =
                    result.ok() ? *result.text : (result.error ? result.error->description : "");
                runOnMainThread([run, outcome] { run->finish(outcome); });
            },
            run->cancellation);
    });
}

}  // namespace quorix::ui::prefs
