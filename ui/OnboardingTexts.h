#pragma once
// The onboarding window's texts, as Italian/English pairs following the
// interface language.

#include <QString>
#include <string_view>

namespace quorix {
class AppConfig;
}

namespace quorix::ui {

class OnboardingTexts {
  public:
    explicit OnboardingTexts(const AppConfig& config) : config_(config) {}

    QString step(int step, int total) const;
    QString continueButton() const;
    QString backButton() const;

    QString introTitle() const;
    QString demoApps() const;
    QString demoTypo() const;
    QString demoFixed() const;
    QString returnKey() const;
    QString introSubtitle() const;
    QString introText() const;

    QString permissionTitle() const;
    QString settingsPath() const;
    QString appLine() const;
    QString checking() const;
    QString granted() const;
    QString waiting() const;
    QString openSettings() const;
    QString authorized() const;

    QString exceptionsTitle() const;
    QString exceptionsText() const;
    QString demoIncoming() const;
    QString demoReply() const;
    QString finishButton() const;

    // The explanation the settings button shows.
    QString helpTitle() const;
    QString helpText(bool trusted, bool settingsOpened) const;

  private:
    QString t(std::string_view it, std::string_view en) const;

    const AppConfig& config_;
};

}  // namespace quorix::ui
