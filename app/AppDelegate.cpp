#include "app/AppDelegate.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QPalette>
#include <QUrl>

#include "app/UrlRoute.h"
#include "ui/MainThread.h"
#include "ui/StatusMenu.h"

namespace quorix::app {
namespace {

// Fields whose change alters the icon, the tooltip or the menu.
constexpr ConfigField kObservedFields[] = {
    ConfigField::isEnabled,
    ConfigField::iconStyle,
    ConfigField::appLanguage,
    ConfigField::totalTyposCorrected,
    ConfigField::lastCorrectedOriginalWord,
};

// The redraw runs this long after the first change it was asked for; the
// observed value is written right after its observers return.
constexpr int kRefreshDelayMs = 30;
constexpr int kTrayWatchMs = 3000;

}  // namespace

AppDelegate::AppDelegate(AppServices services, Options options, QObject* parent)
    : QObject(parent), s_(std::move(services)), o_(std::move(options)), texts_(s_.config) {
    if (!o_.openUrl) {
        o_.openUrl = [](const std::string& url) {
            QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
        };
    }
    if (!o_.isTrayAvailable) {
        o_.isTrayAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
    }
    if (!o_.quit) {
        o_.quit = [] { QCoreApplication::quit(); };
    }
    permissionTimer_.setInterval(kPermissionIntervalMs);
    connect(&permissionTimer_, &QTimer::timeout, this, &AppDelegate::checkLivePermissions);
    refreshTimer_.setSingleShot(true);
    refreshTimer_.setInterval(kRefreshDelayMs);
    connect(&refreshTimer_, &QTimer::timeout, this, &AppDelegate::updateStatusAppearance);
    trayWatch_.setInterval(kTrayWatchMs);
    connect(&trayWatch_, &QTimer::timeout, this, &AppDelegate::watchTrayHost);

    const QPointer<AppDelegate> weak(this);
    for (ConfigField field : kObservedFields) {
        observations_.push_back(s_.config.observe(field, [weak] {
            // Any thread: only hop to the main thread, never wait for it.
            ui::runOnMainThread([weak] {
                if (weak) {
                    weak->scheduleAppearanceRefresh();
                }
            });
        }));
    }
}

AppDelegate::~AppDelegate() {
    observations_.clear();
    permissionTimer_.stop();
}

void AppDelegate::start() {
    // Every launch starts with an empty correction cache.
    s_.cache.clear();

    menu_ = std::make_unique<QMenu>();
    connect(menu_.get(), &QMenu::aboutToShow, this, &AppDelegate::rebuildMenu);
    tray_ = std::make_unique<QSystemTrayIcon>();
    tray_->setContextMenu(menu_.get());
    connect(tray_.get(), &QSystemTrayIcon::activated, this, &AppDelegate::onTrayActivated);
    updateStatusItemAppearance();
    rebuildMenu();
    if (!o_.isTrayAvailable()) {
        logOnce(loggedNoTray_,
                "⚠️ [AppDelegate] Nessuna area di notifica disponibile: Quorix corregge comunque; "
                "⌥U o un nuovo avvio di quorix aprono il pannello.");
    }
    tray_->show();
    trayWatch_.start();
}

void AppDelegate::startInterception() {
    // The answer is not used here; the timer acts on it.
    (void)s_.isTrusted();
    (void)s_.startInterceptor();
    permissionTimer_.start();
}

void AppDelegate::logOnce(bool& flag, const std::string& line) {
    if (!flag) {
        flag = true;
        s_.logger.log(line);
    }
}

void AppDelegate::watchTrayHost() {
    // A tray host that appears (or comes back) gets the icon again.
    if (tray_ && o_.isTrayAvailable() && !tray_->isVisible()) {
        tray_->show();
    }
}

void AppDelegate::scheduleAppearanceRefresh() {
    if (!refreshTimer_.isActive()) {
        refreshTimer_.start();
    }
}

void AppDelegate::updateStatusItemAppearance() {
    if (!tray_) {
        return;
    }
    look_ = ui::TrayLook{s_.isTrusted(), s_.config.isEnabled(), s_.config.iconStyle()};
    const QColor ink = QGuiApplication::palette().color(QPalette::WindowText);
    tray_->setIcon(ui::StatusIconPainter::icon(look_, ink));
    tray_->setToolTip(ui::StatusIconPainter::tooltip(look_, texts_));
    emit appearanceChanged();
}

ui::MenuState AppDelegate::menuState() const {
    ui::MenuState state;
    state.trusted = s_.isTrusted();
    state.enabled = s_.config.isEnabled();
    state.totalTyposCorrected = s_.config.totalTyposCorrected();
    state.lastCorrectedOriginalWord = s_.config.lastCorrectedOriginalWord();
    state.cacheCount = s_.cache.count();
    state.canCheckForUpdates = o_.updater != nullptr && o_.updater->canCheckForUpdates();
    return state;
}

void AppDelegate::rebuildMenu() {
    if (!menu_) {
        return;
    }
    ui::StatusMenu::fill(*menu_, ui::buildStatusMenu(menuState(), texts_),
                         [this](ui::MenuAction action) { perform(action); });
}

void AppDelegate::updateStatusAppearance() {
    updateStatusItemAppearance();
    rebuildMenu();
}

void AppDelegate::checkLivePermissions() {
    const bool trusted = s_.isTrusted();
    const bool running = s_.isInterceptorRunning();
    if (trusted == running) {
        return;
    }
    if (trusted) {
        s_.startInterceptor();
    } else {
        s_.stopInterceptor();
    }
    updateStatusAppearance();
}

QRect AppDelegate::trayAnchor() const {
    return tray_ ? tray_->geometry() : QRect();
}

void AppDelegate::onTrayActivated(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger && o_.windows != nullptr) {
        o_.windows->togglePopover(trayAnchor());
    }
}

void AppDelegate::togglePopoverFromHotkey() {
    if (o_.windows != nullptr) {
        o_.windows->togglePopover(trayAnchor());
    }
}

void AppDelegate::handleReopen() {
    s_.logger.log(
        "📱 [App Reopen] Apertura richiesta da Applicazioni / Dock / Spotlight. Mostro la "
        "finestra principale...");
    if (o_.windows != nullptr) {
        o_.windows->showPreferences(ui::PrefsTab::stats);
    }
}

void AppDelegate::handleIncomingURL(const std::string& url) {
    s_.logger.log("🔗 [AppDelegate] Ricevuto URL Scheme: " + url);
    const UrlRoute route = routeUrl(url);
    switch (route.kind) {
        case UrlRouteKind::checkForUpdates:
            checkForUpdates();
            break;
        case UrlRouteKind::preferences:
            if (o_.windows != nullptr) {
                o_.windows->showPreferences(route.tab);
            }
            break;
        case UrlRouteKind::unknownRoute:
            s_.logger.log("⚠️ [AppDelegate] Percorso URL sconosciuto, ignorato: " + route.host);
            break;
        case UrlRouteKind::otherScheme:
        case UrlRouteKind::malformed:
            break;
    }
}

}  // namespace quorix::app
