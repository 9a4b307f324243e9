// The application's presence: icon and tooltip from the settings, the menu
// rebuilt per state, its actions, the permission timer and the link routes.
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <thread>

#include "app/AppDelegate.h"
#include "tests/app/ShellHarness.h"

namespace quorix::app {
namespace {

using testing::waitUntil;

struct AppDelegateTest : ::testing::Test {
    testing::ShellHarness h;
    testing::RecordingDialogs dialogs;
    testing::RecordingWindows windows;
    int quits = 0;
    std::vector<std::string> opened;
    std::unique_ptr<AppDelegate> delegate;

    void SetUp() override {
        h.config->setAppLanguage(AppLanguage::it);
        h.cache.set("ciao coem stai", "ciao come stai");
        delegate = std::make_unique<AppDelegate>(
            h.services(),
            AppDelegate::Options{&windows, &dialogs, nullptr,
                                 [this](const std::string& url) { opened.push_back(url); },
                                 [] { return true; }, [this] { ++quits; }});
        delegate->start();
        delegate->startInterception();
    }
    void TearDown() override { delegate.reset(); }

    // The menu as "text|enabled" lines, submenu entries indented.
    std::vector<std::string> menuLines() {
        delegate->rebuildMenu();
        std::vector<std::string> lines;
        for (QAction* a : delegate->menu()->actions()) {
            if (a->isSeparator()) {
                lines.push_back("---");
                continue;
            }
            lines.push_back(a->text().toStdString() + (a->isEnabled() ? "" : "|off"));
            if (a->menu() != nullptr) {
                for (QAction* sub : a->menu()->actions()) {
                    lines.push_back("  " + (sub->isSeparator() ? std::string("---")
                                                               : sub->text().toStdString()));
                }
            }
        }
        return lines;
    }
    QAction* actionNamed(const std::string& text) {
        delegate->rebuildMenu();
        for (QAction* a : delegate->menu()->findChildren<QAction*>()) {
            if (a->text().toStdString() == text) {
                return a;
            }
        }
        return nullptr;
    }
    void trigger(const std::string& text) {
        QAction* action = actionNamed(text);
        ASSERT_NE(action, nullptr) << text;
        action->trigger();
        QCoreApplication::processEvents();  // actions run queued
    }
};

TEST_F(AppDelegateTest, MenuItemsTextsAndEnabledStatesPerState) {
    h.cache.set("a", "b");
    EXPECT_EQ(menuLines(),
              (std::vector<std::string>{
                  "Quorix|off", "---", "✓  Quorix Attivo", "---", "Preferenze...",
                  "Guida introduttiva...", "---", "Avanzate", "  Test correzione rapida",
                  "  Test coriandoli milestone", "  ---", "  Apri file di registro (debug.log)...",
                  "  Copia registro negli appunti", "  Svuota cache (1 voci)", "---",
                  "Verifica aggiornamenti...|off", "Informazioni su Quorix", "Esci da Quorix"}));

    h.config->setIsEnabled(false);
    h.config->setTotalTyposCorrected(1);
    h.config->setLastCorrectedOriginalWord("qeusto");
    auto lines = menuLines();
    EXPECT_EQ(lines[0], "Quorix · 1 refusi evitati|off");
    EXPECT_EQ(lines[2], "⏸  Quorix in Pausa");
    EXPECT_EQ(lines[3], "Non correggere più \"qeusto\"");

    h.trusted = false;
    h.config->setAppLanguage(AppLanguage::en);
    h.config->setTotalTyposCorrected(1234);
    lines = menuLines();
    EXPECT_EQ(lines[0], "Quorix · 1234 typos avoided|off");
    EXPECT_EQ(lines[2], "⚠️ Accessibility not granted...");
    EXPECT_EQ(lines[3], "Stop correcting \"qeusto\"");
    EXPECT_EQ(lines[14], "  Clear cache (1 entries)");
    EXPECT_EQ(lines.back(), "Quit Quorix");
    EXPECT_EQ(actionNamed("Preferences...")->shortcut(), QKeySequence("Ctrl+,"));
    EXPECT_EQ(actionNamed("Quit Quorix")->shortcut(), QKeySequence("Ctrl+Q"));
}

// Start clears the cache and starts the interceptor and the permission timer;
// the icon then follows settings changed on any thread.
TEST_F(AppDelegateTest, StartThenTheIconFollowsSettingsChangedOnAnyThread) {
    EXPECT_EQ(h.cache.count(), 0u);
    EXPECT_EQ(h.starts, 1);
    EXPECT_TRUE(delegate->isPermissionTimerActive());
    EXPECT_EQ(delegate->trayIcon()->toolTip().toStdString(), "Quorix: Attivo");
    EXPECT_EQ(delegate->currentLook().state(), ui::TrayState::active);
    std::thread writer([&] {
        h.config->setIsEnabled(false);
        h.config->setIconStyle(IconStyle::wand);
    });
    writer.join();
    ASSERT_TRUE(
        waitUntil([&] { return delegate->currentLook().state() == ui::TrayState::paused; }));
    EXPECT_EQ(delegate->currentLook().style, IconStyle::wand);
    EXPECT_EQ(delegate->trayIcon()->toolTip().toStdString(), "Quorix: In pausa");
    h.config->setAppLanguage(AppLanguage::en);
    ASSERT_TRUE(waitUntil([&] { return delegate->trayIcon()->toolTip() == "Quorix: Paused"; }));
}

// Without the permission the menu item explains how to grant it.
TEST_F(AppDelegateTest, PermissionTimerStartsAndStopsTheInterceptor) {
    h.trusted = false;
    trigger("⚠️ Accessibilità non concessa...");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].title, "Attivazione Accessibilità");
    delegate->checkLivePermissions();
    EXPECT_EQ(h.stops, 1);
    EXPECT_EQ(delegate->currentLook().state(), ui::TrayState::notTrusted);
    EXPECT_EQ(delegate->trayIcon()->toolTip().toStdString(), "Quorix: Accessibilità necessaria");
    delegate->checkLivePermissions();
    EXPECT_EQ(h.stops, 1);  // nothing to do while both agree
    h.trusted = true;
    delegate->checkLivePermissions();
    EXPECT_EQ(h.starts, 2);
    EXPECT_TRUE(h.running);
    EXPECT_EQ(delegate->currentLook().state(), ui::TrayState::active);
}

