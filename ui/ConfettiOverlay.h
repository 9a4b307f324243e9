#pragma once
// A transparent, click-through window over the whole primary screen that
// plays one ConfettiBurst at a time. A new burst replaces the running one and
// the window stays until the newest burst ends (2.5 s). Without a compositor
// a translucent window would paint the screen black: bursts are skipped and
// the log says so once.

#include <QVariantAnimation>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "ui/ConfettiBurst.h"

namespace quorix {
class AppLogger;
}

namespace quorix::ui {

class ConfettiOverlay final : public QWidget {
  public:
    // hasCompositor: asked at every burst (the X11 check when empty).
    explicit ConfettiOverlay(AppLogger* logger, std::function<bool()> hasCompositor = {});
    ~ConfettiOverlay() override;

    // point: where the confetti starts, in global (screen) coordinates.
    void burst(QPoint point);
    bool isRunning() const { return animation_.state() == QAbstractAnimation::Running; }
    int burstCount() const { return bursts_; }
    const ConfettiBurst* current() const { return burst_ ? &*burst_ : nullptr; }
    // Seconds into the current burst.
    double elapsed() const { return elapsed_; }
    // Draws burst at time t onto p (also the screenshot tool's frame).
    static void paint(QPainter& p, const ConfettiBurst& burst, double t);

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    AppLogger* logger_;
    std::function<bool()> hasCompositor_;
    QVariantAnimation animation_;
    std::optional<ConfettiBurst> burst_;
    double elapsed_ = 0;
    QRect painted_;  // where the last frame's particles were
    int bursts_ = 0;
    bool loggedNoCompositor_ = false;
};

}  // namespace quorix::ui
