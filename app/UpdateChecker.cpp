#include "app/UpdateChecker.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QPointer>
#include <QUrl>
#include <nlohmann/json.hpp>

#include "ui/MainThread.h"
#include "ui/ShellTexts.h"

namespace quorix::app {
namespace {

int64_t nowSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace

UpdateChecker::UpdateChecker(Options options, QObject* parent)
    : QObject(parent), options_(std::move(options)) {
    if (!options_.openUrl) {
        options_.openUrl = [](const std::string& url) {
            QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
        };
    }
    load();
    // The switches are written back at once, so the file always holds them.
    save();
}

void UpdateChecker::load() {
    if (options_.files == nullptr || options_.settingsPath.empty()) {
        return;
    }
    const platform::FileRead content = options_.files->read(options_.settingsPath);
    if (!content.ok()) {
        return;
    }
    const auto doc = nlohmann::json::parse(content.data, nullptr, false);
    if (doc.is_discarded() || !doc.is_object()) {
        return;
    }
    if (auto it = doc.find("automaticallyChecksForUpdates"); it != doc.end() && it->is_boolean()) {
        autoCheck_ = it->get<bool>();
    }
    if (auto it = doc.find("automaticallyDownloadsUpdates"); it != doc.end() && it->is_boolean()) {
        autoDownload_ = it->get<bool>();
    }
    if (auto it = doc.find("lastUpdateCheckDate");
        it != doc.end() && it->is_number_integer() && it->get<int64_t>() >= 0) {
        lastCheck_ = it->get<int64_t>();
    }
}

void UpdateChecker::save() const {
    if (options_.files == nullptr || options_.settingsPath.empty()) {
        return;
    }
    nlohmann::json doc = {{"automaticallyChecksForUpdates", autoCheck_},
                          {"automaticallyDownloadsUpdates", autoDownload_}};
    if (lastCheck_) {
        doc["lastUpdateCheckDate"] = *lastCheck_;
    }
    options_.files->writeAtomic(options_.settingsPath, doc.dump(2) + "\n");
}

void UpdateChecker::setAutomaticallyChecksForUpdates(bool value) {
    autoCheck_ = value;
    save();
    emit switchesChanged();
}

void UpdateChecker::setAutomaticallyDownloadsUpdates(bool value) {
    autoDownload_ = value;
    save();
    emit switchesChanged();
}

void UpdateChecker::checkForUpdates() {
    check(/*interactive=*/true);
}

void UpdateChecker::startAutomaticChecks() {
    if (!canCheckForUpdates() || !autoCheck_) {
        return;
    }
    const int64_t interval =
        std::chrono::duration_cast<std::chrono::seconds>(options_.automaticInterval).count();
    if (lastCheck_ && nowSeconds() - *lastCheck_ < interval) {
        return;
    }
    check(/*interactive=*/false);
}

void UpdateChecker::check(bool interactive) {
    if (!canCheckForUpdates() || options_.http == nullptr || inFlight_) {
        return;
    }
    inFlight_ = true;
    net::HttpRequest request;
    request.url = options_.feedUrl;
    request.timeout = dispatch::seconds(15);
    request.headers = {{"Accept", "application/json"}};
    QPointer<UpdateChecker> self(this);
    options_.http->send(std::move(request), [self, interactive](net::HttpResult result) {
        // Any thread: hop to the main thread, where `self` is checked.
        ui::runOnMainThread([self, interactive, result = std::move(result)] {
            if (self) {
                self->finish(interactive, result);
            }
        });
    });
}

void UpdateChecker::finish(bool interactive, const net::HttpResult& result) {
    inFlight_ = false;
    auto fail = [this](const std::string& why) {
        if (options_.logger != nullptr) {
            options_.logger->log("⚠️ [Updater] Verifica aggiornamenti non riuscita: " + why);
        }
        emit checkFinished(Outcome::failed, QString::fromStdString(why));
    };
    if (!result.ok()) {
        fail(result.error->description);
        return;
    }
    if (result.response.status != 200) {
        fail("HTTP " + std::to_string(result.response.status));
        return;
    }
    const UpdateFeedResult feed = parseUpdateFeed(result.response.body);
    if (!feed.entry) {
        fail(feed.error);
        return;
    }
    const auto order = compareVersions(feed.entry->version, options_.currentVersion);
    if (!order) {
        fail("this build's version is not comparable");
        return;
    }
    lastCheck_ = nowSeconds();
    save();
    emit switchesChanged();
    const bool showDialogs = options_.dialogs != nullptr && options_.config != nullptr;
    if (*order > 0) {
        if (options_.logger != nullptr) {
            options_.logger->log("🆕 [Updater] Nuova versione disponibile: " + feed.entry->version);
        }
        emit checkFinished(Outcome::newer, QString::fromStdString(feed.entry->version));
        if (showDialogs) {
            const ui::ShellTexts texts(*options_.config);
            if (options_.dialogs->alert(
                    ui::ShellDialogs::Style::informational, texts.updateAvailableTitle(),
                    texts.updateAvailableText(feed.entry->version, feed.entry->url),
                    {texts.openDownloadPage(), texts.close()}) == 0 &&
                options_.openUrl) {
                options_.openUrl(feed.entry->url);
            }
        }
        return;
    }
    emit checkFinished(Outcome::upToDate, QString::fromStdString(options_.currentVersion));
    if (interactive && showDialogs) {
        const ui::ShellTexts texts(*options_.config);
        options_.dialogs->alert(ui::ShellDialogs::Style::informational, texts.upToDateTitle(),
                                texts.upToDateText(options_.currentVersion), {texts.ok()});
    }
}

}  // namespace quorix::app
