#pragma once
// Every text the shell (tray, status menu, its alerts, updates, login item)
// shows, as Italian/English pairs picked through L10n from the configuration's
// interface language at the moment of the call. Log lines are not here: they
// are Italian whatever the language.

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorix {
class AppConfig;
}

namespace quorix::ui {

enum class TrayState;

// Cheap to build; the configuration must outlive it.
class ShellTexts {
  public:
    explicit ShellTexts(const AppConfig& config) : config_(config) {}

    QString trayTooltip(TrayState state) const;

    // Status menu.
    std::string menuHeader(int64_t totalTyposCorrected) const;
    std::string menuActive() const;
    std::string menuPaused() const;
    std::string menuAccessibilityMissing() const;
    std::string menuIgnoreWord(const std::string& word) const;
    std::string menuPreferences() const;
    std::string menuOnboarding() const;
    std::string menuAdvanced() const;
    std::string menuTestCorrection() const;
    std::string menuTestConfetti() const;
    std::string menuOpenLog() const;
    std::string menuCopyLog() const;
    std::string menuClearCache(std::size_t entries) const;
    std::string menuCheckUpdates() const;
    std::string menuAbout() const;
    std::string menuQuit() const;

    // Alerts of the menu actions.
    std::string ok() const;
    std::string accessibilityGrantedTitle() const;
    std::string accessibilityGrantedText() const;
    std::string accessibilityHelpTitle() const;
    std::string accessibilityHelpText() const;
    std::string openSystemSettings() const;
    std::string cancel() const;
    std::string testCorrectionTitle() const;
    std::string testCorrectionPrompt() const;
    std::string testCorrectionSample() const;
    std::string verify() const;
    std::string close() const;
    std::string resultTitle() const;
    std::string resultText(const std::string& original, const std::string& corrected) const;
    std::string connectionErrorTitle() const;
    std::string milestoneToast() const;
    std::string aboutTitle() const;
    std::string aboutText(const std::string& version) const;

    // Updates.
    std::string updateAvailableTitle() const;
    std::string updateAvailableText(const std::string& version, const std::string& url) const;
    std::string upToDateTitle() const;
    std::string upToDateText(const std::string& version) const;
    std::string openDownloadPage() const;

  private:
    std::string t(std::string_view it, std::string_view en) const;

    const AppConfig& config_;
};

}  // namespace quorix::ui
