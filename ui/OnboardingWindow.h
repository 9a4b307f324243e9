#pragma once
// The three-step introduction: what Quorix does (with a demo that alternates
// a typo and its correction every 2.2 s), the permission it needs (polled
// every second, turning green as soon as it is granted) and how to exempt a
// word. Steps change only through the buttons; finishing or closing the
// window stops both timers.
//
// Thread: the Qt main thread only.

#include <QColor>
#include <QLabel>
#include <QParallelAnimationGroup>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>

#include "ui/OnboardingTexts.h"

namespace quorix {
class AppConfig;
}

namespace quorix::ui {

class ShellDialogs;

class OnboardingWindow : public QWidget {
  public:
    static constexpr int kWidth = 620;
    static constexpr int kHeight = 490;
    static constexpr int kTotalSteps = 3;
    static constexpr int kCheckIntervalMs = 1000;
    static constexpr int kDemoIntervalMs = 2200;
    static constexpr int kSlideMs = 280;

    struct Options {
        // Whether the program may observe and post keys ("trusted").
        std::function<bool()> isTrusted;
        // Opens the desktop's accessibility settings; false when there is
        // none (AccessibilitySettings::open by default).
        std::function<bool()> openSettings;
        // Shows the explanation of the settings button; none: not shown.
        ShellDialogs* dialogs = nullptr;
        // Every interval is multiplied by this (tests run in fast time).
        double timeScale = 1.0;
    };

    OnboardingWindow(const AppConfig& config, Options options);
    ~OnboardingWindow() override;

    // Centres the window, brings it to the front, (re)starts the permission
    // poll and shows step 0 without animation.
    void present();
    void nextStep();
    void prevStep();
    void openAccessibility();
    void finishOnboarding();
    // Steps above the last are ignored.
    void goToStep(int step, bool animated);
    void updatePermissionStatus();

    int currentStep() const { return currentStep_; }
    QString stepText() const { return stepLabel_->text(); }
    QWidget* slide(int step) const { return slides_.at(static_cast<std::size_t>(step)); }
    bool isDemoRunning() const { return demoTimer_.isActive(); }
    bool isPollRunning() const { return checkTimer_.isActive(); }
    bool isSliding() const { return slide_ != nullptr; }
    int demoPhase() const { return demoPhase_; }
    QLabel* demoInput() const { return demoInputLabel_; }
    QLabel* permissionStatus() const { return permissionStatusLabel_; }
    QPushButton* permissionButton() const { return permissionButton_; }
    // The forward button of each step ("Continua →", the last "Completa
    // configurazione") and the back button (none on step 0).
    QPushButton* forwardButton(int step) const;
    QPushButton* backButton(int step) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* buildIntroSlide();
    QWidget* buildPermissionSlide();
    QWidget* buildExceptionsSlide();
    QWidget* newSlide(const QString& title);
    QPushButton* addButton(QWidget* slide, const QString& text, bool primary);
    void startDemo();
    void stopDemo();
    void showDemoPhase();
    void finishSliding();
    int scaled(int ms) const;

    const AppConfig& config_;
    Options options_;
    OnboardingTexts texts_;
    int currentStep_ = 0;
    QWidget* containerView_;
    std::array<QWidget*, kTotalSteps> slides_{};
    std::array<QPushButton*, kTotalSteps> forward_{};
    std::array<QPushButton*, kTotalSteps> back_{};
    QLabel* stepLabel_;
    QTimer checkTimer_;
    QTimer demoTimer_;
    int demoPhase_ = 0;
    QLabel* demoInputLabel_ = nullptr;
    QLabel* demoKeyBadge_ = nullptr;
    QWidget* permissionStatusPill_ = nullptr;
    QLabel* permissionStatusLabel_ = nullptr;
    QPushButton* permissionButton_ = nullptr;
    QPointer<QParallelAnimationGroup> slide_;
};

}  // namespace quorix::ui
