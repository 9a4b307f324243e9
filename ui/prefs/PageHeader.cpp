#include "ui/prefs/PageHeader.h"

#include <QPainter>

#include "ui/prefs/PrefsStyle.h"
#include "ui/prefs/PrefsSymbols.h"

namespace quorix::ui::prefs {

PageHeader::PageHeader(const AppConfig& config, QWidget* parent)
    : QWidget(parent), config_(config) {
    setFixedHeight(sizeHint().height());
    setObjectName("pageHeader");
}

void PageHeader::setTab(PrefsTab tab) {
    tab_ = tab;
    update();
}

void PageHeader::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const TabInfo& info = tabInfo(tab_);
    PrefsSymbols::drawTile(p, QRectF(32, 28, 34, 34), 9, info.colour, info.symbol, 15);
    p.setPen(primaryText());
    p.setFont(uiFont(21, QFont::Bold));
    p.drawText(QRectF(78, 24, width() - 110, 26), Qt::AlignLeft | Qt::AlignVCenter,
               tr2(config_, info.titleIt, info.titleEn));
    p.setPen(secondaryText());
    p.setFont(uiFont(11.5));
    const QString subtitle = tr2(config_, info.subtitleIt, info.subtitleEn);
    p.drawText(QRectF(78, 50, width() - 110, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QFontMetrics(p.font()).elidedText(subtitle, Qt::ElideRight, width() - 110));
}

}  // namespace quorix::ui::prefs
