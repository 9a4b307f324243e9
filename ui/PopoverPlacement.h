#pragma once
// Where the popover goes: centred on the tray icon, hanging below it when the
// icon is in the upper half of its screen and standing above it otherwise,
// then moved as little as needed to lie wholly inside the screen's available
// area. When the icon's rectangle is unknown (empty), the pointer stands in
// for it.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace quorix::ui {

class PopoverPlacement {
  public:
    // Distance between the icon and the panel.
    static constexpr int kGap = 4;

    // screen: the whole screen holding the anchor (or the pointer);
    // available: its area free of panels and docks.
    static QPoint topLeft(QSize size, const QRect& anchor, QPoint pointer, const QRect& screen,
                          const QRect& available);
};

}  // namespace quorix::ui
