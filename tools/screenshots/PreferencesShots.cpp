// The preferences window's pages for the screenshot tool:
// preferences-<page>-<lang>.png for every page, plus the statistics page
// without data (preferences-stats-empty-<lang>.png) and with an application
// selected (preferences-stats-selected-<lang>.png). The settings are a
// realistic, read-only store; the key field stays empty.
#include "tools/screenshots/PreferencesShots.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <cstdio>

#include "core/ai/AIClient.h"
#include "core/config/AppConfig.h"
#include "core/config/AppLogger.h"
#include "core/dispatch/ManualQueue.h"
#include "core/dispatch/VirtualClock.h"
#include "core/knowledge/TypoCache.h"
#include "core/net/OfflineHttpClient.h"
#include "platform/sim/MemoryFileSystem.h"
#include "platform/sim/SimSystemEnvironment.h"
#include "platform/sim/SimWorkspace.h"
#include "ui/prefs/DonutChart.h"
#include "ui/prefs/PreferencesWindow.h"
#include "ui/prefs/StatisticsPage.h"

namespace quorix::screenshots {
namespace {

void settle() {
    for (int i = 0; i < 8; ++i) {
        QApplication::processEvents();
    }
}

bool write(ui::prefs::PreferencesWindow& window, const QString& folder, const QString& name) {
    settle();
    const QString path = folder + "/" + name + ".png";
    if (!window.grab().toImage().save(path)) {
        std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

}  // namespace

bool writePreferencesShots(const QString& folder) {
    dispatch::VirtualClock clock;
    platform::SimWorkspace workspace;
    workspace.addApplication("com.spotify.client", "/Applications/Spotify.app", "Spotify");
    workspace.addApplication("org.keepassxc.KeePassXC", "/Applications/KeePassXC.app", "KeePassXC");
    workspace.addApplication("com.slack.Slack", "/Applications/Slack.app", "Slack");
    workspace.addApplication("org.mozilla.Thunderbird", "/Applications/Thunderbird.app",
                             "Thunderbird");
    platform::SimSystemEnvironment env;
    platform::MemoryFileSystem files;
    AppLogger logger("/nonexistent", files, clock, nullptr, StorageMode::readOnly);
    AppConfig config("/nonexistent", files, logger, clock, workspace, env, StorageMode::readOnly);
    config.setCloudProxyURL("https://correct.quorix.example/v1/correct");
    config.setCustomBlacklistedApps({"com.spotify.client", "org.keepassxc.KeePassXC"});
    config.setExecutiveWorkApps({"com.slack.Slack", "org.mozilla.Thunderbird", "linear"});
    config.setWhitelistWords({"brevix", "chatgpt", "figma", "github", "groq", "linear", "nextjs",
                              "raycast", "supabase", "kubernetes", "quorix", "zanichelli"});
    const std::map<std::string, int64_t> counts{
        {"WhatsApp", 148},     {"Slack", 96},   {"Telegram", 61},        {"Mail", 34},
        {"Google Chrome", 27}, {"Discord", 18}, {"Microsoft Teams", 12}, {"Note", 7},
        {"Zenity", 3}};
    int64_t total = 0;
    for (const auto& [name, count] : counts) {
        total += count;
    }
    config.setAppTypoCounts(counts);
    config.setTotalTyposCorrected(total);
    dispatch::ManualQueue io(clock);
    TypoCache cache("/nonexistent", files, io, logger);
    net::OfflineHttpClient offline;
    AIClient ai(config, logger, offline, env, clock);

    ui::PreferencesServices services(config, logger, cache, ai);
    services.version = "1.2.0";
    services.build = "1.2.0";
    services.isLaunchAtLoginEnabled = [] { return true; };
    services.soundNames = {"Pop", "Glass", "Ping", "Tink"};
    services.updater.canCheckForUpdates = [] { return true; };
    services.updater.automaticallyChecksForUpdates = [] { return true; };
    services.updater.automaticallyDownloadsUpdates = [] { return false; };
    services.updater.lastUpdateCheckDate = [] { return std::optional<int64_t>(1796554800); };

    bool ok = true;
    ui::prefs::PreferencesWindow window(services);
    for (const auto& [language, lang] :
         {std::pair{AppLanguage::it, "it"}, std::pair{AppLanguage::en, "en"}}) {
        config.setAppLanguage(language);
        for (ui::PrefsTab tab :
             {ui::PrefsTab::stats, ui::PrefsTab::general, ui::PrefsTab::ai, ui::PrefsTab::tone,
              ui::PrefsTab::whitelist, ui::PrefsTab::updates}) {
            window.show(tab);
            ok &= write(window, folder,
                        QStringLiteral("preferences-%1-%2")
                            .arg(QString::fromLatin1(ui::rawValue(tab).data()), lang));
        }
        window.show(ui::PrefsTab::stats);
        if (auto* page = dynamic_cast<ui::prefs::StatisticsPage*>(window.page())) {
            page->chart()->toggleSelected("Slack");
        }
        QTest::qWait(300);  // the emphasis animation
        ok &= write(window, folder, QStringLiteral("preferences-stats-selected-%1").arg(lang));
        config.setAppTypoCounts({});
        config.setTotalTyposCorrected(0);
        window.show(ui::PrefsTab::general);
        window.show(ui::PrefsTab::stats);
        ok &= write(window, folder, QStringLiteral("preferences-stats-empty-%1").arg(lang));
        config.setAppTypoCounts(counts);
        config.setTotalTyposCorrected(total);
    }
    window.close();
    return ok;
}

}  // namespace quorix::screenshots
