#pragma once
// Every text the shell (tray, status menu, its alerts, updates, login item)
// shows, as Italian/English pairs picked through L10n at the moment of the
// call. Log lines are not here: they are Italian whatever the language.

#include <QString>
#include <cstdint>
#include <string>

namespace quorix::ui {

enum class TrayState;

namespace ShellTexts {

QString trayTooltip(TrayState state);

// Status menu.
std::string menuHeader(int64_t totalTyposCorrected);
std::string menuActive();
std::string menuPaused();
std::string menuAccessibilityMissing();
std::string menuIgnoreWord(const std::string& word);
std::string menuPreferences();
std::string menuOnboarding();
std::string menuAdvanced();
std::string menuTestCorrection();
std::string menuTestConfetti();
std::string menuOpenLog();
std::string menuCopyLog();
std::string menuClearCache(std::size_t entries);
std::string menuCheckUpdates();
std::string menuAbout();
std::string menuQuit();

// Alerts of the menu actions.
std::string ok();
std::string accessibilityGrantedTitle();
std::string accessibilityGrantedText();
std::string accessibilityHelpTitle();
std::string accessibilityHelpText();
std::string openSystemSettings();
std::string cancel();
std::string testCorrectionTitle();
std::string testCorrectionPrompt();
std::string testCorrectionSample();
std::string verify();
std::string close();
std::string resultTitle();
std::string resultText(const std::string& original, const std::string& corrected);
std::string connectionErrorTitle();
std::string milestoneToast();
std::string aboutTitle();
std::string aboutText(const std::string& version);

// Updates.
std::string updateAvailableTitle();
std::string updateAvailableText(const std::string& version, const std::string& url);
std::string upToDateTitle();
std::string upToDateText(const std::string& version);
std::string openDownloadPage();

}  // namespace ShellTexts
}  // namespace quorix::ui
