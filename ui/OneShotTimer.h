#pragma once
// A one-shot timer on the Qt main thread, behind a port so that tests and
// benchmarks can run the notice's dismissal rules in virtual time. start()
// replaces whatever was pending; stop() cancels it; a fired timer is inactive.

#include <functional>
#include <memory>

namespace quorix::ui {

class OneShotTimer {
  public:
    virtual ~OneShotTimer() = default;
    virtual void start(double seconds, std::function<void()> fire) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

using TimerFactory = std::function<std::unique_ptr<OneShotTimer>()>;

}  // namespace quorix::ui
