#include "ui/OnboardingWindow.h"

#include <QCloseEvent>
#include <QEasingCurve>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPropertyAnimation>
#include <QScreen>
#include <QWindow>
#include <cmath>

#include "ui/AccessibilitySettings.h"
#include "ui/PanelStyle.h"
#include "ui/ShellDialogs.h"

namespace quorix::ui {
namespace {

constexpr int kHeaderHeight = 52;
constexpr int kStepLabelWidth = 78;
constexpr int kStepLabelFromRight = 110;

const QColor kDemoGreen = QColor::fromRgbF(0.2f, 0.85f, 0.45f);
const QColor kPressedKey = QColor::fromRgbF(0.26f, 0.52f, 0.96f, 0.7f);

QString rgba(const QColor& c) {
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(c.red())
        .arg(c.green())
        .arg(c.blue())
        .arg(c.alphaF(), 0, 'f', 3);
}

// Ease-in-ease-out: the cubic Bézier (0.42, 0) (0.58, 1).
QEasingCurve easeInEaseOut() {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.42, 0.0), QPointF(0.58, 1.0), QPointF(1.0, 1.0));
    return curve;
}

}  // namespace

OnboardingWindow::OnboardingWindow(const AppConfig& config, Options options)
    : QWidget(nullptr, Qt::Window), config_(config), options_(std::move(options)), texts_(config) {
    if (!options_.openSettings) {
        options_.openSettings = &AccessibilitySettings::open;
    }
    setWindowTitle(QStringLiteral("Quorix"));
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setStyleSheet(QStringLiteral(
        "QLabel { color: rgba(255, 255, 255, 0.92); background: transparent; }"
        "QFrame#box { background: rgba(255, 255, 255, 0.05);"
        "  border: 1px solid rgba(255, 255, 255, 0.10); border-radius: 12px; }"
        "QFrame#field { background: rgba(0, 0, 0, 0.25);"
        "  border: 1px solid rgba(255, 255, 255, 0.08); border-radius: 10px; }"
        "QPushButton { border-radius: 7px; padding: 7px 16px; font-weight: 600; }"
        "QPushButton[primary=\"true\"] { background: #2f7cf6; color: white; border: none; }"
        "QPushButton[primary=\"true\"]:hover { background: #4a8ff8; }"
        "QPushButton[primary=\"true\"]:disabled { background: rgba(52, 199, 89, 0.22);"
        "  color: rgb(110, 226, 150); }"
        "QPushButton[primary=\"false\"] { background: rgba(255, 255, 255, 0.08);"
        "  color: rgba(255, 255, 255, 0.85); border: 1px solid rgba(255, 255, 255, 0.12); }"
        "QPushButton[primary=\"false\"]:hover { background: rgba(255, 255, 255, 0.14); }"));

    auto* name = new QLabel(QStringLiteral("Quorix"), this);
    name->setFont(PanelStyle::font(16, QFont::Bold));
    name->setGeometry(32, 0, 200, kHeaderHeight);
    stepLabel_ = new QLabel(this);
    stepLabel_->setFont(PanelStyle::font(12));
    stepLabel_->setStyleSheet(QStringLiteral("color: rgba(255, 255, 255, 0.55);"));
    stepLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    stepLabel_->setGeometry(kWidth - kStepLabelFromRight, 0, kStepLabelWidth, kHeaderHeight);

    containerView_ = new QWidget(this);
    containerView_->setGeometry(0, kHeaderHeight, kWidth, kHeight - kHeaderHeight);
    slides_ = {buildIntroSlide(), buildPermissionSlide(), buildExceptionsSlide()};
    for (QWidget* s : slides_) {
        s->setGeometry(containerView_->rect());
        s->hide();
    }

    checkTimer_.setInterval(scaled(kCheckIntervalMs));
    connect(&checkTimer_, &QTimer::timeout, this, [this] { updatePermissionStatus(); });
    demoTimer_.setInterval(scaled(kDemoIntervalMs));
    connect(&demoTimer_, &QTimer::timeout, this, [this] {
        demoPhase_ = (demoPhase_ + 1) % 2;
        showDemoPhase();
    });
    // Step 0 as it will be shown; the timers start with present().
    stepLabel_->setText(texts_.step(1, kTotalSteps));
    slide(0)->show();
    showDemoPhase();
}

OnboardingWindow::~OnboardingWindow() {
    checkTimer_.stop();
    demoTimer_.stop();
}

int OnboardingWindow::scaled(int ms) const {
    return std::max(1, static_cast<int>(std::lround(ms * options_.timeScale)));
}

QPushButton* OnboardingWindow::forwardButton(int step) const {
    return forward_.at(static_cast<std::size_t>(step));
}

QPushButton* OnboardingWindow::backButton(int step) const {
    return back_.at(static_cast<std::size_t>(step));
}

void OnboardingWindow::present() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    show();
    raise();
    activateWindow();
    checkTimer_.start();
    goToStep(0, false);
}

void OnboardingWindow::nextStep() {
    if (currentStep_ < kTotalSteps - 1) {
        goToStep(currentStep_ + 1, true);
    }
}

