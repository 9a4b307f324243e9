// The status-menu actions of AppDelegate.
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QUrl>

#include "app/AppDelegate.h"
#include "ui/MainThread.h"
#include "ui/ShellTexts.h"

namespace quorix::app {

using Style = ui::ShellDialogs::Style;

void AppDelegate::perform(ui::MenuAction action) {
    switch (action) {
        case ui::MenuAction::toggleEnabled:
            return toggleEnabled();
        case ui::MenuAction::openAccessibilitySettings:
            return openAccessibilitySettings();
        case ui::MenuAction::ignoreLastWord:
            return ignoreLastWord();
        case ui::MenuAction::openPreferences:
            if (o_.windows != nullptr) {
                o_.windows->showPreferences(ui::PrefsTab::stats);
            }
            return;
        case ui::MenuAction::showOnboarding:
            if (o_.windows != nullptr) {
                o_.windows->showOnboarding();
            }
            return;
        case ui::MenuAction::testCorrection:
            return testCorrection();
        case ui::MenuAction::testMilestoneConfetti:
            return testMilestoneConfetti();
        case ui::MenuAction::openLogFile:
            return openLogFile();
        case ui::MenuAction::copyLogsToClipboard:
            return copyLogsToClipboard();
        case ui::MenuAction::clearCache:
            return clearCache();
        case ui::MenuAction::checkForUpdates:
            return checkForUpdates();
        case ui::MenuAction::openAbout:
            return openAbout();
        case ui::MenuAction::quit:
            return quitApp();
        case ui::MenuAction::none:
            return;
    }
}

void AppDelegate::toggleEnabled() {
    s_.config.setIsEnabled(!s_.config.isEnabled());
    s_.config.save();
    updateStatusAppearance();
}

void AppDelegate::openAccessibilitySettings() {
    if (o_.dialogs == nullptr) {
        return;
    }
    if (s_.isTrusted()) {
        o_.dialogs->alert(Style::informational, texts_.accessibilityGrantedTitle(),
                          texts_.accessibilityGrantedText(), {texts_.ok()});
        return;
    }
    // X11 has no settings page for this: being able to use the display is the
    // permission, so the alert only explains.
    o_.dialogs->alert(Style::informational, texts_.accessibilityHelpTitle(),
                      texts_.accessibilityHelpText(),
                      {texts_.openSystemSettings(), texts_.cancel()});
}

void AppDelegate::ignoreLastWord() {
    const auto word = s_.config.lastCorrectedOriginalWord();
    if (!word) {
        return;
    }
    s_.config.addWordToWhitelist(*word);
    s_.cache.clear();
    s_.config.setLastCorrectedOriginalWord(std::nullopt);
    rebuildMenu();
}

void AppDelegate::testCorrection() {
    if (o_.dialogs == nullptr) {
        return;
    }
    const auto text =
        o_.dialogs->askText(texts_.testCorrectionTitle(), texts_.testCorrectionPrompt(),
                            texts_.testCorrectionSample(), {texts_.verify(), texts_.close()});
    if (!text) {
        return;
    }
    const QPointer<AppDelegate> weak(this);
    const std::string sent = *text;
    s_.ai.correctText(sent, std::nullopt, [weak, sent](CorrectionResult result) {
        ui::runOnMainThread([weak, sent, result = std::move(result)] {
            if (!weak || weak->o_.dialogs == nullptr) {
                return;
            }
            if (result.ok()) {
                weak->o_.dialogs->alert(Style::informational, weak->texts_.resultTitle(),
                                        weak->texts_.resultText(sent, *result.text),
                                        {weak->texts_.ok()});
            } else {
                weak->o_.dialogs->alert(Style::warning, weak->texts_.connectionErrorTitle(),
                                        result.error->description, {weak->texts_.ok()});
            }
        });
    });
}

void AppDelegate::testMilestoneConfetti() {
    if (s_.config.soundEnabled()) {
        s_.sounds.play("Glass");
    }
    s_.notice.showToast(texts_.milestoneToast(), 2.8);
}

void AppDelegate::openLogFile() {
    const std::string path = s_.logger.getLogFilePath();
    if (s_.files.exists(path)) {
        o_.openUrl(QUrl::fromLocalFile(QString::fromStdString(path)).toString().toStdString());
    }
}

void AppDelegate::copyLogsToClipboard() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(QString::fromStdString(s_.logger.getRecentLogs()));
}

void AppDelegate::clearCache() {
    s_.cache.clear();
    rebuildMenu();
}

void AppDelegate::checkForUpdates() {
    if (o_.updater != nullptr) {
        o_.updater->checkForUpdates();
    }
}

void AppDelegate::openAbout() {
    if (o_.dialogs != nullptr) {
        o_.dialogs->alert(Style::informational, texts_.aboutTitle(), texts_.aboutText(s_.version),
                          {texts_.ok()});
    }
}

void AppDelegate::quitApp() {
    permissionTimer_.stop();
    trayWatch_.stop();
    // Releases every key grab before the event loop ends.
    s_.stopInterceptor();
    if (tray_) {
        tray_->hide();
    }
    o_.quit();
}

}  // namespace quorix::app
