#include "app/MainThread.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <deque>
#include <mutex>
#include <utility>

namespace quorix::app {
namespace {

const QEvent::Type kRunEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// Receives one event per posted closure on the main thread. The closures
// travel through this object's own locked queue: Qt's event queue only wakes
// the main thread (its locks are invisible to ThreadSanitizer).
class Runner final : public QObject {
  public:
    void post(std::function<void()> fn) {
        {
            std::lock_guard lock(mutex_);
            pending_.push_back(std::move(fn));
        }
        QCoreApplication::postEvent(this, new QEvent(kRunEvent));
    }

    bool event(QEvent* e) override {
        if (e->type() != kRunEvent) {
            return QObject::event(e);
        }
        std::function<void()> fn;
        {
            std::lock_guard lock(mutex_);
            if (pending_.empty()) {
                return true;
            }
            fn = std::move(pending_.front());
            pending_.pop_front();
        }
        fn();
        return true;
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

}  // namespace quorix::app
