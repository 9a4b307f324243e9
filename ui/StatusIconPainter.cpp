#include "ui/StatusIconPainter.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <algorithm>
#include <string>

#include "ui/ShellTexts.h"
#include "ui/SymbolImages.h"

namespace quorix::ui {
namespace {

constexpr qreal kHeight = 18.0;

QPen roundPen(const QColor& colour, qreal width) {
    QPen pen(colour, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// Origin at the lower left, y upwards, units in points.
void useBottomUpPoints(QPainter& p) {
    p.translate(0, kHeight);
    p.scale(1, -1);
}

void paintBrand(QPainter& p, const TrayLook& look, const QColor& ink) {
    // Drawn opaque, then dimmed as a whole, so overlapping strokes do not
    // darken where they cross.
    QColor colour = ink;
    colour.setAlphaF(1.0);
    useBottomUpPoints(p);
    // The letter Q: a ring within x 4–14, y 3–12 and its tail.
    p.setPen(roundPen(colour, 2.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(4.1, 3.3, 8.6, 8.6));
    // The tail runs from inside the ring towards the badge corner, which
    // clears its end.
    p.drawLine(QPointF(8.6, 6.6), QPointF(11.6, 3.6));
    // The dot and the bar.
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QRectF(3.6, 13.4, 2.8, 2.8));
    p.drawRoundedRect(QRectF(11.9, 9.0, 2.2, 6.2), 1.1, 1.1);
    // The status badge: a cleared corner holding a check mark.
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.fillRect(QRectF(11.0, 0.0, 8.5, 8.0), Qt::transparent);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    QPainterPath check;
    check.moveTo(12.5, 3.5);
    check.lineTo(14.5, 1.5);
    check.lineTo(18.0, 6.0);
    p.setPen(roundPen(colour, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(check);
    if (!look.enabled) {
        p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        p.fillRect(QRectF(0, 0, 20, kHeight), QColor::fromRgbF(0, 0, 0, 0.38f));
    }
}

void paintComposite(QPainter& p, const TrayLook& look, const QColor& ink) {
    const std::string name(rawValue(look.style));
    if (const auto symbol = SymbolImages::find(name)) {
        const qreal width = std::min<qreal>(symbol->naturalSize.width(), 17.0);
        const qreal height = std::min<qreal>(symbol->naturalSize.height(), 15.0);
        // Vertically centred, so the same rectangle in both orientations.
        const QRectF rect(0.0, (kHeight - height) / 2.0, width, height);
        p.setOpacity(look.enabled ? 1.0 : 0.45);
        SymbolImages::draw(p, name, rect, ink);
        p.setOpacity(1.0);
    }
    useBottomUpPoints(p);
    const QRectF badge(13.0, 0.5, 8.5, 8.5);
    QColor fill;
    switch (look.state()) {
        case TrayState::notTrusted:
            fill = QColor::fromRgbF(1.0f, 0.584f, 0.0f);
            break;
        case TrayState::active:
            fill = QColor::fromRgbF(0.06f, 0.72f, 0.51f);
            break;
        case TrayState::paused:
            fill = QColor::fromRgbF(0.92f, 0.26f, 0.26f);
            break;
    }
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawEllipse(badge);
    p.setPen(QPen(QColor::fromRgbF(0, 0, 0, 0.35f), 0.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(badge);
    switch (look.state()) {
        case TrayState::notTrusted:
            p.setPen(roundPen(Qt::white, 1.2));
            p.drawLine(QPointF(17.25, 7.0), QPointF(17.25, 4.0));
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawEllipse(QRectF(16.55, 2.0, 1.4, 1.4));
            break;
        case TrayState::paused:
            p.setPen(roundPen(Qt::white, 1.3));
            p.drawLine(QPointF(15.85, 2.8), QPointF(15.85, 6.7));
            p.drawLine(QPointF(18.65, 2.8), QPointF(18.65, 6.7));
            break;
        case TrayState::active: {
            QPainterPath check;
            check.moveTo(15.2, 4.5);
            check.lineTo(16.6, 2.9);
            check.lineTo(19.3, 6.4);
            p.setPen(roundPen(Qt::white, 1.3));
            p.drawPath(check);
            break;
        }
    }
}

}  // namespace

QSize StatusIconPainter::pointSize(IconStyle style) {
    return style == IconStyle::quorix ? QSize(20, 18) : QSize(22, 18);
}

QImage StatusIconPainter::paint(const TrayLook& look, qreal scale, const QColor& ink) {
    const QSize points = pointSize(look.style);
    QImage image(qRound(points.width() * scale), qRound(points.height() * scale),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        if (look.style == IconStyle::quorix) {
            paintBrand(p, look, ink);
        } else {
            paintComposite(p, look, ink);
        }
    }
    image.setDevicePixelRatio(scale);
    return image;
}

QIcon StatusIconPainter::icon(const TrayLook& look, const QColor& ink) {
    QIcon icon;
    for (qreal scale : {1.0, 2.0, 3.0}) {
        QImage image = paint(look, scale, ink);
        image.setDevicePixelRatio(1.0);
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

QString StatusIconPainter::tooltip(const TrayLook& look, const ShellTexts& texts) {
    return texts.trayTooltip(look.state());
}

const char* StatusIconPainter::stateName(TrayState state) {
    switch (state) {
        case TrayState::active:
            return "active";
        case TrayState::paused:
            return "paused";
        case TrayState::notTrusted:
            break;
    }
    return "untrusted";
}

}  // namespace quorix::ui
