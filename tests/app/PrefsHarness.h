#pragma once
// A preferences window over a temporary settings folder, with recording fakes
// for launch at login, sounds, the updater and the application picker.

#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "tests/app/ShellHarness.h"
#include "ui/prefs/PreferencesWindow.h"

namespace quorix::testing {

struct PrefsHarness {
    ShellHarness shell;
    bool launchAtLogin = false;
    std::vector<std::string> played;
    std::vector<ui::PickedApp> picks;
    std::vector<ui::PickerPurpose> pickerRuns;

    ui::PreferencesServices services(AIClient& ai) {
        ui::PreferencesServices s(*shell.config, shell.base.logger, shell.cache, ai);
        s.version = "1.2.0";
        s.isLaunchAtLoginEnabled = [this] { return launchAtLogin; };
        s.setLaunchAtLogin = [this](bool on) { launchAtLogin = on; };
        s.soundNames = {"Pop", "Glass"};
        s.playSound = [this](const std::string& name) { played.push_back(name); };
        s.pickApps = [this](ui::PickerPurpose purpose, QWidget*) {
            pickerRuns.push_back(purpose);
            return picks;
        };
        return s;
    }
    std::unique_ptr<ui::prefs::PreferencesWindow> open(ui::PrefsTab tab) {
        auto window = std::make_unique<ui::prefs::PreferencesWindow>(services(shell.ai));
        window->show(tab);
        return window;
    }
    // The stored settings as a fresh store reads them from the folder.
    std::unique_ptr<AppConfig> reloaded() { return shell.base.make(StorageMode::readOnly); }
};

template <class T>
T* find(QWidget* root, const char* name) {
    T* child = root->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

}  // namespace quorix::testing
