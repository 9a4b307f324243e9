#include "ui/PanelCard.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/PanelStyle.h"

namespace quorix::ui {

namespace {
constexpr qreal kRadius = 8.0;
}

PanelCard::PanelCard(QWidget* parent, qreal outlineOpacity)
    : QWidget(parent), outlineOpacity_(outlineOpacity) {}

void PanelCard::setTint(std::optional<QColor> fill, std::optional<QColor> outline) {
    fill_ = std::move(fill);
    outline_ = std::move(outline);
    update();
}

void PanelCard::setOnClicked(std::function<void()> onClicked) {
    onClicked_ = std::move(onClicked);
    setCursor(onClicked_ ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void PanelCard::click() {
    if (onClicked_) {
        onClicked_();
    }
}

void PanelCard::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        click();
    }
}

void PanelCard::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    p.setBrush(fill_.value_or(PanelStyle::cardFill(pal)));
    p.setPen(
        QPen(outline_.value_or(PanelStyle::withAlpha(PanelStyle::separator(pal), outlineOpacity_)),
             1.0));
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kRadius, kRadius);
}

}  // namespace quorix::ui