void OnboardingWindow::prevStep() {
    if (currentStep_ > 0) {
        goToStep(currentStep_ - 1, true);
    }
}

void OnboardingWindow::goToStep(int step, bool animated) {
    if (step < 0 || step >= kTotalSteps) {
        return;
    }
    finishSliding();
    const int old = currentStep_;
    currentStep_ = step;
    stepLabel_->setText(texts_.step(step + 1, kTotalSteps));
    QWidget* incoming = slide(step);
    if (animated && old != step) {
        QWidget* outgoing = slide(old);
        const int w = containerView_->width();
        const int direction = step > old ? 1 : -1;
        incoming->move(direction * w, 0);
        incoming->show();
        incoming->raise();
        auto* group = new QParallelAnimationGroup(this);
        for (auto [widget, to] :
             {std::pair{incoming, QPoint(0, 0)}, std::pair{outgoing, QPoint(-direction * w, 0)}}) {
            auto* move = new QPropertyAnimation(widget, "pos", group);
            move->setDuration(scaled(kSlideMs));
            move->setEasingCurve(easeInEaseOut());
            move->setEndValue(to);
            group->addAnimation(move);
        }
        connect(group, &QAbstractAnimation::finished, this, [this] { finishSliding(); });
        slide_ = group;
        group->start(QAbstractAnimation::DeleteWhenStopped);
    } else {
        for (QWidget* s : slides_) {
            s->setVisible(s == incoming);
        }
        incoming->move(0, 0);
    }
    if (step == 0) {
        startDemo();
    } else {
        stopDemo();
        if (step == 1) {
            updatePermissionStatus();
        }
    }
}

void OnboardingWindow::finishSliding() {
    if (slide_) {
        QParallelAnimationGroup* group = slide_;
        slide_ = nullptr;
        group->stop();
    }
    // Only the current slide stays, in place.
    for (QWidget* s : slides_) {
        s->setVisible(s == slide(currentStep_));
    }
    slide(currentStep_)->move(0, 0);
}

void OnboardingWindow::startDemo() {
    demoTimer_.stop();
    demoPhase_ = 0;
    showDemoPhase();
    demoTimer_.start();
}

void OnboardingWindow::stopDemo() {
    demoTimer_.stop();
}

void OnboardingWindow::showDemoPhase() {
    const bool fixed = demoPhase_ == 1;
    demoInputLabel_->setText(fixed ? texts_.demoFixed() : texts_.demoTypo());
    demoInputLabel_->setStyleSheet(
        QStringLiteral("color: %1;").arg(rgba(fixed ? kDemoGreen : QColor(Qt::white))));
    demoKeyBadge_->setStyleSheet(QStringLiteral("background: %1; color: white; border-radius: 7px;")
                                     .arg(rgba(fixed ? kPressedKey : QColor(255, 255, 255, 51))));
}

void OnboardingWindow::updatePermissionStatus() {
    const bool granted = options_.isTrusted && options_.isTrusted();
    const QColor outline =
        granted ? PanelStyle::withAlpha(PanelStyle::green(), 0.5) : QColor(255, 255, 255, 31);
    permissionStatusPill_->setStyleSheet(
        QStringLiteral("QFrame#pill { border: 1px solid %1; border-radius: 9px; }")
            .arg(rgba(outline)));
    permissionStatusLabel_->setText(granted ? texts_.granted() : texts_.waiting());
    permissionStatusLabel_->setStyleSheet(
        QStringLiteral("color: %1;").arg(rgba(granted ? kDemoGreen : QColor(255, 255, 255, 140))));
    permissionButton_->setText(granted ? texts_.authorized() : texts_.openSettings());
    permissionButton_->setEnabled(!granted);
}

void OnboardingWindow::openAccessibility() {
    const bool opened = options_.openSettings && options_.openSettings();
    if (options_.dialogs != nullptr) {
        const bool trusted = options_.isTrusted && options_.isTrusted();
        options_.dialogs->alert(ShellDialogs::Style::informational,
                                texts_.helpTitle().toStdString(),
                                texts_.helpText(trusted, opened).toStdString(), {"OK"});
    }
    updatePermissionStatus();
}

void OnboardingWindow::finishOnboarding() {
    checkTimer_.stop();
    demoTimer_.stop();
    close();
}

void OnboardingWindow::closeEvent(QCloseEvent* event) {
    finishSliding();
    checkTimer_.stop();
    demoTimer_.stop();
    QWidget::closeEvent(event);
}

void OnboardingWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QLinearGradient fill(0, 0, 0, height());
    fill.setColorAt(0.0, QColor(34, 36, 44));
    fill.setColorAt(1.0, QColor(24, 25, 31));
    p.fillRect(rect(), fill);
    p.fillRect(QRect(0, kHeaderHeight - 1, width(), 1), QColor(255, 255, 255, 18));
}

void OnboardingWindow::mousePressEvent(QMouseEvent* event) {
    // The window moves when its background is dragged.
    if (event->button() == Qt::LeftButton && windowHandle() != nullptr) {
        windowHandle()->startSystemMove();
        return;
    }
    QWidget::mousePressEvent(event);
}

}  // namespace quorix::ui
