#include "ui/StatusMenu.h"

#include <QAction>
#include <QKeySequence>

namespace quorix::ui {
namespace {

void addEntries(QMenu& menu, const std::vector<MenuEntry>& entries,
                const StatusMenu::Handler& onAction) {
    for (const MenuEntry& entry : entries) {
        switch (entry.kind) {
            case MenuEntry::Kind::separator:
                menu.addSeparator();
                break;
            case MenuEntry::Kind::submenu: {
                QMenu* sub = menu.addMenu(QString::fromStdString(entry.text));
                addEntries(*sub, entry.children, onAction);
                break;
            }
            case MenuEntry::Kind::item: {
                QAction* action = menu.addAction(QString::fromStdString(entry.text));
                action->setEnabled(entry.enabled);
                if (!entry.shortcutKey.empty()) {
                    action->setShortcut(
                        QKeySequence(QStringLiteral("Ctrl+") +
                                     QString::fromStdString(entry.shortcutKey).toUpper()));
                }
                if (entry.action != MenuAction::none) {
                    // Queued: a handler may rebuild the menu, which deletes this action.
                    const MenuAction id = entry.action;
                    QObject::connect(
                        action, &QAction::triggered, &menu, [onAction, id] { onAction(id); },
                        Qt::QueuedConnection);
                }
                break;
            }
        }
    }
}

}  // namespace

void StatusMenu::fill(QMenu& menu, const std::vector<MenuEntry>& entries, const Handler& onAction) {
    // Submenus made by an earlier fill are children of the menu: delete them
    // with their actions now (actions run queued, so none is emitting).
    for (QMenu* old : menu.findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) {
        delete old;
    }
    menu.clear();
    addEntries(menu, entries, onAction);
}

}  // namespace quorix::ui
