#include "ui/OnboardingMenuPicture.h"

#include <QPainter>

#include "ui/PanelStyle.h"
#include "ui/PanelSymbols.h"
#include "ui/TextLine.h"

namespace quorix::ui {
namespace {

constexpr qreal kRow = 24.0;
constexpr qreal kSeparator = 9.0;
constexpr qreal kPad = 6.0;
constexpr qreal kBar = 26.0;

}  // namespace

OnboardingMenuPicture::OnboardingMenuPicture(QStringList rows, int highlighted, QWidget* parent)
    : QWidget(parent), rows_(std::move(rows)), highlighted_(highlighted) {
    qreal height = kBar + 2 * kPad + 4;
    for (const QString& row : rows_) {
        height += row.isEmpty() ? kSeparator : kRow;
    }
    setFixedSize(250, static_cast<int>(height));
}

void OnboardingMenuPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // The top panel with the tray icon.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 20));
    p.drawRoundedRect(QRectF(0, 0, width(), kBar), 6, 6);
    const QRectF icon(width() - 40, 5, 16, 16);
    p.setBrush(QColor(255, 255, 255, 45));
    p.drawRoundedRect(icon.adjusted(-4, -2, 4, 2), 4, 4);
    PanelSymbols::draw(p, "character.bubble", icon, Qt::white);

    // The open menu hanging from it.
    const QRectF menu(40, kBar + 4, width() - 40, height() - kBar - 4);
    p.setBrush(QColor(46, 48, 56));
    p.setPen(QPen(QColor(255, 255, 255, 40), 1.0));
    p.drawRoundedRect(menu.adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    const QFont font = PanelStyle::font(12);
    p.setFont(font);
    qreal y = menu.top() + kPad;
    for (int k = 0; k < rows_.size(); ++k) {
        if (rows_[k].isEmpty()) {
            p.setPen(QPen(QColor(255, 255, 255, 35), 1.0));
            p.drawLine(QPointF(menu.left() + 10, y + kSeparator / 2),
                       QPointF(menu.right() - 10, y + kSeparator / 2));
            y += kSeparator;
            continue;
        }
        const QRectF row(menu.left() + 5, y, menu.width() - 10, kRow);
        if (k == highlighted_) {
            p.setPen(Qt::NoPen);
            p.setBrush(PanelStyle::blue());
            p.drawRoundedRect(row, 5, 5);
        }
        p.setPen(k == highlighted_ ? QColor(Qt::white) : QColor(255, 255, 255, 200));
        const QRectF textBox = row.adjusted(9, 0, -6, 0);
        p.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter,
                   TextLine::elided(rows_[k], font, textBox.width()));
        y += kRow;
    }
}

}  // namespace quorix::ui
