#include "ui/PanelStyle.h"

#include <QApplication>
#include <QtMath>

namespace quorix::ui {
namespace {

bool isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightnessF() < 0.5;
}

}  // namespace

QColor PanelStyle::primary(const QPalette& palette) {
    return palette.color(QPalette::WindowText);
}

QColor PanelStyle::secondary(const QPalette& palette) {
    return withAlpha(palette.color(QPalette::WindowText), 0.55);
}

QColor PanelStyle::cardFill(const QPalette& palette) {
    return isDark(palette) ? QColor(255, 255, 255, 18) : QColor(255, 255, 255, 200);
}

QColor PanelStyle::separator(const QPalette& palette) {
    return isDark(palette) ? QColor(255, 255, 255, 110) : QColor(0, 0, 0, 110);
}

QColor PanelStyle::panelFill(const QPalette& palette) {
    return isDark(palette) ? QColor(38, 38, 42) : QColor(242, 242, 245);
}

QColor PanelStyle::withAlpha(QColor c, qreal alpha) {
    c.setAlphaF(static_cast<float>(c.alphaF() * alpha));
    return c;
}

QFont PanelStyle::font(qreal size, QFont::Weight weight) {
    QFont f = QApplication::font();
    f.setPixelSize(qMax(1, qRound(size)));
    f.setWeight(weight);
    return f;
}

}  // namespace quorix::ui
