#include "ui/QtOneShotTimer.h"

#include <cmath>

namespace quorix::ui {

QtOneShotTimer::QtOneShotTimer() {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        // The callback may start this timer again; keep it alive while it runs.
        std::function<void()> fire = std::move(fire_);
        fire_ = nullptr;
        if (fire) {
            fire();
        }
    });
}

void QtOneShotTimer::start(double seconds, std::function<void()> fire) {
    fire_ = std::move(fire);
    timer_.start(static_cast<int>(std::lround(std::max(0.0, seconds) * 1000.0)));
}

void QtOneShotTimer::stop() {
    timer_.stop();
    fire_ = nullptr;
}

TimerFactory QtOneShotTimer::factory() {
    return [] { return std::make_unique<QtOneShotTimer>(); };
}

}  // namespace quorix::ui
