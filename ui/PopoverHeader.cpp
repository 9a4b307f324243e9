#include "ui/PopoverHeader.h"

#include <QHBoxLayout>
#include <QLinearGradient>
#include <QPainter>

#include "ui/PanelStyle.h"
#include "ui/PanelSymbols.h"
#include "ui/PopoverTexts.h"
#include "ui/TextLine.h"

namespace quorix::ui {
namespace {

constexpr int kIcon = 28;
constexpr qreal kIconRadius = 6.5;

}  // namespace

PopoverHeader::PopoverHeader(QWidget* parent) : QWidget(parent) {
    setFixedHeight(kIcon);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(kIcon + 9, 0, 0, 0);
    row->setSpacing(6);
    auto* name = new TextLine(this);
    name->setText(QStringLiteral("Quorix"), PanelStyle::font(14, QFont::Bold),
                  PanelStyle::primary(palette()));
    name->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    name->setFixedWidth(name->sizeHint().width());
    row->addWidget(name);
    row->addStretch(1);
    pill_ = new StatusPill(this);
    row->addWidget(pill_);
    gear_ = new HoverButton("gear", this);
    gear_->setFixedSize(24, 24);
    row->addWidget(gear_);
}

void PopoverHeader::refresh(bool enabled, const PopoverTexts& texts) {
    pill_->setState(enabled, texts.statusLabel(enabled));
    pill_->setToolTip(texts.statusTooltip(enabled));
    const QPalette& pal = palette();
    HoverButton::Look look;
    look.symbol = "gearshape.fill";
    look.symbolSize = 12.5;
    look.color = PanelStyle::secondary(pal);
    look.hoverColor = PanelStyle::primary(pal);
    look.hoverFill = PanelStyle::withAlpha(PanelStyle::primary(pal), 0.04);
    gear_->setLook(look);
    gear_->setToolTip(texts.preferencesTooltip());
}

void PopoverHeader::paintEvent(QPaintEvent*) {
    // No bundled application image: the icon is the shield-and-bolt symbol on
    // a blue tile.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF tile(0.4, (height() - kIcon) / 2.0 + 0.4, kIcon - 0.8, kIcon - 0.8);
    QLinearGradient fill(tile.topLeft(), tile.bottomLeft());
    fill.setColorAt(0.0, QColor(64, 156, 255));
    fill.setColorAt(1.0, QColor(0, 98, 214));
    p.setBrush(fill);
    p.setPen(QPen(PanelStyle::withAlpha(PanelStyle::separator(palette()), 0.4), 0.8));
    p.drawRoundedRect(tile, kIconRadius, kIconRadius);
    PanelSymbols::draw(p, "bolt.shield.fill", tile.adjusted(6, 6, -6, -6), Qt::white);
}

}  // namespace quorix::ui
