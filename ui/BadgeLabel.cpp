#include "ui/BadgeLabel.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "ui/PanelStyle.h"

namespace quorix::ui {

BadgeLabel::BadgeLabel(const QString& text, const QFont& font, QColor color, QSizeF padding,
                       QWidget* parent)
    : QWidget(parent), text_(text), font_(font), color_(color), padding_(padding) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize BadgeLabel::sizeHint() const {
    const QFontMetricsF metrics(font_);
    return {static_cast<int>(std::ceil(metrics.horizontalAdvance(text_) + 2 * padding_.width())),
            static_cast<int>(std::ceil(metrics.capHeight() + 2 * padding_.height() + 4))};
}

void BadgeLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(PanelStyle::withAlpha(color_, 0.12));
    p.drawRoundedRect(QRectF(rect()), 3.5, 3.5);
    p.setFont(font_);
    p.setPen(color_);
    p.drawText(QRectF(rect()), Qt::AlignCenter, text_);
}

}  // namespace quorix::ui
