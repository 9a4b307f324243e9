#include "app/PreferencesShellWindows.h"

#include "ui/prefs/PreferencesWindow.h"

namespace quorix::app {

PreferencesShellWindows::PreferencesShellWindows(ShellWindows& others,
                                                 ui::PreferencesServices services)
    : others_(others), services_(std::move(services)) {}

PreferencesShellWindows::~PreferencesShellWindows() = default;

void PreferencesShellWindows::togglePopover(const QRect& anchor) {
    others_.togglePopover(anchor);
}

void PreferencesShellWindows::showOnboarding() {
    others_.showOnboarding();
}

void PreferencesShellWindows::showPreferences(ui::PrefsTab tab) {
    if (!window_) {
        window_ = std::make_unique<ui::prefs::PreferencesWindow>(services_);
    }
    window_->show(tab);
}

}  // namespace quorix::app
