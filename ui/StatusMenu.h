#pragma once
// Fills a QMenu from the menu model: each action item calls `onAction` with its
// MenuAction when triggered. The menu is cleared first, so the same QMenu (the
// tray's context menu) is rebuilt from scratch on every opening.

#include <QMenu>
#include <functional>
#include <vector>

#include "ui/StatusMenuModel.h"

namespace quorix::ui {

class StatusMenu {
  public:
    using Handler = std::function<void(MenuAction)>;
    static void fill(QMenu& menu, const std::vector<MenuEntry>& entries, const Handler& onAction);
};

}  // namespace quorix::ui
