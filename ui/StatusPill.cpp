#include "ui/StatusPill.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "ui/PanelStyle.h"
#include "ui/PanelSymbols.h"

namespace quorix::ui {
namespace {

constexpr qreal kPadH = 9.0;
constexpr qreal kPadV = 4.5;
constexpr qreal kMark = 6.0;
constexpr qreal kGap = 5.0;

QFont labelFont() {
    return PanelStyle::font(10.5, QFont::Bold);
}

}  // namespace

StatusPill::StatusPill(QWidget* parent) : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void StatusPill::setState(bool active, const QString& label) {
    active_ = active;
    setText(label);
    updateGeometry();
    update();
}

QColor StatusPill::tint() const {
    return active_ ? PanelStyle::green() : PanelStyle::orange();
}

QSize StatusPill::sizeHint() const {
    const QFontMetricsF metrics(labelFont());
    return {
        static_cast<int>(std::ceil(2 * kPadH + kMark + kGap + metrics.horizontalAdvance(text()))),
        static_cast<int>(std::ceil(2 * kPadV + metrics.height()))};
}

void StatusPill::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor c = tint();
    const QRectF box = QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4);
    p.setBrush(PanelStyle::withAlpha(c, 0.12));
    p.setPen(QPen(PanelStyle::withAlpha(c, 0.25), 0.8));
    p.drawRoundedRect(box, box.height() / 2.0, box.height() / 2.0);
    const QRectF mark(kPadH, (height() - kMark) / 2.0, kMark, kMark);
    if (active_) {
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawEllipse(mark);
    } else {
        PanelSymbols::draw(p, "pause.fill", mark.adjusted(-0.5, -0.8, 0.5, 0.8), c);
    }
    p.setFont(labelFont());
    p.setPen(c);
    p.drawText(QRectF(kPadH + kMark + kGap, 0, width(), height()), Qt::AlignLeft | Qt::AlignVCenter,
               text());
}

}  // namespace quorix::ui
