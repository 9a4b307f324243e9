#pragma once
// What the popover's buttons ask of the rest of the program. Every member may
// be empty (the button then only does its settings part).

#include <functional>
#include <string>

#include "ui/PrefsTab.h"

namespace quorix::ui {

struct PopoverActions {
    // Opens the preferences window on a tab (the popover has closed first).
    std::function<void(PrefsTab)> openPreferences;
    // A user-initiated update check (the popover has closed first).
    std::function<void()> checkForUpdates;
    std::function<void()> quit;
    // Empties the correction cache (after a word is excluded).
    std::function<void()> clearCache;
    // Plays a named system sound ("Pop").
    std::function<void(const std::string&)> playSound;
};

}  // namespace quorix::ui
