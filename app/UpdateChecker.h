#pragma once
// The update checker: reads the build's JSON feed (see UpdateFeed.h) over the
// HTTP client and tells the user when a newer version exists, with a link to
// its download page. It never downloads or runs anything by itself.
//
// Without a feed URL, canCheckForUpdates() is false and every operation is a
// no-op. The two switches and lastUpdateCheckDate live in their own settings
// file (JSON, 0600, replaced atomically), not in config.json.
//
// Thread: the Qt main thread; the HTTP reply hops back to it.

#include <QObject>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/UpdateFeed.h"
#include "core/config/AppConfig.h"
#include "core/config/AppLogger.h"
#include "core/net/HttpClient.h"
#include "platform/FileSystem.h"
#include "ui/ShellDialogs.h"

namespace quorix::app {

class UpdateChecker : public QObject {
    Q_OBJECT
  public:
    struct Options {
        std::string feedUrl;                    // empty: no feed
        std::string currentVersion;             // this build's version
        std::string settingsPath;               // the switches' file
        platform::FileSystem* files = nullptr;  // where settingsPath lives (none: not stored)
        net::HttpClient* http = nullptr;
        AppLogger* logger = nullptr;
        ui::ShellDialogs* dialogs = nullptr;
        // The interface language of the dialogs (no dialogs without it).
        const AppConfig* config = nullptr;
        // Opens the download page (the desktop's browser when empty).
        std::function<void(const std::string& url)> openUrl;
        // Automatic checks run when the last one is older than this.
        std::chrono::hours automaticInterval{24};
    };
    enum class Outcome { newer, upToDate, failed };

    explicit UpdateChecker(Options options, QObject* parent = nullptr);

    bool canCheckForUpdates() const { return !options_.feedUrl.empty(); }
    // Asks the feed now and reports every outcome to the user but a failure,
    // which is only logged.
    void checkForUpdates();
    // At start-up: a quiet check (only a newer version is reported) when
    // automatic checks are on and the last check is older than the interval.
    void startAutomaticChecks();

    bool automaticallyChecksForUpdates() const { return autoCheck_; }
    bool automaticallyDownloadsUpdates() const { return autoDownload_; }
    void setAutomaticallyChecksForUpdates(bool value);
    void setAutomaticallyDownloadsUpdates(bool value);
    // Seconds since the epoch of the last completed check.
    std::optional<int64_t> lastUpdateCheckDate() const { return lastCheck_; }

  signals:
    void switchesChanged();
    void checkFinished(quorix::app::UpdateChecker::Outcome outcome, QString detail);

  private:
    void check(bool interactive);
    void finish(bool interactive, const net::HttpResult& result);
    void load();
    void save() const;

    Options options_;
    bool autoCheck_ = true;
    bool autoDownload_ = true;
    std::optional<int64_t> lastCheck_;
    bool inFlight_ = false;
};

}  // namespace quorix::app
