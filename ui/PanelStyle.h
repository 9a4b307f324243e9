#pragma once
// Colours and fonts shared by the popover and onboarding. The named colours are
// fixed sRGB values; "primary", "secondary", the card fill and the separator
// follow the widget's palette, so a dark theme stays legible.

#include <QColor>
#include <QFont>
#include <QPalette>

namespace quorix::ui {

class PanelStyle {
  public:
    static QColor green() { return QColor::fromRgbF(0.204f, 0.78f, 0.349f); }
    static QColor red() { return QColor::fromRgbF(0.957f, 0.247f, 0.369f); }
    static QColor blue() { return QColor::fromRgbF(0.0f, 0.478f, 1.0f); }
    static QColor purple() { return QColor::fromRgbF(0.686f, 0.322f, 0.871f); }
    static QColor orange() { return QColor::fromRgbF(1.0f, 0.584f, 0.0f); }

    static QColor primary(const QPalette& palette);
    static QColor secondary(const QPalette& palette);
    // Background of cards and buttons.
    static QColor cardFill(const QPalette& palette);
    static QColor separator(const QPalette& palette);
    // The panel's own background.
    static QColor panelFill(const QPalette& palette);

    // c at the given opacity (0..1).
    static QColor withAlpha(QColor c, qreal alpha);
    // The application font at `size` pixels (rounded) and `weight`.
    static QFont font(qreal size, QFont::Weight weight = QFont::Normal);
};

}  // namespace quorix::ui
