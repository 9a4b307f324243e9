#include "app/DesktopShellWindows.h"

#include <string>

namespace quorix::app {

DesktopShellWindows::DesktopShellWindows(const AppServices& services, Options options)
    : s_(services), o_(std::move(options)) {
    ui::PopoverActions actions;
    actions.openPreferences = [this](ui::PrefsTab tab) { showPreferences(tab); };
    actions.checkForUpdates = o_.checkForUpdates;
    actions.quit = o_.quit;
    actions.clearCache = [this] { s_.cache.clear(); };
    actions.playSound = [this](const std::string& name) { s_.sounds.play(name); };
    popover_ = std::make_unique<ui::PopoverController>(s_.config, std::move(actions));
}

DesktopShellWindows::~DesktopShellWindows() = default;

void DesktopShellWindows::togglePopover(const QRect& anchor) {
    popover_->togglePopover(anchor);
}

void DesktopShellWindows::showPreferences(ui::PrefsTab tab) {
    if (o_.showPreferences) {
        o_.showPreferences(tab);
        return;
    }
    s_.logger.log("🪟 [Shell] Preferenze richieste, scheda " + std::string(ui::rawValue(tab)) +
                  ": non ancora disponibili.");
}

void DesktopShellWindows::showOnboarding() {
    if (!onboarding_) {
        onboarding_ = std::make_unique<ui::OnboardingWindow>(
            s_.config, ui::OnboardingWindow::Options{.isTrusted = s_.isTrusted,
                                                     .openSettings = o_.openAccessibilitySettings,
                                                     .dialogs = o_.dialogs,
                                                     .timeScale = 1.0});
    }
    onboarding_->present();
}

}  // namespace quorix::app
