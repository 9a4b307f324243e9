#include "ui/PopoverPlacement.h"

#include <algorithm>

namespace quorix::ui {

QPoint PopoverPlacement::topLeft(QSize size, const QRect& anchor, QPoint pointer,
                                 const QRect& screen, const QRect& available) {
    const QRect at = anchor.isEmpty() ? QRect(pointer, QSize(1, 1)) : anchor;
    int x = at.center().x() - size.width() / 2;
    int y = at.center().y() < screen.center().y() ? at.bottom() + 1 + kGap
                                                  : at.top() - kGap - size.height();
    const QRect area = available.isEmpty() ? screen : available;
    // The left and top edges win when the panel is larger than the area.
    x = std::max(area.left(), std::min(x, area.right() + 1 - size.width()));
    y = std::max(area.top(), std::min(y, area.bottom() + 1 - size.height()));
    return {x, y};
}

}  // namespace quorix::ui
