#pragma once
// ShellWindows with the real preferences window: showPreferences opens it
// (created on first use, then kept and raised); the popover and onboarding go
// to `others` until their windows exist.
//
// Thread: the Qt main thread.

#include <functional>
#include <memory>

#include "app/ShellWindows.h"
#include "ui/prefs/PreferencesServices.h"

namespace quorix::ui::prefs {
class PreferencesWindow;
}

namespace quorix::app {

class PreferencesShellWindows final : public ShellWindows {
  public:
    PreferencesShellWindows(ShellWindows& others, ui::PreferencesServices services);
    ~PreferencesShellWindows() override;

    void togglePopover(const QRect& anchor) override;
    void showPreferences(ui::PrefsTab tab) override;
    void showOnboarding() override;

    // The window once it was opened, else null.
    ui::prefs::PreferencesWindow* preferences() const { return window_.get(); }

  private:
    ShellWindows& others_;
    ui::PreferencesServices services_;
    std::unique_ptr<ui::prefs::PreferencesWindow> window_;
};

}  // namespace quorix::app
