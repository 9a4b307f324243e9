#include "cli/DesktopCommand.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#include <QApplication>
#include <QPointer>
#include <QSocketNotifier>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "app/AppDelegate.h"
#include "app/DesktopShellWindows.h"
#include "app/InstanceRequest.h"
#include "app/LaunchAtLoginHelper.h"
#include "app/PreferencesHost.h"
#include "app/SingleInstance.h"
#include "app/UpdateChecker.h"
#include "cli/DesktopSession.h"
#include "cli/ServiceRoot.h"
#include "cli/Subcommand.h"
#include "core/net/CurlHttpClient.h"
#include "platform/FileSystem.h"
#include "platform/linux/X11Display.h"
#include "ui/MainThread.h"
#include "ui/ShellDialogs.h"
#include "ui/prefs/InstalledApps.h"
#include "ui/prefs/PreferencesWindow.h"

#ifndef QUORIX_UPDATE_FEED_URL
#define QUORIX_UPDATE_FEED_URL ""
#endif

namespace quorix::cli {
namespace {

constexpr std::chrono::milliseconds kHandOverTimeout{2000};

std::string displayName() {
    const char* name = std::getenv("DISPLAY");
    return name != nullptr ? name : "";
}

bool isLink(std::string_view arg) {
    return arg.find(':') != std::string_view::npos && arg.substr(0, 1) != "-";
}

// SIGINT, SIGTERM and SIGHUP end the event loop on the main thread, so that
// Quit's clean-up (grabs, socket) runs as for the menu's Quit. The handler
// only writes to a pipe; the signal mask stays as it was, so programs the
// application starts (the accessibility bus, the browser) can be stopped.
int stopPipe[2] = {-1, -1};

void onStopSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(stopPipe[1], &byte, 1);
}

std::unique_ptr<QSocketNotifier> watchStopSignals() {
    if (::pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return nullptr;
    }
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        ::sigaction(signal, &action, nullptr);
    }
    auto notifier = std::make_unique<QSocketNotifier>(stopPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, [] {
        char buffer[16];
        while (::read(stopPipe[0], buffer, sizeof buffer) > 0) {
        }
        QCoreApplication::quit();
    });
    return notifier;
}

// What the preferences window works on in the desktop application.
ui::PreferencesServices preferencesServices(ServiceRoot& root, const app::AppServices& services,
                                            app::LaunchAtLoginHelper& launchAtLogin,
                                            app::UpdateChecker& updater,
                                            QPointer<app::AppDelegate>& delegate) {
    ui::PreferencesServices s(services.config, services.logger, services.cache, services.ai);
    s.version = services.version;
    s.build = services.version;
    s.updateStatusAppearance = [&delegate] {
        if (delegate) {
            delegate->updateStatusAppearance();
        }
    };
    s.isLaunchAtLoginEnabled = [&launchAtLogin] { return launchAtLogin.isEnabled(); };
    s.setLaunchAtLogin = [&launchAtLogin](bool on) { launchAtLogin.setEnabled(on); };
    s.soundNames = {"Pop",  "Glass", "Ping", "Tink",   "Purr",  "Hero",      "Funk",
                    "Frog", "Basso", "Blow", "Bottle", "Morse", "Submarine", "Sosumi"};
    platform::SoundPlayer& sounds = services.sounds;
    s.playSound = [&sounds](const std::string& name) { sounds.play(name); };
    s.updater = {
        [&updater] { return updater.canCheckForUpdates(); },
        [&updater] { updater.checkForUpdates(); },
        [&updater] { return updater.automaticallyChecksForUpdates(); },
        [&updater](bool on) { updater.setAutomaticallyChecksForUpdates(on); },
        [&updater] { return updater.automaticallyDownloadsUpdates(); },
        [&updater](bool on) { updater.setAutomaticallyDownloadsUpdates(on); },
        [&updater] { return updater.lastUpdateCheckDate(); },
    };
    AppConfig& config = root.config();
    s.installedApps = [&config] {
        return ui::prefs::InstalledApps::scan(ui::prefs::InstalledApps::dataDirs(),
                                              config.currentLanguageCode());
    };
    return s;
}

}  // namespace

bool isDesktopLaunch(std::span<char* const> args) {
    return args.empty() || (args.size() == 1 && isLink(args[0]));
}

