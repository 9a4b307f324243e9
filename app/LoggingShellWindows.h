#pragma once
// ShellWindows while the popover, preferences and onboarding windows do not
// exist yet: every request is written to the log.

#include "app/ShellWindows.h"
#include "core/config/AppLogger.h"

namespace quorix::app {

class LoggingShellWindows final : public ShellWindows {
  public:
    explicit LoggingShellWindows(AppLogger& logger) : logger_(logger) {}
    void togglePopover(const QRect& anchor) override;
    void showPreferences(ui::PrefsTab tab) override;
    void showOnboarding() override;

  private:
    AppLogger& logger_;
};

}  // namespace quorix::app
