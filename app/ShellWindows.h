#pragma once
// The windows the shell opens but does not own: the popover, the preferences
// window and onboarding. Their layers implement this.
//
// Thread: the Qt main thread.

#include <QRect>

#include "ui/PrefsTab.h"

namespace quorix::app {

class ShellWindows {
  public:
    virtual ~ShellWindows() = default;
    // Toggles the popover under `anchor` (the tray icon's screen rectangle;
    // empty when unknown).
    virtual void togglePopover(const QRect& anchor) = 0;
    virtual void showPreferences(ui::PrefsTab tab) = 0;
    virtual void showOnboarding() = 0;
};

}  // namespace quorix::app