int runDesktopCommand(int argc, char** argv) {
    app::InstanceRequest request;
    if (argc > 1) {
        request = {app::InstanceRequest::Kind::open, argv[1]};
    }
    const QString socketPath = app::SingleInstance::defaultSocketPath();
    std::string why;
    switch (app::SingleInstance::send(socketPath, request, kHandOverTimeout, &why)) {
        case app::SingleInstance::HandOver::delivered:
            return 0;
        case app::SingleInstance::HandOver::timedOut:
            std::fprintf(stderr,
                         "quorix: the running instance did not answer within 2 s (%s); "
                         "nothing started\n",
                         why.c_str());
            return 1;
        case app::SingleInstance::HandOver::noInstance:
            break;
    }
    if (!platform::X11Display::isUsable()) {
        std::fprintf(stderr,
                     "quorix: no usable X display ('%s'); the tray application needs one "
                     "(try `quorix correct` or `quorix daemon`)\n",
                     displayName().c_str());
        return 1;
    }

    // The accessibility adapter drives libatspi from its own thread and GLib
    // context; Qt's main thread must not also iterate GLib's default context,
    // where libatspi may have attached a connection of its own.
    qputenv("QT_NO_GLIB", "1");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorix"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quorix"));
    QApplication::setDesktopFileName(QStringLiteral("quorix"));
    QApplication::setQuitOnLastWindowClosed(false);
    // Before the engine's threads exist: they post to the main thread.
    ui::prepareMainThreadHandOver();
    auto stopWatcher = watchStopSignals();

    ServiceRootOptions rootOptions;
    rootOptions.startSync = true;
    ServiceRoot root(rootOptions);
    AppLogger& logger = root.logger();

    net::CurlHttpClient updateHttp;
    ui::QtShellDialogs dialogs;
    app::UpdateChecker updater({
        .feedUrl = QUORIX_UPDATE_FEED_URL,
        .currentVersion = root.environment().appVersion(),
        .settingsPath = platform::joinPath(root.configFolder(), "updater.json"),
        .files = &root.fileSystem(),
        .http = &updateHttp,
        .logger = &logger,
        .dialogs = &dialogs,
        .config = &root.config(),
        .openUrl = {},
        .automaticInterval = std::chrono::hours(24),
    });

    // The hotkey may fire before the delegate exists or after it is gone.
    QPointer<app::AppDelegate> popoverTarget;
    DesktopSession session(root, [&popoverTarget] {
        ui::runOnMainThread([&popoverTarget] {
            if (popoverTarget) {
                popoverTarget->togglePopoverFromHotkey();
            }
        });
    });
    if (!session.isReady()) {
        std::fprintf(stderr, "quorix: cannot open the X display for posting keys\n");
        return 1;
    }
    EventInterceptor& interceptor = session.interceptor();
    app::AppServices services{
        root.config(),
        logger,
        root.fileSystem(),
        root.cache(),
        root.ai(),
        session.sounds(),
        session.notice(),
        &DesktopSession::isTrusted,
        [&interceptor] { return interceptor.start(); },
        [&interceptor] { interceptor.stop(); },
        [&interceptor] { return interceptor.isRunning(); },
        root.environment().appVersion(),
    };
    app::LaunchAtLoginHelper launchAtLogin(
        app::LaunchAtLoginHelper::defaultConfigHome(root.environment().homeDirectory()),
        QCoreApplication::applicationFilePath().toStdString(), root.fileSystem(), logger);
    // The delegate exists once the window can be opened (from its menu).
    QPointer<app::AppDelegate> statusTarget;
    app::PreferencesHost preferences(
        preferencesServices(root, services, launchAtLogin, updater, statusTarget));
    const auto updaterChanged = [&preferences] {
        if (preferences.window() != nullptr) {
            preferences.window()->updaterChanged();
        }
    };
    QObject::connect(&updater, &app::UpdateChecker::switchesChanged, updaterChanged);
    QObject::connect(&updater, &app::UpdateChecker::checkFinished, updaterChanged);
    app::DesktopShellWindows windows(
        services, {.showPreferences = [&preferences](ui::PrefsTab tab) { preferences.show(tab); },
                   .checkForUpdates = [&updater] { updater.checkForUpdates(); },
                   .quit =
                       [&popoverTarget] {
                           if (popoverTarget) {
                               popoverTarget->perform(ui::MenuAction::quit);
                           }
                       },
                   .dialogs = &dialogs,
                   .openAccessibilitySettings = {}});
    app::AppDelegate delegate(services, {.windows = &windows,
                                         .dialogs = &dialogs,
                                         .updater = &updater,
                                         .openUrl = {},
                                         .isTrayAvailable = {},
                                         .quit = {}});
    popoverTarget = &delegate;
    statusTarget = &delegate;
    updater.startAutomaticChecks();
    delegate.start();

    app::SingleInstance instance(socketPath);
    QObject::connect(&instance, &app::SingleInstance::requestReceived, &delegate,
                     [&delegate](const app::InstanceRequest& received) {
                         if (received.kind == app::InstanceRequest::Kind::open) {
                             delegate.handleIncomingURL(received.url);
                         } else {
                             delegate.handleReopen();
                         }
                     });
    QObject::connect(&instance, &app::SingleInstance::requestRefused, &delegate,
                     [&logger](const QString& why) {
                         logger.log("⚠️ [AppDelegate] Richiesta rifiutata sul socket locale: " +
                                    why.toStdString());
                     });
    if (!instance.listen()) {
        logger.log("⚠️ [AppDelegate] Socket locale non disponibile: " +
                   instance.error().toStdString());
    }
    delegate.startInterception();
    if (request.kind == app::InstanceRequest::Kind::open) {
        delegate.handleIncomingURL(request.url);
    }
    // The spell dictionaries load on first use; loading them now keeps that
    // off the first Return.
    std::thread preloading([&spell = root.spellChecker()] { spell.preload(); });
    logger.log("🚀 [App] Quorix avviato sul display " + displayName() + ".");
    const int status = QApplication::exec();
    interceptor.stop();
    preloading.join();
    return status;
}

}  // namespace quorix::cli
