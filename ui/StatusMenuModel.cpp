#include "ui/StatusMenuModel.h"

#include "ui/ShellTexts.h"

namespace quorix::ui {
namespace {

MenuEntry item(std::string text, MenuAction action, std::string key = {}) {
    MenuEntry e;
    e.text = std::move(text);
    e.action = action;
    e.shortcutKey = std::move(key);
    return e;
}

MenuEntry separator() {
    MenuEntry e;
    e.kind = MenuEntry::Kind::separator;
    e.enabled = false;
    return e;
}

}  // namespace

std::vector<MenuEntry> buildStatusMenu(const MenuState& s) {
    namespace T = ShellTexts;
    std::vector<MenuEntry> menu;
    MenuEntry header = item(T::menuHeader(s.totalTyposCorrected), MenuAction::none);
    header.enabled = false;
    menu.push_back(header);
    menu.push_back(separator());
    if (s.trusted) {
        menu.push_back(
            item(s.enabled ? T::menuActive() : T::menuPaused(), MenuAction::toggleEnabled));
    } else {
        menu.push_back(item(T::menuAccessibilityMissing(), MenuAction::openAccessibilitySettings));
    }
    if (s.lastCorrectedOriginalWord) {
        menu.push_back(
            item(T::menuIgnoreWord(*s.lastCorrectedOriginalWord), MenuAction::ignoreLastWord));
    }
    menu.push_back(separator());
    menu.push_back(item(T::menuPreferences(), MenuAction::openPreferences, ","));
    menu.push_back(item(T::menuOnboarding(), MenuAction::showOnboarding));
    menu.push_back(separator());
    MenuEntry advanced = item(T::menuAdvanced(), MenuAction::none);
    advanced.kind = MenuEntry::Kind::submenu;
    advanced.children = {
        item(T::menuTestCorrection(), MenuAction::testCorrection),
        item(T::menuTestConfetti(), MenuAction::testMilestoneConfetti),
        separator(),
        item(T::menuOpenLog(), MenuAction::openLogFile),
        item(T::menuCopyLog(), MenuAction::copyLogsToClipboard),
        item(T::menuClearCache(s.cacheCount), MenuAction::clearCache),
    };
    menu.push_back(advanced);
    menu.push_back(separator());
    MenuEntry updates = item(T::menuCheckUpdates(), MenuAction::checkForUpdates);
    // Without an update feed there is nothing to check.
    updates.enabled = s.canCheckForUpdates;
    menu.push_back(updates);
    menu.push_back(item(T::menuAbout(), MenuAction::openAbout));
    menu.push_back(item(T::menuQuit(), MenuAction::quit, "q"));
    return menu;
}

}  // namespace quorix::ui
