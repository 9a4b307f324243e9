// The preferences window: every control writes and saves its setting, changes
// made elsewhere reach the controls, the window is one and keeps its tab, the
// lists of the Tone and Exceptions pages, the key routing, the engine check.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <thread>

#include "core/net/CurlHttpClient.h"
#include "tests/app/PrefsHarness.h"
#include "tests/core/ai/AITestSupport.h"
#include "ui/prefs/AiEnginePage.h"
#include "ui/prefs/EntryList.h"
#include "ui/prefs/ExceptionsPage.h"
#include "ui/prefs/GeneralPage.h"
#include "ui/prefs/PrefsSidebar.h"
#include "ui/prefs/ToggleSwitch.h"

namespace quorix::ui::prefs {
namespace {

using testing::find;
using testing::waitUntil;

struct PreferencesWindowTest : ::testing::Test {
    testing::PrefsHarness h;
    AppConfig& config = *h.shell.config;
};

TEST_F(PreferencesWindowTest, EachGeneralSwitchWritesAndSavesItsSetting) {
    auto window = h.open(PrefsTab::general);
    struct Row {
        const char* name;
        bool (AppConfig::*get)() const;
    };
    for (const Row& row :
         {Row{"isEnabled", &AppConfig::isEnabled}, Row{"soundEnabled", &AppConfig::soundEnabled},
          Row{"correctAccents", &AppConfig::correctAccents},
          Row{"autoFixPunctuation", &AppConfig::autoFixPunctuation},
          Row{"globalHotkeyEnabled", &AppConfig::globalHotkeyEnabled}}) {
        SCOPED_TRACE(row.name);
        auto* toggle = find<ToggleSwitch>(window.get(), row.name);
        const bool before = (config.*row.get)();
        ASSERT_EQ(toggle->isChecked(), before);
        QTest::mouseClick(toggle, Qt::LeftButton);
        EXPECT_EQ((config.*row.get)(), !before);
        EXPECT_EQ((*h.reloaded().*row.get)(), !before);
    }

    QTest::mouseClick(find<QAbstractButton>(window.get(), "mode.ctrlEnter"), Qt::LeftButton);
    EXPECT_EQ(h.reloaded()->mode(), CorrectionMode::ctrlEnter);
    auto* sound = find<QComboBox>(window.get(), "soundName");
    sound->setCurrentIndex(1);
    emit sound->activated(1);
    EXPECT_EQ(h.reloaded()->soundName(), "Glass");
    EXPECT_EQ(h.played, std::vector<std::string>{"Glass"});
    QTest::mouseClick(find<ToggleSwitch>(window.get(), "launchAtLogin"), Qt::LeftButton);
    EXPECT_TRUE(h.launchAtLogin);
}

TEST_F(PreferencesWindowTest, ChangesMadeElsewhereReachTheControls) {
    auto window = h.open(PrefsTab::general);
    auto* enabled = find<ToggleSwitch>(window.get(), "isEnabled");
    auto* language = find<QComboBox>(window.get(), "appLanguage");
    ASSERT_TRUE(enabled->isChecked());
    // The popover pausing Quorix from another thread.
    std::thread([this] {
        config.setIsEnabled(false);
        config.setMode(CorrectionMode::ctrlEnter);
        config.save();
    }).join();
    EXPECT_TRUE(waitUntil([&] { return !enabled->isChecked(); }));
    EXPECT_TRUE(waitUntil(
        [&] { return find<QAbstractButton>(window.get(), "mode.ctrlEnter")->isChecked(); }));
    // A new language rebuilds the page; the new combo shows it.
    config.setAppLanguage(AppLanguage::en);
    EXPECT_TRUE(waitUntil([&] {
        auto* combo = window->findChild<QComboBox*>("appLanguage");
        return combo != nullptr && combo != language && combo->currentData().toString() == "en";
    }));
}

TEST_F(PreferencesWindowTest, OneWindowThatKeepsItsTabAndDropsThePageWhenClosed) {
    auto window = h.open(PrefsTab::updates);
    QTest::mouseClick(window->sidebar(), Qt::LeftButton, {},
                      window->sidebar()->rowRect(PrefsTab::whitelist).center());
    EXPECT_EQ(window->selectedTab(), PrefsTab::whitelist);
    EXPECT_NE(dynamic_cast<ExceptionsPage*>(window->page()), nullptr);
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->page(), nullptr);
    window->show(window->selectedTab());
    EXPECT_NE(dynamic_cast<ExceptionsPage*>(window->page()), nullptr);
    window->show(PrefsTab::general);
    EXPECT_NE(dynamic_cast<GeneralPage*>(window->page()), nullptr);
}

TEST_F(PreferencesWindowTest, KeyPrefixPicksTheProviderAndTheFieldIsWipedOnClose) {
    config.setGroqApiKey("gsk_old");
    config.setDeepseekApiKey("sk-old");
    auto window = h.open(PrefsTab::ai);
    auto* page = dynamic_cast<AiEnginePage*>(window->page());
    ASSERT_NE(page, nullptr);
    QLineEdit* key = page->keyField();
    EXPECT_EQ(key->echoMode(), QLineEdit::Password);
    QTest::mouseClick(page->eyeButton(), Qt::LeftButton);
    EXPECT_EQ(key->echoMode(), QLineEdit::Normal);

    const std::vector<std::tuple<const char*, AIProvider, std::string>> cases{
        {"  gsk_new  ", AIProvider::groq, "gsk_new"},
        {"sk-new", AIProvider::deepseek, "sk-new"},
        {"AIzaNew", AIProvider::gemini, "AIzaNew"},
        {"", AIProvider::gemini, ""},
    };
    for (const auto& [typed, provider, stored] : cases) {
        SCOPED_TRACE(typed);
        key->selectAll();
        QTest::keyClick(key, Qt::Key_Backspace);
        QTest::keyClicks(key, typed);
        page->savePersonalKey();  // what settling does
        const auto saved = h.reloaded();
        EXPECT_EQ(saved->provider(), provider);
        const std::string actual = provider == AIProvider::groq       ? saved->groqApiKey()
                                   : provider == AIProvider::deepseek ? saved->deepseekApiKey()
                                                                      : saved->apiKey();
        EXPECT_EQ(actual, stored);
    }
    // Typing a Groq key by hand never leaves a fragment in the Gemini key.
    config.setApiKey("AIzaKeep");
    key->clear();
    QTest::keyClicks(key, "gsk_typed");
    window->close();  // pending key saved, field wiped
    EXPECT_EQ(h.reloaded()->groqApiKey(), "gsk_typed");
    EXPECT_EQ(config.apiKey(), "AIzaKeep");
    EXPECT_EQ(h.shell.log().find("gsk_typed"), std::string::npos);
}

TEST_F(PreferencesWindowTest, ExceptionListsAddAndRemoveThroughThePickerAndTheDictionary) {
    h.shell.cache.set("ciao supabse", "ciao supabase");
    auto window = h.open(PrefsTab::whitelist);
    auto* page = dynamic_cast<ExceptionsPage*>(window->page());
    ASSERT_NE(page, nullptr);

    h.picks = {{"/usr/share/applications/org.gnome.Zenity.desktop", {}}, {{}, "  Slack "}};
    QTest::mouseClick(find<QAbstractButton>(page, "excludeApp"), Qt::LeftButton);
    EXPECT_EQ(h.pickerRuns, std::vector<PickerPurpose>{PickerPurpose::exclude});
    EXPECT_EQ(h.reloaded()->customBlacklistedApps(),
              (std::vector<std::string>{"org.gnome.zenity", "slack"}));
    ASSERT_TRUE(waitUntil([&] { return page->apps()->count() == 2; }));
    page->apps()->onRemove(page->apps()->idAt(1));
    EXPECT_EQ(h.reloaded()->customBlacklistedApps(), std::vector<std::string>{"org.gnome.zenity"});

    config.setWhitelistWords({});
    QTest::keyClicks(page->newWordField(), "   ");
    QTest::keyClick(page->newWordField(), Qt::Key_Return);
    EXPECT_TRUE(config.whitelistWords().empty());
    EXPECT_EQ(h.shell.cache.count(), 1u);
    page->newWordField()->clear();
    QTest::keyClicks(page->newWordField(), "  Supabase ");
    QTest::keyClick(page->newWordField(), Qt::Key_Return);
    EXPECT_EQ(h.reloaded()->whitelistWords(), std::set<std::string>{"supabase"});
    EXPECT_EQ(page->newWordField()->text(), "");
    EXPECT_EQ(h.shell.cache.count(), 0u);

    config.addWordToWhitelist("figma");
    QTest::keyClicks(page->searchField(), "BASE");
    ASSERT_TRUE(waitUntil([&] { return page->words()->count() == 1; }));
    EXPECT_EQ(page->words()->titleAt(0), "supabase");
    EXPECT_NE(page->findChildren<QLabel*>().size(), 0);
    bool countsAll = false;
    for (QLabel* label : page->findChildren<QLabel*>()) {
        countsAll |= label->text() == "Parole Salvate (2)";
    }
    EXPECT_TRUE(countsAll);
    h.shell.cache.set("ciao supabse", "ciao supabase");
    page->words()->onRemove("supabase");
    EXPECT_EQ(h.reloaded()->whitelistWords(), std::set<std::string>{"figma"});
    EXPECT_EQ(h.shell.cache.count(), 0u);
}

TEST_F(PreferencesWindowTest, WorkApplicationsAddAndRemove) {
    config.setExecutiveWorkApps({"slack"});
    auto window = h.open(PrefsTab::tone);
    h.picks = {{{}, "zenity"}, {{}, "Slack"}};
    QTest::mouseClick(find<QAbstractButton>(window.get(), "addWorkApp"), Qt::LeftButton);
    EXPECT_EQ(h.reloaded()->executiveWorkApps(), (std::vector<std::string>{"slack", "zenity"}));
    QTest::mouseClick(find<QAbstractButton>(window.get(), "tone.formal"), Qt::LeftButton);
    EXPECT_EQ(h.reloaded()->toneStyle(), ToneStyle::formal);
    auto* list = find<EntryList>(window.get(), "workApps");
    ASSERT_TRUE(waitUntil([&] { return list->count() == 2; }));
    list->onRemove("slack");
    list->onRemove("zenity");
    EXPECT_TRUE(h.reloaded()->executiveWorkApps().empty());
}

TEST_F(PreferencesWindowTest, UpdatesPageDrivesTheCheckerAndFollowsCanCheck) {
    bool canCheck = false, autoCheck = true, autoDownload = true;
    int checks = 0;
    PreferencesServices s = h.services(h.shell.ai);
    s.updater = {[&] { return canCheck; },
                 [&] { ++checks; },
                 [&] { return autoCheck; },
                 [&](bool on) { autoCheck = on; },
                 [&] { return autoDownload; },
                 [&](bool on) { autoDownload = on; },
                 [] { return std::optional<int64_t>(); }};
    PreferencesWindow window(s);
    window.show(PrefsTab::updates);
    auto* check = find<QPushButton>(&window, "checkUpdates");
    EXPECT_FALSE(check->isEnabled());  // no feed in this build
    canCheck = true;
    window.updaterChanged();
    ASSERT_TRUE(check->isEnabled());
    QTest::mouseClick(check, Qt::LeftButton);
    EXPECT_EQ(checks, 1);
    EXPECT_FALSE(check->isEnabled());  // checking; enabled again after the pause
    QTest::mouseClick(find<ToggleSwitch>(&window, "automaticallyDownloadsUpdates"), Qt::LeftButton);
    EXPECT_FALSE(autoDownload);
    autoCheck = false;
    window.updaterChanged();
    EXPECT_FALSE(find<ToggleSwitch>(&window, "automaticallyChecksForUpdates")->isChecked());
}

// The AI page's engine check against a loopback provider: a fast answer, an
// error, and a provider that stalls past the check's limit (driven short
// here); the window stays responsive meanwhile.
constexpr const char* kCloud = "/v1/correct";

struct EngineCheckTest : ::testing::Test {
    testing::PrefsHarness h;
    net::CurlHttpClient http{net::CurlHttpClientOptions{.totalTimeout = dispatch::seconds(5)}};
    AIClient ai{*h.shell.config, h.shell.base.logger, http, h.shell.base.env, h.shell.base.clock};
    // Destroyed first, which releases a stalled reply before the client waits for it.
    testing::FakeProviders server;

