// Onboarding: the order of the slides, the demo, the permission poll (in fast
// time) and the accessibility help; the desktop's settings page.
#include <gtest/gtest.h>

#include <atomic>

#include "app/DesktopShellWindows.h"
#include "tests/app/ShellHarness.h"
#include "ui/AccessibilitySettings.h"
#include "ui/OnboardingWindow.h"

namespace quorix::ui {
namespace {

using testing::waitUntil;

struct OnboardingTest : ::testing::Test {
    testing::ShellHarness h;
    testing::RecordingDialogs dialogs;
    std::atomic<bool> trusted{false};
    bool settingsPage = false;
    int settingsOpened = 0;
    std::unique_ptr<OnboardingWindow> window;

    void SetUp() override {
        h.config->setAppLanguage(AppLanguage::it);
        window = std::make_unique<OnboardingWindow>(
            *h.config, OnboardingWindow::Options{.isTrusted = [this] { return trusted.load(); },
                                                 .openSettings =
                                                     [this] {
                                                         ++settingsOpened;
                                                         return settingsPage;
                                                     },
                                                 .dialogs = &dialogs,
                                                 .timeScale = 0.01});
        window->present();
    }
    bool settled() { return !window->isSliding(); }
};

TEST_F(OnboardingTest, StepsInOrderWithTheDemoOnlyOnTheFirst) {
    EXPECT_EQ(window->currentStep(), 0);
    EXPECT_EQ(window->stepText(), "1 di 3");
    EXPECT_TRUE(window->isDemoRunning());
    EXPECT_TRUE(window->isPollRunning());
    window->prevStep();  // nothing before the first
    EXPECT_EQ(window->currentStep(), 0);

    window->forwardButton(0)->click();
    EXPECT_EQ(window->stepText(), "2 di 3");
    EXPECT_FALSE(window->isDemoRunning());
    EXPECT_TRUE(window->isSliding());
    ASSERT_TRUE(waitUntil([&] { return settled(); }));
    EXPECT_TRUE(window->slide(1)->isVisible());
    EXPECT_FALSE(window->slide(0)->isVisible());
    EXPECT_EQ(window->slide(1)->pos(), QPoint(0, 0));

    window->forwardButton(1)->click();
    EXPECT_EQ(window->stepText(), "3 di 3");
    window->nextStep();  // nothing after the last
    EXPECT_EQ(window->currentStep(), 2);
    // A step changed mid-slide lands at once in place.
    window->backButton(2)->click();
    window->backButton(1)->click();
    EXPECT_EQ(window->currentStep(), 0);
    // The demo restarts from the typo.
    EXPECT_TRUE(window->isDemoRunning());
    EXPECT_EQ(window->demoPhase(), 0);
    EXPECT_EQ(window->demoInput()->text(), "ci vedimao stasera per il debrief");
    ASSERT_TRUE(waitUntil([&] { return settled(); }));
    EXPECT_TRUE(window->slide(0)->isVisible());
    EXPECT_FALSE(window->slide(1)->isVisible());
    EXPECT_FALSE(window->slide(2)->isVisible());

    window->goToStep(2, false);
    window->forwardButton(2)->click();  // "Completa configurazione"
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->isPollRunning());
    EXPECT_FALSE(window->isDemoRunning());
}

TEST_F(OnboardingTest, DemoAlternatesTypoAndCorrectionUntilTheWindowCloses) {
    ASSERT_TRUE(waitUntil([&] { return window->demoPhase() == 1; }));
    EXPECT_EQ(window->demoInput()->text(), "ci vediamo stasera per il debrief");
    ASSERT_TRUE(waitUntil([&] { return window->demoPhase() == 0; }));
    EXPECT_EQ(window->demoInput()->text(), "ci vedimao stasera per il debrief");
    window->close();  // the window's close button
    EXPECT_FALSE(window->isPollRunning());
    EXPECT_FALSE(window->isDemoRunning());
}

TEST_F(OnboardingTest, PermissionPollTurnsGreenOnceTrustedAndTheButtonExplains) {
    window->goToStep(1, false);
    EXPECT_EQ(window->permissionStatus()->text(), "In attesa di autorizzazione...");
    EXPECT_TRUE(window->permissionButton()->isEnabled());
    trusted = true;
    ASSERT_TRUE(waitUntil([&] { return !window->permissionButton()->isEnabled(); }));
    EXPECT_EQ(window->permissionStatus()->text(), "Autorizzazione concessa ✓");
    EXPECT_EQ(window->permissionButton()->text(), "Autorizzato ✓");
    trusted = false;
    ASSERT_TRUE(waitUntil([&] { return window->permissionButton()->isEnabled(); }));

    // The button explains, with or without a settings page to open.
    for (bool page : {false, true}) {
        settingsPage = page;
        dialogs.shown.clear();
        window->permissionButton()->click();
        ASSERT_EQ(dialogs.shown.size(), 1u);
        const std::string& text = dialogs.shown[0].text;
        EXPECT_NE(text.find("QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1"), std::string::npos);
        EXPECT_NE(text.find("--force-renderer-accessibility"), std::string::npos);
        EXPECT_EQ(text.find("sono state aperte") != std::string::npos, page) << text;
    }
    EXPECT_EQ(settingsOpened, 2);
}

TEST(AccessibilitySettings, KnownDesktopsWithTheirProgramInstalled) {
    using Command = AccessibilitySettings::Command;
    const QStringList installed{"gnome-control-center", "systemsettings5"};
    const auto find = [&installed](const QString& p) {
        return installed.contains(p) ? "/usr/bin/" + p : QString();
    };
    const auto none = [](const QString&) { return QString(); };
    const Command gnome{"/usr/bin/gnome-control-center", {"universal-access"}};
    EXPECT_EQ(AccessibilitySettings::command("GNOME", find), gnome);
    EXPECT_EQ(AccessibilitySettings::command("ubuntu:GNOME", find), gnome);
    EXPECT_EQ(AccessibilitySettings::command("KDE", find),
              (Command{"/usr/bin/systemsettings5", {"kcm_access"}}));
    EXPECT_EQ(AccessibilitySettings::command("GNOME", none), std::nullopt);
    EXPECT_EQ(AccessibilitySettings::command("XFCE", find), std::nullopt);
    EXPECT_EQ(AccessibilitySettings::command("", find), std::nullopt);
}

TEST(DesktopShellWindows, PreferencesAreLoggedUntilAWindowIsGiven) {
    testing::ShellHarness h;
    app::DesktopShellWindows logging(h.services(), {});
    logging.showPreferences(PrefsTab::ai);
    EXPECT_NE(h.log().find("Preferenze richieste, scheda ai"), std::string::npos);
    std::vector<PrefsTab> shown;
    app::DesktopShellWindows::Options options;
    options.showPreferences = [&shown](PrefsTab tab) { shown.push_back(tab); };
    app::DesktopShellWindows windows(h.services(), options);
    windows.showPreferences(PrefsTab::tone);
    EXPECT_EQ(shown, std::vector<PrefsTab>{PrefsTab::tone});
    windows.showOnboarding();
    ASSERT_NE(windows.onboarding(), nullptr);
    EXPECT_TRUE(windows.onboarding()->isVisible());
    windows.onboarding()->finishOnboarding();
}

}  // namespace
}  // namespace quorix::ui
