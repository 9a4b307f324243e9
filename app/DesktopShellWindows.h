#pragma once
// The shell's windows on the desktop: the popover at the tray icon and the
// onboarding window. The preferences window belongs to its own layer and is
// reached through `showPreferences`; without it, requests are logged.
//
// Thread: the Qt main thread. The services must outlive this object.

#include <functional>
#include <memory>

#include "app/AppServices.h"
#include "app/ShellWindows.h"
#include "ui/OnboardingWindow.h"
#include "ui/PopoverController.h"
#include "ui/ShellDialogs.h"

namespace quorix::app {

class DesktopShellWindows final : public ShellWindows {
  public:
    struct Options {
        // Opens the preferences window on a tab; empty: the request is logged.
        std::function<void(ui::PrefsTab)> showPreferences;
        // A user-initiated update check.
        std::function<void()> checkForUpdates;
        // Quits the application (the status menu's Quit).
        std::function<void()> quit;
        // Shows onboarding's accessibility help.
        ui::ShellDialogs* dialogs = nullptr;
        // Opens the desktop's accessibility settings (AccessibilitySettings
        // by default).
        std::function<bool()> openAccessibilitySettings;
    };

    DesktopShellWindows(const AppServices& services, Options options);
    ~DesktopShellWindows() override;

    void togglePopover(const QRect& anchor) override;
    void showPreferences(ui::PrefsTab tab) override;
    void showOnboarding() override;

    ui::PopoverController& popover() { return *popover_; }
    // Null until onboarding is first shown.
    ui::OnboardingWindow* onboarding() const { return onboarding_.get(); }

  private:
    AppServices s_;
    Options o_;
    std::unique_ptr<ui::PopoverController> popover_;
    std::unique_ptr<ui::OnboardingWindow> onboarding_;
};

}  // namespace quorix::app
