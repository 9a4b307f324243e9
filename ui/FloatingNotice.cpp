#include "ui/FloatingNotice.h"

#include <QEasingCurve>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPointer>
#include <QPropertyAnimation>
#include <QScreen>

#include "core/config/AppConfig.h"
#include "core/config/L10n.h"
#include "core/knowledge/TypoCache.h"
#include "platform/SoundPlayer.h"
#include "ui/ConfettiOverlay.h"
#include "ui/MainThread.h"
#include "ui/NoticeText.h"
#include "ui/QtOneShotTimer.h"

namespace quorix::ui {
namespace {

constexpr double kShowTimeout = 3.5;
constexpr double kResultDelay = 2.0;
constexpr double kLongResultDelay = 3.8;
constexpr double kHoverDelay = 7.0;
constexpr double kLeaveDelay = 1.4;
constexpr double kSavedDelay = 0.7;
constexpr int kRiseMs = 300;
constexpr int kSinkMs = 220;
constexpr int kTravel = 25;
// The pill's bottom edge stands this far above the bottom of the work area.
constexpr int kLift = 45;

QEasingCurve cubic(QPointF c1, QPointF c2) {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(c1, c2, QPointF(1, 1));
    return curve;
}

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

std::optional<QString> qs(const std::optional<std::string>& s) {
    return s ? std::optional<QString>(qs(*s)) : std::nullopt;
}

}  // namespace

FloatingNotice::FloatingNotice(Services services, ConfettiOverlay* confetti, TimerFactory timers)
    : s_(services),
      confetti_(confetti),
      hideTimer_(timers ? timers() : QtOneShotTimer::factory()()) {
    pill().onEnter = [this] { scheduleDismiss(kHoverDelay); };
    pill().onLeave = [this] { scheduleDismiss(kLeaveDelay); };
    QObject::connect(&pill().saveButton(), &QPushButton::clicked, this, [this] { saveWord(); });

    borderSpin_.setStartValue(0.0);
    borderSpin_.setEndValue(360.0);
    borderSpin_.setDuration(2000);
    borderSpin_.setLoopCount(-1);
    QObject::connect(&borderSpin_, &QVariantAnimation::valueChanged, this,
                     [this](const QVariant& v) { pill().setBorderAngle(v.toDouble()); });
    spinner_.setStartValue(0.0);
    spinner_.setEndValue(360.0);
    spinner_.setDuration(1000);
    spinner_.setLoopCount(-1);
    QObject::connect(&spinner_, &QVariantAnimation::valueChanged, this,
                     [this](const QVariant& v) { pill().setSpinnerAngle(v.toDouble()); });

    auto* position = new QPropertyAnimation(&panel_, "pos", &motion_);
    auto* opacity = new QPropertyAnimation(&panel_, "windowOpacity", &motion_);
    motion_.addAnimation(position);
    motion_.addAnimation(opacity);
    QObject::connect(&motion_, &QAbstractAnimation::finished, this, [this] {
        if (!sinking_) {
            return;
        }
        sinking_ = false;
        panel_.hide();
        panel_.setWindowOpacity(1.0);
        hideTimer_->stop();
        stopLoops();
    });
    relayout(QString::fromUtf8(kWorkingText), false, std::nullopt);
}

FloatingNotice::~FloatingNotice() {
    motion_.stop();
    stopLoops();
    hideTimer_->stop();
}

void FloatingNotice::show(const std::string& text) {
    runOnMainThread([self = QPointer<FloatingNotice>(this), t = qs(text)] {
        if (self) {
            self->showNow(t);
        }
    });
}

void FloatingNotice::hide(const std::optional<std::string>& completionText,
                          const std::optional<std::string>& changedWord) {
    runOnMainThread(
        [self = QPointer<FloatingNotice>(this), c = qs(completionText), w = qs(changedWord)] {
            if (self) {
                self->hideNow(c, w);
            }
        });
}

void FloatingNotice::showToast(const std::string& text, double duration) {
    runOnMainThread([self = QPointer<FloatingNotice>(this), t = qs(text), duration] {
        if (self) {
            self->toastNow(t, duration);
        }
    });
}

void FloatingNotice::showNow(const QString& text) {
    hideTimer_->stop();
    present(text, false, std::nullopt);
    scheduleDismiss(kShowTimeout);
}

void FloatingNotice::hideNow(const std::optional<QString>& completionText,
                             const std::optional<QString>& changedWord) {
    setSpinning(false);
    if (!completionText) {
        dismiss();
        return;
    }
    relayout(*completionText, true, changedWord);
    if (sinking_) {
        // A result overtaking the fade-out stays on screen for its own time.
        motion_.stop();
        sinking_ = false;
        panel_.move(panel_.x(), restingY());
        panel_.setWindowOpacity(1.0);
    }
    double delay = kResultDelay;
    if (NoticeLayout::isCelebration(*completionText, true)) {
        celebrate();
        delay = kLongResultDelay;
    }
    if (changedWord) {
        delay = kLongResultDelay;
    }
    scheduleDismiss(delay);
}

void FloatingNotice::toastNow(const QString& text, double duration) {
    hideTimer_->stop();
    present(text, true, std::nullopt);
    if (NoticeLayout::isCelebration(text, false)) {
        celebrate();
    }
    scheduleDismiss(duration);
}

void FloatingNotice::scheduleDismiss(double delay) {
    hideTimer_->start(delay, [this] { dismiss(); });
}

void FloatingNotice::relayout(const QString& text, bool isDone,
                              const std::optional<QString>& changedWord) {
    wordToSave_ = changedWord;
    const QFont labelFont = NoticeText::labelFont();
    const double t = QFontMetricsF(labelFont).horizontalAdvance(text);
    QString title;
    double m = 0;
    if (changedWord && !changedWord->isEmpty()) {
        title = qs(L10n::t(s_.config, "Non correggere \"", "Don't correct \"")) + *changedWord +
                QLatin1Char('"');
        m = QFontMetricsF(NoticeText::buttonFont()).horizontalAdvance(title);
    }
    const NoticeLayout layout =
        NoticeLayout::compute(text, NoticeText::graphemeCount(text), t, isDone, changedWord, m);
    if (!title.isEmpty()) {
        // The padding of the button's style sheet, 8 on each side.
        pill().setButtonTitle(
            NoticeText::elided(title, NoticeText::buttonFont(), layout.buttonWidth - 16), false);
    }
    pill().apply(layout, NoticeText::elided(text, labelFont, layout.textWidth + 2), isDone);
    panel_.pillChanged();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const int x =
            qRound(area.x() + area.width() / 2.0 - layout.pillWidth / 2 - NoticeLayout::kPaddingX);
        panel_.move(x, panel_.y());
        if (motion_.state() == QAbstractAnimation::Running) {
            auto* position = static_cast<QPropertyAnimation*>(motion_.animationAt(0));
            position->setStartValue(QPoint(x, position->startValue().toPoint().y()));
            position->setEndValue(QPoint(x, position->endValue().toPoint().y()));
        }
    }
}