    void SetUp() override { h.shell.config->setCloudProxyURL(server.base() + kCloud); }

    // Runs the check on the AI page; the final status line.
    QString check(std::chrono::milliseconds limit, AiEnginePage** pageOut = nullptr) {
        ui::PreferencesServices services = h.services(ai);
        services.engineCheckLimit = limit;
        window = std::make_unique<PreferencesWindow>(services);
        window->show(PrefsTab::ai);
        auto* page = dynamic_cast<AiEnginePage*>(window->page());
        EXPECT_NE(page, nullptr);
        QTest::mouseClick(page->checkButton(), Qt::LeftButton);
        EXPECT_FALSE(page->checkButton()->isEnabled());
        if (pageOut != nullptr) {
            *pageOut = page;
        }
        EXPECT_TRUE(testing::waitUntil([page] { return !page->isTesting(); }, 8000));
        EXPECT_TRUE(page->checkButton()->isEnabled());
        return page->testStatus();
    }
    std::unique_ptr<PreferencesWindow> window;
};

// A fast answer shows the elapsed time and the corrected sample; an error is
// reported with its description.
TEST_F(EngineCheckTest, AFastAnswerOrAnErrorWithItsDescription) {
    server.reply(kCloud, 200, R"({"correctedText":"prova testo scritto velocemente"})");
    QString status = check(std::chrono::milliseconds(5000));
    EXPECT_TRUE(status.startsWith("✓ Success in ")) << status.toStdString();
    EXPECT_TRUE(status.endsWith("ms: \"prova testo scritto velocemente\"")) << status.toStdString();
    EXPECT_EQ(window->engineStatus().state, EngineStatus::State::reachable);
    ASSERT_EQ(server.paths(), std::vector<std::string>{kCloud});
    EXPECT_NE(server.requests()[0].body.find("prov testto scirtto velocemnte"), std::string::npos);

    h.shell.config->setAppLanguage(AppLanguage::it);
    server.reply(kCloud, 503, R"({"error":"cloud down"})");
    h.shell.config->setProvider(AIProvider::groq);
    h.shell.config->setGroqApiKey("gsk_wrong");
    server.reply(std::string(AIClient::kGroqPath), 401, testing::errorBody("Invalid API Key"));
    status = check(std::chrono::milliseconds(5000));
    EXPECT_TRUE(status.startsWith("❌ Errore (")) << status.toStdString();
    EXPECT_EQ(status.toStdString().find("gsk_wrong"), std::string::npos);
    EXPECT_EQ(window->engineStatus().state, EngineStatus::State::unreachable);
}

TEST_F(EngineCheckTest, AStallingProviderEndsAtTheLimitAndTheWindowStaysResponsive) {
    server.on(kCloud, [](const testing::RecordedRequest&) {
        return testing::Scripted{200, R"({"correctedText":"late"})", true};
    });
    QElapsedTimer timer;
    timer.start();
    const QString status = check(std::chrono::milliseconds(150));
    EXPECT_TRUE(status.startsWith("❌ Error (")) << status.toStdString();
    EXPECT_TRUE(status.endsWith("no answer within 150 ms")) << status.toStdString();
    EXPECT_LT(timer.elapsed(), 3000);
    // The main thread was free: the page can be left and the window closed at once.
    window->show(PrefsTab::general);
    window->close();
}

}  // namespace
}  // namespace quorix::ui::prefs
