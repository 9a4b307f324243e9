#include "ui/SymbolLabel.h"

#include <QPainter>
#include <cmath>

#include "ui/PanelSymbols.h"

namespace quorix::ui {

SymbolLabel::SymbolLabel(std::string name, qreal size, QColor color, QWidget* parent)
    : QWidget(parent), name_(std::move(name)), size_(size), color_(color) {
    const int side = static_cast<int>(std::ceil(size));
    setFixedSize(side, side);
}

void SymbolLabel::setSymbol(std::string name, QColor color) {
    name_ = std::move(name);
    color_ = color;
    update();
}

void SymbolLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    PanelSymbols::draw(p, name_, QRectF(0, 0, size_, size_), color_);
}

}  // namespace quorix::ui
