#include "app/PreferencesHost.h"

#include "ui/prefs/PreferencesWindow.h"

namespace quorix::app {

PreferencesHost::PreferencesHost(ui::PreferencesServices services)
    : services_(std::move(services)) {}

PreferencesHost::~PreferencesHost() = default;

void PreferencesHost::show(ui::PrefsTab tab) {
    if (!window_) {
        window_ = std::make_unique<ui::prefs::PreferencesWindow>(services_);
    }
    window_->show(tab);
}

}  // namespace quorix::app
