#pragma once
// The right-click menu as data: built from scratch from the current state on
// every opening, then turned into a QMenu by StatusMenu. Texts follow the
// interface language of `texts`' configuration at the moment of the build.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorix::ui {

enum class MenuAction {
    none,
    toggleEnabled,
    openAccessibilitySettings,
    ignoreLastWord,
    openPreferences,
    showOnboarding,
    testCorrection,
    testMilestoneConfetti,
    openLogFile,
    copyLogsToClipboard,
    clearCache,
    checkForUpdates,
    openAbout,
    quit,
};

struct MenuState {
    bool trusted = false;
    bool enabled = true;
    int64_t totalTyposCorrected = 0;
    std::optional<std::string> lastCorrectedOriginalWord;
    std::size_t cacheCount = 0;
    bool canCheckForUpdates = false;
};

struct MenuEntry {
    enum class Kind { item, separator, submenu };
    Kind kind = Kind::item;
    std::string text;
    bool enabled = true;
    MenuAction action = MenuAction::none;
    std::string shortcutKey;  // with the Ctrl modifier; "" for none
    std::vector<MenuEntry> children;
};

class ShellTexts;

std::vector<MenuEntry> buildStatusMenu(const MenuState& state, const ShellTexts& texts);

}  // namespace quorix::ui
