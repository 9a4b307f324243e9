#pragma once
// Owns the preferences window: created on the first show(), then kept, raised
// and switched to the requested tab.
//
// Thread: the Qt main thread.

#include <memory>

#include "ui/PrefsTab.h"
#include "ui/prefs/PreferencesServices.h"

namespace quorix::ui::prefs {
class PreferencesWindow;
}

namespace quorix::app {

class PreferencesHost {
  public:
    explicit PreferencesHost(ui::PreferencesServices services);
    ~PreferencesHost();
    PreferencesHost(const PreferencesHost&) = delete;
    PreferencesHost& operator=(const PreferencesHost&) = delete;

    void show(ui::PrefsTab tab);
    // The window once it was opened, else null.
    ui::prefs::PreferencesWindow* window() const { return window_.get(); }

  private:
    ui::PreferencesServices services_;
    std::unique_ptr<ui::prefs::PreferencesWindow> window_;
};

}  // namespace quorix::app
