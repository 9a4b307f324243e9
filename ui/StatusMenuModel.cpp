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

std::vector<MenuEntry> buildStatusMenu(const MenuState& s, const ShellTexts& texts) {
    std::vector<MenuEntry> menu;
    MenuEntry header = item(texts.menuHeader(s.totalTyposCorrected), MenuAction::none);
    header.enabled = false;
    menu.push_back(header);
    menu.push_back(separator());
    if (s.trusted) {
        menu.push_back(
            item(s.enabled ? texts.menuActive() : texts.menuPaused(), MenuAction::toggleEnabled));
    } else {
        menu.push_back(
            item(texts.menuAccessibilityMissing(), MenuAction::openAccessibilitySettings));
    }
    if (s.lastCorrectedOriginalWord) {
        menu.push_back(
            item(texts.menuIgnoreWord(*s.lastCorrectedOriginalWord), MenuAction::ignoreLastWord));
    }
    menu.push_back(separator());
    menu.push_back(item(texts.menuPreferences(), MenuAction::openPreferences, ","));
    menu.push_back(item(texts.menuOnboarding(), MenuAction::showOnboarding));
    menu.push_back(separator());
    MenuEntry advanced = item(texts.menuAdvanced(), MenuAction::none);
    advanced.kind = MenuEntry::Kind::submenu;
    advanced.children = {
        item(texts.menuTestCorrection(), MenuAction::testCorrection),
        item(texts.menuTestConfetti(), MenuAction::testMilestoneConfetti),
        separator(),
        item(texts.menuOpenLog(), MenuAction::openLogFile),
        item(texts.menuCopyLog(), MenuAction::copyLogsToClipboard),
        item(texts.menuClearCache(s.cacheCount), MenuAction::clearCache),
    };
    menu.push_back(advanced);
    menu.push_back(separator());
    MenuEntry updates = item(texts.menuCheckUpdates(), MenuAction::checkForUpdates);
    // Without an update feed there is nothing to check.
    updates.enabled = s.canCheckForUpdates;
    menu.push_back(updates);
    menu.push_back(item(texts.menuAbout(), MenuAction::openAbout));
    menu.push_back(item(texts.menuQuit(), MenuAction::quit, "q"));
    return menu;
}

}  // namespace quorix::ui
