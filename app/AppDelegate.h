#pragma once
// The desktop application's presence: start-up after the engine services
// exist, the tray icon with its tooltip and right-click menu, the permission
// timer that keeps the key interceptor in step with "trusted", the quorix://
// routes and the status-menu actions.
//
// Thread: the Qt main thread only. Settings observers fire on whichever thread
// writes; they only schedule a redraw here, never wait for this thread.

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/AppServices.h"
#include "app/ShellWindows.h"
#include "app/UpdateChecker.h"
#include "ui/ShellDialogs.h"
#include "ui/ShellTexts.h"
#include "ui/StatusIconPainter.h"
#include "ui/StatusMenuModel.h"

namespace quorix::app {

class AppDelegate : public QObject {
    Q_OBJECT
  public:
    static constexpr int kPermissionIntervalMs = 1500;

    struct Options {
        ShellWindows* windows = nullptr;
        ui::ShellDialogs* dialogs = nullptr;
        UpdateChecker* updater = nullptr;
        // Opens a link or a local file with the desktop's default application.
        std::function<void(const std::string&)> openUrl;
        // Whether a tray host is present (QSystemTrayIcon by default).
        std::function<bool()> isTrayAvailable;
        // Ends the event loop (QCoreApplication::quit by default).
        std::function<void()> quit;
    };

    AppDelegate(AppServices services, Options options, QObject* parent = nullptr);
    ~AppDelegate() override;

    // Start-up, after the engine services and the update checker exist:
    // start() empties the correction cache and shows the tray icon and its
    // menu; the entry point then starts the link handler (the single-instance
    // server); startInterception() checks trust, starts the key interceptor
    // and the permission timer.
    void start();
    void startInterception();

    void updateStatusItemAppearance();
    void rebuildMenu();
    void updateStatusAppearance();
    void checkLivePermissions();
    void togglePopoverFromHotkey();
    // A link handed over by a later launch (or given on the command line).
    void handleIncomingURL(const std::string& url);
    // The program was launched again without a link.
    void handleReopen();
    void perform(ui::MenuAction action);

    // Observable state, for tests and the screenshot tool.
    QSystemTrayIcon* trayIcon() const { return tray_.get(); }
    QMenu* menu() const { return menu_.get(); }
    ui::TrayLook currentLook() const { return look_; }
    ui::MenuState menuState() const;
    bool isPermissionTimerActive() const { return permissionTimer_.isActive(); }

  signals:
    void appearanceChanged();

  private:
    void onTrayActivated(QSystemTrayIcon::ActivationReason reason);
    void scheduleAppearanceRefresh();
    void watchTrayHost();
    void logOnce(bool& flag, const std::string& line);
    void toggleEnabled();
    void openAccessibilitySettings();
    void ignoreLastWord();
    void testCorrection();
    void testMilestoneConfetti();
    void openLogFile();
    void copyLogsToClipboard();
    void clearCache();
    void checkForUpdates();
    void openAbout();
    void quitApp();
    QRect trayAnchor() const;

    AppServices s_;
    Options o_;
    ui::ShellTexts texts_;
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    QTimer permissionTimer_;
    QTimer refreshTimer_;
    QTimer trayWatch_;
    ui::TrayLook look_;
    bool loggedNoTray_ = false;
    std::vector<ObservationToken> observations_;
};

}  // namespace quorix::app
