#pragma once
// OneShotTimer over a precise single-shot QTimer of the calling thread's
// event loop (the main thread for every user in ui/).

#include <QTimer>

#include "ui/OneShotTimer.h"

namespace quorix::ui {

class QtOneShotTimer final : public OneShotTimer {
  public:
    QtOneShotTimer();
    void start(double seconds, std::function<void()> fire) override;
    void stop() override;
    bool isActive() const override { return timer_.isActive(); }

    static TimerFactory factory();

  private:
    QTimer timer_;
    std::function<void()> fire_;
};

}  // namespace quorix::ui
