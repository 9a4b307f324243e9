#pragma once
// What the notice and the confetti need from an X11 display that Qt does not
// offer: an input shape (clicks outside it reach the windows below) and the
// compositor check. On other platforms (offscreen, Wayland) both are no-ops
// answering as a composited desktop would.

#include <QRect>

class QWidget;

namespace quorix::ui::X11Desktop {

// Whether a compositing manager owns _NET_WM_CM_S<screen> (always true off
// X11).
bool hasCompositor();
// Restricts the top-level widget's input to area (in its coordinates); an
// empty area makes the whole window click-through.
void setInputShape(QWidget& window, const QRect& area);

}  // namespace quorix::ui::X11Desktop
