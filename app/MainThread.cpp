#include "app/MainThread.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <utility>

namespace quorix::app {
namespace {

const QEvent::Type kRunEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class RunEvent final : public QEvent {
  public:
    explicit RunEvent(std::function<void()> fn) : QEvent(kRunEvent), fn_(std::move(fn)) {}
    void run() { fn_(); }

  private:
    std::function<void()> fn_;
};

// Receives the posted closures on the main thread.
class Runner final : public QObject {
  public:
    bool event(QEvent* e) override {
        if (e->type() != kRunEvent) {
            return QObject::event(e);
        }
        static_cast<RunEvent*>(e)->run();
        return true;
    }
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
    QCoreApplication::postEvent(runner(), new RunEvent(std::move(fn)));
}

}  // namespace quorix::app
