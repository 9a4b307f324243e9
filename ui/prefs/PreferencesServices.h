#pragma once
// What the preferences window works on, handed in by the shell. The window
// never builds engine services; every reference must outlive the window.

#include <QWidget>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/ai/AIClient.h"
#include "core/config/AppConfig.h"
#include "core/config/AppLogger.h"
#include "core/knowledge/TypoCache.h"
#include "ui/prefs/InstalledApp.h"

namespace quorix::ui {

// The update checker as the Updates page drives it. Empty functions read as
// "no updater": the page shows the switches off and the check disabled.
struct UpdaterControls {
    std::function<bool()> canCheckForUpdates;
    std::function<void()> checkForUpdates;
    std::function<bool()> automaticallyChecksForUpdates;
    std::function<void(bool)> setAutomaticallyChecksForUpdates;
    std::function<bool()> automaticallyDownloadsUpdates;
    std::function<void(bool)> setAutomaticallyDownloadsUpdates;
    // Seconds since the epoch of the last completed check.
    std::function<std::optional<int64_t>()> lastUpdateCheckDate;
};

// Which list an application picker adds to (its texts differ).
enum class PickerPurpose { exclude, workApp };

struct PreferencesServices {
    PreferencesServices(AppConfig& c, AppLogger& l, TypoCache& t, AIClient& a)
        : config(c), logger(l), cache(t), ai(a) {}

    AppConfig& config;
    AppLogger& logger;
    TypoCache& cache;
    AIClient& ai;
    std::string version;
    std::string build;
    // The application delegate's status refresh, after "Enable" changes.
    std::function<void()> updateStatusAppearance;
    std::function<bool()> isLaunchAtLoginEnabled;
    std::function<void(bool)> setLaunchAtLogin;
    // Sound names offered for the correction sound, and how to play one.
    std::vector<std::string> soundNames;
    std::function<void(const std::string&)> playSound;
    UpdaterControls updater;
    // Installed applications for the pickers (InstalledApps::scan by default).
    std::function<std::vector<InstalledApp>()> installedApps;
    // Runs a picker; empty: the modal AppPickerDialog. Tests answer directly.
    std::function<std::vector<PickedApp>(PickerPurpose, QWidget* parent)> pickApps;
    // The engine check gives up after this long (the correction flow's AI limit).
    std::chrono::milliseconds engineCheckLimit{5000};
};

}  // namespace quorix::ui
