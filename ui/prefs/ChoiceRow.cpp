#include "ui/prefs/ChoiceRow.h"

#include <QPainter>

#include "ui/prefs/PrefsStyle.h"
#include "ui/prefs/PrefsSymbols.h"

namespace quorix::ui::prefs {

ChoiceRow::ChoiceRow(const QString& title, const QString& subtitle, QWidget* parent)
    : QAbstractButton(parent), subtitle_(subtitle) {
    setText(title);
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setMinimumHeight(sizeHint().height());
}

QSize ChoiceRow::sizeHint() const {
    return {400, 50};
}

void ChoiceRow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(isChecked() ? QPen(accentBlue(), 1.2) : QPen(separator(0.3), 1));
    p.setBrush(isChecked() ? rgb(0.0, 0.478, 1.0, 0.06)
                           : (hovered_ ? primaryText(0.04) : Qt::transparent));
    p.drawRoundedRect(r, 9, 9);
    PrefsSymbols::draw(p, isChecked() ? "largecircle.fill.circle" : "circle",
                       QRectF(12, height() / 2.0 - 9, 18, 18),
                       isChecked() ? accentBlue() : secondaryText());
    p.setPen(primaryText());
    p.setFont(uiFont(13, isChecked() ? QFont::DemiBold : QFont::Medium));
    p.drawText(QRectF(42, 7, width() - 52, 19), Qt::AlignLeft | Qt::AlignVCenter, text());
    p.setPen(secondaryText());
    p.setFont(uiFont(11));
    p.drawText(QRectF(42, 26, width() - 52, 17), Qt::AlignLeft | Qt::AlignVCenter, subtitle_);
}

void ChoiceRow::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void ChoiceRow::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

}  // namespace quorix::ui::prefs
