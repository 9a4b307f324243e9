#pragma once
// The floating notice of the desktop application: the pill near the bottom
// centre of the primary screen that shows a correction working, its result,
// and the offer to stop correcting the changed word. Implements the engine's
// Notice port: show / hide / showToast may be called from any thread; they
// queue their work onto the Qt main thread in call order, so a burst of calls
// ends in the state of the last one.
//
// Every visible state has exactly one armed dismissal (3.5 s after show, 2.0
// or 3.8 s after a result, the toast's duration, 7.0 s on hovering the pill,
// 1.4 s on leaving it, 0.7 s after a save), so no notice outlives the engine.
// Once dismissed, no timer or animation of the notice keeps running.
//
// Construct and destroy on the main thread; the services must outlive it.

#include <QObject>
#include <QParallelAnimationGroup>
#include <QVariantAnimation>
#include <memory>
#include <optional>
#include <string>

#include "core/interception/Notice.h"
#include "ui/NoticePanel.h"
#include "ui/OneShotTimer.h"

namespace quorix {
class AppConfig;
class AppLogger;
class TypoCache;
}  // namespace quorix
namespace quorix::platform {
class SoundPlayer;
}

namespace quorix::ui {

class ConfettiOverlay;

class FloatingNotice final : public QObject, public Notice {
  public:
    struct Services {
        AppConfig& config;
        TypoCache& cache;
        platform::SoundPlayer& sounds;
    };
    // confetti may be null (no celebrations); timers: QtOneShotTimer when
    // empty.
    FloatingNotice(Services services, ConfettiOverlay* confetti, TimerFactory timers = {});
    ~FloatingNotice() override;

    void show(const std::string& text) override;
    void hide(const std::optional<std::string>& completionText,
              const std::optional<std::string>& changedWord) override;
    void showToast(const std::string& text, double duration) override;

    // Main thread: re-arms the dismissal to delay seconds from now.
    void scheduleDismiss(double delay);

    NoticePanel& panel() { return panel_; }
    NoticePill& pill() { return panel_.pill(); }
    const std::optional<QString>& wordToSave() const { return wordToSave_; }
    bool isDismissalArmed() const { return hideTimer_->isActive(); }
    // Timers and animations of the notice still running (0 once dismissed).
    int runningTimers() const;

  private:
    void showNow(const QString& text);
    void hideNow(const std::optional<QString>& completionText,
                 const std::optional<QString>& changedWord);
    void toastNow(const QString& text, double duration);
    void relayout(const QString& text, bool isDone, const std::optional<QString>& changedWord);
    void present(const QString& text, bool isDone, const std::optional<QString>& changedWord);
    void setSpinning(bool spinning);
    void celebrate();
    void saveWord();
    void dismiss();
    void stopLoops();
    QPoint anchor() const;
    // The panel's top edge while it is up (y of the work area's bottom - 220).
    int restingY() const;

    Services s_;
    ConfettiOverlay* confetti_;
    NoticePanel panel_;
    std::unique_ptr<OneShotTimer> hideTimer_;
    std::optional<QString> wordToSave_;
    QParallelAnimationGroup motion_;  // the rise or the sink
    bool sinking_ = false;
    QVariantAnimation borderSpin_;
    QVariantAnimation spinner_;
};

}  // namespace quorix::ui
