#include "ui/MainThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <deque>
#include <mutex>
#include <utility>

namespace quorix::ui {
namespace {

// Runs the posted closures on the main thread. They travel through this
// object's own locked queue; Qt only wakes the main thread, with a queued call
// that Qt allocates and frees itself (its locks are invisible to
// ThreadSanitizer, so nothing of ours may ride on them).
class Runner final : public QObject {
    Q_OBJECT

  public:
    void post(std::function<void()> fn) {
        {
            std::lock_guard lock(mutex_);
            pending_.push_back(std::move(fn));
        }
        QMetaObject::invokeMethod(this, "runOne", Qt::QueuedConnection);
    }

  private slots:
    void runOne() {
        std::function<void()> fn;
        {
            std::lock_guard lock(mutex_);
            if (pending_.empty()) {
                return;
            }
            fn = std::move(pending_.front());
            pending_.pop_front();
        }
        fn();
    }

  private:
    std::mutex mutex_;
    std::deque<std::function<void()>> pending_;
};

Runner* runner() {
    // Made by the first caller, whatever its thread, then handed to the main
    // thread (an object may be moved by the thread it lives in).
    static Runner* const instance = [] {
        auto* r = new Runner;
        r->moveToThread(QCoreApplication::instance()->thread());
        return r;
    }();
    return instance;
}

}  // namespace

void runOnMainThread(std::function<void()> fn) {
    if (QCoreApplication::instance() == nullptr) {
        return;
    }
    runner()->post(std::move(fn));
}

void prepareMainThreadHandOver() {
    if (QCoreApplication::instance() != nullptr) {
        runner();
    }
}

}  // namespace quorix::ui

#include "MainThread.moc"
