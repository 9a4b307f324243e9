#pragma once
// Virtual time for the notice: one-shot timers from a factory and Qt's
// animations (through an installed QAnimationDriver) both advance only when
// the test calls advance(), in 10 ms steps, with Qt's events processed at
// every step.

#include <QAnimationDriver>
#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "ui/OneShotTimer.h"

namespace quorix::testing {

class VirtualNoticeTime final : public QAnimationDriver {
  public:
    VirtualNoticeTime() { install(); }
    ~VirtualNoticeTime() override { uninstall(); }

    ui::TimerFactory timers() {
        return [this] { return std::make_unique<Timer>(*this); };
    }
    double now() const { return static_cast<double>(nowMs_) / 1000.0; }
    // Moves time forward by seconds, firing every timer that falls due.
    void advance(double seconds) {
        QCoreApplication::processEvents();
        const long long end = nowMs_ + std::llround(seconds * 1000.0);
        while (nowMs_ < end) {
            nowMs_ = std::min(end, nowMs_ + 10);
            for (bool fired = true; fired;) {
                fired = false;
                for (Timer* t : timers_) {
                    if (t->active && t->dueMs <= nowMs_) {
                        t->active = false;
                        auto fire = std::move(t->fire);
                        fire();
                        fired = true;
                        break;
                    }
                }
            }
            if (isRunning()) {
                QAnimationDriver::advance();
            }
            QCoreApplication::processEvents();
        }
    }
    qint64 elapsed() const override { return nowMs_ - startMs_; }

  protected:
    void start() override {
        startMs_ = nowMs_;
        QAnimationDriver::start();
    }

  private:
    struct Timer final : ui::OneShotTimer {
        explicit Timer(VirtualNoticeTime& owner) : owner(owner) { owner.timers_.push_back(this); }
        ~Timer() override { std::erase(owner.timers_, this); }
        void start(double seconds, std::function<void()> f) override {
            dueMs = owner.nowMs_ + std::llround(seconds * 1000.0);
            fire = std::move(f);
            active = true;
        }
        void stop() override { active = false; }
        bool isActive() const override { return active; }
        VirtualNoticeTime& owner;
        long long dueMs = 0;
        std::function<void()> fire;
        bool active = false;
    };
    long long nowMs_ = 0;
    long long startMs_ = 0;
    std::vector<Timer*> timers_;
};

}  // namespace quorix::testing