void FloatingNotice::present(const QString& text, bool isDone,
                             const std::optional<QString>& changedWord) {
    relayout(text, isDone, changedWord);
    setSpinning(!isDone);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QPoint at(panel_.x(), restingY());
    if (panel_.isVisible()) {
        // Already up, or sinking: a new notice takes the place at once and
        // the sinking never hides it.
        motion_.stop();
        sinking_ = false;
        panel_.move(at);
        panel_.setWindowOpacity(1.0);
        return;
    }
    panel_.move(at + QPoint(0, kTravel));
    panel_.setWindowOpacity(0.0);
    panel_.show();
    panel_.raise();
    borderSpin_.start();
    auto* position = static_cast<QPropertyAnimation*>(motion_.animationAt(0));
    auto* opacity = static_cast<QPropertyAnimation*>(motion_.animationAt(1));
    const QEasingCurve rise = cubic({0.16, 1.0}, {0.3, 1.0});
    position->setStartValue(panel_.pos());
    position->setEndValue(at);
    opacity->setStartValue(0.0);
    opacity->setEndValue(1.0);
    for (auto* a : {position, opacity}) {
        a->setDuration(kRiseMs);
        a->setEasingCurve(rise);
    }
    sinking_ = false;
    motion_.start();
}

void FloatingNotice::setSpinning(bool spinning) {
    if (spinning && pill().isSpinnerShown()) {
        if (spinner_.state() != QAbstractAnimation::Running) {
            spinner_.start();
        }
    } else {
        spinner_.stop();
    }
}

void FloatingNotice::celebrate() {
    if (confetti_ != nullptr) {
        confetti_->burst(anchor());
    }
}

int FloatingNotice::restingY() const {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return panel_.y();
    }
    const QRect area = screen->availableGeometry();
    return area.y() + area.height() - kLift - static_cast<int>(NoticeLayout::kPanelHeight);
}

QPoint FloatingNotice::anchor() const {
    const QRect pill = panel_.pill().geometry();
    return panel_.mapToGlobal(QPoint(pill.center().x(), pill.top()));
}

void FloatingNotice::saveWord() {
    if (!wordToSave_) {
        return;
    }
    const std::string word = wordToSave_->toStdString();
    s_.config.addWordToWhitelist(word);
    s_.cache.clear();
    s_.config.setLastCorrectedOriginalWord(std::nullopt);
    pill().setButtonTitle(
        qs(L10n::t(s_.config, "Salvata nel dizionario ✓", "Saved to the dictionary ✓")), true);
    if (s_.config.soundEnabled()) {
        s_.sounds.play("Pop");
    }
    scheduleDismiss(kSavedDelay);
}

void FloatingNotice::dismiss() {
    hideTimer_->stop();
    if (!panel_.isVisible() || sinking_) {
        return;
    }
    motion_.stop();
    spinner_.stop();
    auto* position = static_cast<QPropertyAnimation*>(motion_.animationAt(0));
    auto* opacity = static_cast<QPropertyAnimation*>(motion_.animationAt(1));
    const QEasingCurve sink = cubic({0.7, 0.0}, {0.84, 0.0});
    position->setStartValue(panel_.pos());
    position->setEndValue(panel_.pos() + QPoint(0, kTravel));
    opacity->setStartValue(panel_.windowOpacity());
    opacity->setEndValue(0.0);
    for (auto* a : {position, opacity}) {
        a->setDuration(kSinkMs);
        a->setEasingCurve(sink);
    }
    sinking_ = true;
    motion_.start();
}

void FloatingNotice::stopLoops() {
    borderSpin_.stop();
    spinner_.stop();
}

int FloatingNotice::runningTimers() const {
    const auto running = [](const QAbstractAnimation& a) {
        return a.state() == QAbstractAnimation::Running ? 1 : 0;
    };
    return (hideTimer_->isActive() ? 1 : 0) + running(motion_) + running(borderSpin_) +
           running(spinner_) + (confetti_ != nullptr && confetti_->isRunning() ? 1 : 0);
}

}  // namespace quorix::ui