TEST_F(AppDelegateTest, MenuActions) {
    trigger("✓  Quorix Attivo");
    EXPECT_FALSE(h.config->isEnabled());
    EXPECT_NE(testing::readFile(h.base.configPath()).find("\"isEnabled\": false"),
              std::string::npos);
    EXPECT_EQ(delegate->currentLook().state(), ui::TrayState::paused);

    h.config->setLastCorrectedOriginalWord("Qeusto");
    h.cache.set("x", "y");
    trigger("Non correggere più \"Qeusto\"");
    EXPECT_TRUE(h.config->isWordWhitelisted("qeusto"));
    EXPECT_FALSE(h.config->lastCorrectedOriginalWord());
    EXPECT_EQ(h.cache.count(), 0u);

    h.cache.set("x", "y");
    trigger("Svuota cache (1 voci)");
    EXPECT_EQ(h.cache.count(), 0u);
    EXPECT_NE(actionNamed("Svuota cache (0 voci)"), nullptr);

    trigger("Preferenze...");
    trigger("Guida introduttiva...");
    EXPECT_EQ(windows.calls, (std::vector<std::string>{"preferences:stats", "onboarding"}));

    h.config->setSoundEnabled(true);
    trigger("Test coriandoli milestone");
    EXPECT_EQ(h.sounds.played(), std::vector<std::string>{"Glass"});
    ASSERT_EQ(h.notice.calls().size(), 1u);
    EXPECT_NE(h.notice.calls()[0].find("🎉 Quorix: 50° Refuso evitato!"), std::string::npos);

    h.base.logger.log("riga di prova");
    trigger("Copia registro negli appunti");
    EXPECT_TRUE(QGuiApplication::clipboard()->text().contains("riga di prova"));
    trigger("Apri file di registro (debug.log)...");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_NE(opened[0].find("file://"), std::string::npos);

    trigger("Informazioni su Quorix");
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_NE(dialogs.shown.back().text.find("0.1.0"), std::string::npos);

    trigger("Esci da Quorix");
    EXPECT_EQ(quits, 1);
    EXPECT_FALSE(h.running);
    EXPECT_FALSE(delegate->isPermissionTimerActive());
}

TEST_F(AppDelegateTest, TestCorrectionReportsTheClientsAnswer) {
    dialogs.typed = "tipo qeusto";
    trigger("Test correzione rapida");
    // The offline client fails at once: a warning with its description.
    ASSERT_TRUE(waitUntil([&] { return dialogs.shown.size() == 2; }));
    EXPECT_EQ(dialogs.shown[0].text, "Testo di prova da verificare:|tipo qeusto o tipo quetso");
    EXPECT_EQ(dialogs.shown[1].style, ui::ShellDialogs::Style::warning);
    EXPECT_EQ(dialogs.shown[1].title, "Errore di connessione");
}

TEST_F(AppDelegateTest, LinksAndReopen) {
    delegate->handleIncomingURL("quorix://settings/ai");
    delegate->handleIncomingURL("quorix://preferences/");
    delegate->handleIncomingURL("quorix://check-update");  // no updater: nothing
    delegate->handleIncomingURL("quorix://bogus");
    delegate->handleIncomingURL("https://settings/ai");
    delegate->handleReopen();
    EXPECT_EQ(windows.calls, (std::vector<std::string>{"preferences:ai", "preferences:stats",
                                                       "preferences:stats"}));
    const std::string log = h.log();
    EXPECT_NE(log.find("🔗 [AppDelegate] Ricevuto URL Scheme: https://settings/ai"),
              std::string::npos);
    EXPECT_NE(log.find("Percorso URL sconosciuto, ignorato: bogus"), std::string::npos);
    EXPECT_NE(log.find("📱 [App Reopen]"), std::string::npos);
}

}  // namespace
}  // namespace quorix::app
