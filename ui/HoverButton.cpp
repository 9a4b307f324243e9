#include "ui/HoverButton.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "ui/PanelSymbols.h"
#include "ui/TextLine.h"

namespace quorix::ui {

namespace {
constexpr qreal kGap = 4.0;
}

HoverButton::HoverButton(std::string hoverKey, QWidget* parent)
    : QAbstractButton(parent), hoverKey_(std::move(hoverKey)) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
}

void HoverButton::setLook(Look look) {
    look_ = std::move(look);
    updateGeometry();
    update();
}

void HoverButton::setOnHover(std::function<void(const std::string&, bool)> onHover) {
    onHover_ = std::move(onHover);
}

QSize HoverButton::sizeHint() const {
    const QFontMetricsF metrics(look_.font);
    qreal w = text().isEmpty() ? 0.0 : metrics.horizontalAdvance(text());
    qreal h = metrics.height();
    if (!look_.symbol.empty()) {
        w += look_.symbolSize + (text().isEmpty() ? 0.0 : kGap);
        h = std::max(h, look_.symbolSize);
    }
    // One pixel of slack: layout widths and font-metric advances differ by a
    // fraction.
    return {static_cast<int>(std::ceil(w)) + 1 + 2 * look_.hPadding,
            static_cast<int>(std::ceil(h)) + 2 * look_.vPadding};
}

void HoverButton::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    if (onHover_) {
        onHover_(hoverKey_, true);
    }
    QAbstractButton::enterEvent(event);
}

void HoverButton::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    if (onHover_) {
        onHover_(hoverKey_, false);
    }
    QAbstractButton::leaveEvent(event);
}

void HoverButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (hovered_ && look_.hoverFill) {
        p.setPen(Qt::NoPen);
        p.setBrush(*look_.hoverFill);
        p.drawRoundedRect(QRectF(rect()), 5.0, 5.0);
    }
    const QColor ink = currentColor();
    const QSize content = sizeHint() - QSize(2 * look_.hPadding, 2 * look_.vPadding);
    qreal x = std::max<qreal>(look_.hPadding, (width() - content.width()) / 2.0);
    if (!look_.symbol.empty()) {
        const QRectF box(x, (height() - look_.symbolSize) / 2.0, look_.symbolSize,
                         look_.symbolSize);
        PanelSymbols::draw(p, look_.symbol, box, look_.symbolColor.value_or(ink));
        x += look_.symbolSize + kGap;
    }
    if (!text().isEmpty()) {
        p.setFont(look_.font);
        p.setPen(ink);
        const qreal room = width() - x - look_.hPadding;
        p.drawText(QRectF(x, 0, room, height()), Qt::AlignLeft | Qt::AlignVCenter,
                   TextLine::elided(text(), look_.font, room));
    }
}

}  // namespace quorix::ui
