#include "ui/ToneButton.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "ui/PanelStyle.h"
#include "ui/PanelSymbols.h"

namespace quorix::ui {
namespace {

constexpr qreal kSymbol = 12.0;
constexpr qreal kGap = 5.0;
constexpr qreal kPadV = 7.0;
constexpr qreal kRadius = 8.0;

QFont labelFont(bool selected) {
    return PanelStyle::font(11, selected ? QFont::DemiBold : QFont::Normal);
}

}  // namespace

ToneButton::ToneButton(std::string symbol, QColor toneColor, QWidget* parent)
    : QAbstractButton(parent), symbol_(std::move(symbol)), toneColor_(toneColor) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ToneButton::setSelected(bool selected) {
    selected_ = selected;
    update();
}

QSize ToneButton::sizeHint() const {
    const QFontMetricsF metrics(labelFont(true));
    return {static_cast<int>(std::ceil(kSymbol + kGap + metrics.horizontalAdvance(text()) + 16)),
            static_cast<int>(std::ceil(std::max(kSymbol, metrics.height()) + 2 * kPadV))};
}

void ToneButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (selected_) {
        p.setBrush(PanelStyle::withAlpha(toneColor_, 0.10));
        p.setPen(QPen(toneColor_, 1.0));
    } else {
        p.setBrush(PanelStyle::cardFill(pal));
        p.setPen(QPen(PanelStyle::withAlpha(PanelStyle::separator(pal), 0.4), 1.0));
    }
    p.drawRoundedRect(box, kRadius, kRadius);

    const QColor ink = selected_ ? PanelStyle::primary(pal) : PanelStyle::secondary(pal);
    const QFont font = labelFont(selected_);
    const QFontMetricsF metrics(font);
    // Symbol and label centred together; a label too wide is cut with "…".
    const qreal room = width() - 12 - kSymbol - kGap;
    const QString label = metrics.elidedText(text(), Qt::ElideRight, room);
    const qreal content = kSymbol + kGap + metrics.horizontalAdvance(label);
    const qreal x = (width() - content) / 2.0;
    PanelSymbols::draw(p, symbol_, QRectF(x, (height() - kSymbol) / 2.0, kSymbol, kSymbol),
                       selected_ ? toneColor_ : PanelStyle::secondary(pal));
    p.setFont(font);
    p.setPen(ink);
    p.drawText(QRectF(x + kSymbol + kGap, 0, room, height()), Qt::AlignLeft | Qt::AlignVCenter,
               label);
}

}  // namespace quorix::ui
