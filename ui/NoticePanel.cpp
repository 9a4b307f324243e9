#include "ui/NoticePanel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "ui/X11Desktop.h"

namespace quorix::ui {

NoticePanel::NoticePanel()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::X11BypassWindowManagerHint |
                           Qt::NoDropShadowWindowHint),
      pill_(new NoticePill(this)) {
    setObjectName(QStringLiteral("QuorixNotice"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setAttribute(Qt::WA_X11NetWmWindowTypeNotification);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(static_cast<int>(NoticeLayout::kPanelWidth),
                 static_cast<int>(NoticeLayout::kPanelHeight));
    pill_->move(static_cast<int>(NoticeLayout::kPaddingX),
                static_cast<int>(NoticeLayout::kPaddingTop));
}

bool NoticePanel::hitsPill(const QPoint& point) const {
    return pill_->geometry().contains(point);
}

void NoticePanel::pillChanged() {
    if (testAttribute(Qt::WA_WState_Created)) {
        applyShapes();
    }
    update();
}

void NoticePanel::showEvent(QShowEvent*) {
    composited_ = X11Desktop::hasCompositor();
    applyShapes();
}

void NoticePanel::applyShapes() {
    const QRect pill = pill_->geometry();
    X11Desktop::setInputShape(*this, pill);
    if (composited_) {
        clearMask();
        return;
    }
    QPainterPath outline;
    outline.addRoundedRect(QRectF(pill), 23, 23);
    setMask(QRegion(outline.toFillPolygon().toPolygon()));
}

void NoticePanel::mousePressEvent(QMouseEvent* event) {
    // The margin is not part of the notice.
    event->ignore();
}

void NoticePanel::paintEvent(QPaintEvent*) {
    // A soft glow of (0.45, 0.35, 0.85) at 0.6 around the pill, 16 points
    // wide, fading outwards.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QRectF pill = pill_->geometry();
    constexpr int kRadius = 16;
    for (int i = kRadius; i >= 1; --i) {
        const double fade = 1.0 - static_cast<double>(i) / (kRadius + 1);
        p.setBrush(QColor(115, 89, 217, static_cast<int>(255 * 0.6 * 0.16 * fade * fade)));
        p.drawRoundedRect(pill.adjusted(-i, -i, i, i), 23 + i, 23 + i);
    }
}

}  // namespace quorix::ui
