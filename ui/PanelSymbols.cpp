#include "ui/PanelSymbols.h"

#include <QPainterPath>
#include <QPainterPathStroker>
#include <QTransform>
#include <QtMath>
#include <array>
#include <utility>

#include "ui/SymbolImages.h"

namespace quorix::ui {
namespace {

using Path = QPainterPath;

Path stroked(const Path& line, qreal width) {
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(line);
}

Path circle(QPointF centre, qreal r) {
    Path p;
    p.addEllipse(centre, r, r);
    return p;
}

Path polyline(std::initializer_list<QPointF> points) {
    Path p;
    bool first = true;
    for (QPointF pt : points) {
        if (first) {
            p.moveTo(pt);
            first = false;
        } else {
            p.lineTo(pt);
        }
    }
    return p;
}

Path checkStroke(qreal scale, QPointF centre) {
    return polyline({centre + QPointF(-3.2, 0.2) * scale, centre + QPointF(-1.0, 2.4) * scale,
                     centre + QPointF(3.2, -2.2) * scale});
}

Path shield() {
    Path p;
    p.moveTo(8, 0.8);
    p.cubicTo(10.2, 2.2, 12.4, 2.8, 14.4, 2.8);
    p.cubicTo(14.4, 9.6, 12.0, 13.4, 8, 15.2);
    p.cubicTo(4.0, 13.4, 1.6, 9.6, 1.6, 2.8);
    p.cubicTo(3.6, 2.8, 5.8, 2.2, 8, 0.8);
    p.closeSubpath();
    return p;
}

Path bubble(const QRectF& body, bool tailLeft) {
    Path p;
    p.addRoundedRect(body, body.height() * 0.45, body.height() * 0.45);
    Path tail;
    const qreal y = body.bottom();
    if (tailLeft) {
        tail = polyline({{body.left() + 1.6, y - 2.0},
                         {body.left() + 0.2, y + 2.4},
                         {body.left() + 4.8, y - 0.4}});
    } else {
        tail = polyline({{body.right() - 1.6, y - 2.0},
                         {body.right() - 0.2, y + 2.4},
                         {body.right() - 4.8, y - 0.4}});
    }
    tail.closeSubpath();
    return p.united(tail);
}

Path gear() {
    Path teeth;
    for (int k = 0; k < 8; ++k) {
        Path tooth;
        tooth.addRoundedRect(QRectF(-1.5, -7.6, 3.0, 4.0), 0.6, 0.6);
        teeth.addPath(QTransform().translate(8, 8).rotate(k * 45.0).map(tooth));
    }
    return circle({8, 8}, 5.6).united(teeth).subtracted(circle({8, 8}, 2.3));
}

Path speaker() {
    Path p = polyline({{1.0, 5.6}, {4.0, 5.6}, {8.0, 2.0}, {8.0, 14.0}, {4.0, 10.4}, {1.0, 10.4}});
    p.closeSubpath();
    return p;
}

Path arcStroke(QPointF centre, qreal r, qreal startDeg, qreal spanDeg) {
    Path p;
    const QRectF box(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
    p.arcMoveTo(box, startDeg);
    p.arcTo(box, startDeg, spanDeg);
    return p;
}

// The filled area of each symbol in its 16 × 16 box.
Path symbolPath(std::string_view name) {
    if (name == "gearshape.fill") {
        return gear();
    }
    if (name == "pause.fill") {
        Path p;
        p.addRoundedRect(QRectF(3.5, 2.0, 3.2, 12.0), 1.0, 1.0);
        p.addRoundedRect(QRectF(9.3, 2.0, 3.2, 12.0), 1.0, 1.0);
        return p;
    }
    if (name == "checkmark.circle.fill") {
        return circle({8, 8}, 7.4).subtracted(stroked(checkStroke(1.0, {8.2, 8.2}), 1.9));
    }
    if (name == "arrow.right") {
        return stroked(polyline({{1.5, 8}, {14, 8}}), 1.9)
            .united(stroked(polyline({{9.2, 3.2}, {14, 8}, {9.2, 12.8}}), 1.9));
    }
    if (name == "plus.circle") {
        return stroked(circle({8, 8}, 6.6), 1.4)
            .united(stroked(polyline({{8, 4.6}, {8, 11.4}}), 1.5))
            .united(stroked(polyline({{4.6, 8}, {11.4, 8}}), 1.5));
    }
    if (name == "checkmark.shield.fill") {
        return shield().subtracted(stroked(checkStroke(0.85, {8.1, 7.6}), 1.8));
    }
    if (name == "bolt.shield.fill") {
        Path bolt = polyline(
            {{8.9, 3.4}, {5.2, 8.6}, {7.8, 8.6}, {7.0, 12.6}, {10.8, 7.2}, {8.2, 7.2}, {8.9, 3.4}});
        bolt.closeSubpath();
        return shield().subtracted(bolt);
    }
    if (name == "bubble.left.and.text.bubble.right.fill") {
        const Path back = bubble(QRectF(6.0, 1.6, 9.6, 7.0), false);
        const Path front = bubble(QRectF(0.4, 5.6, 10.0, 7.2), true);
        Path lines = stroked(polyline({{3.0, 8.4}, {7.8, 8.4}}), 1.1)
                         .united(stroked(polyline({{3.0, 10.6}, {6.2, 10.6}}), 1.1));
        const Path gap = stroked(front, 1.6);
        return back.subtracted(gap).united(front.subtracted(lines));
    }
    if (name == "briefcase.fill") {
        Path body;
        body.addRoundedRect(QRectF(0.8, 4.4, 14.4, 10.0), 2.0, 2.0);
        Path handle;
        handle.addRoundedRect(QRectF(5.2, 1.6, 5.6, 4.4), 1.4, 1.4);
        const Path band = stroked(polyline({{0.8, 8.6}, {15.2, 8.6}}), 1.0);
        return body.subtracted(band).united(stroked(handle, 1.4).subtracted(body));
    }
    if (name == "speaker.wave.2.fill") {
        return speaker()
            .united(stroked(arcStroke({8.2, 8}, 3.2, -50, 100), 1.4))
            .united(stroked(arcStroke({8.2, 8}, 6.0, -55, 110), 1.4));
    }
    if (name == "speaker.slash.fill") {
        const Path slash = polyline({{1.4, 1.6}, {14.4, 14.6}});
        return speaker().subtracted(stroked(slash, 3.0)).united(stroked(slash, 1.4));
    }
    if (name == "arrow.triangle.2.circlepath") {
        Path p = stroked(arcStroke({8, 8}, 5.6, 20, 150), 1.5)
                     .united(stroked(arcStroke({8, 8}, 5.6, 200, 150), 1.5));
        Path head1 = polyline({{0.6, 6.2}, {2.4, 9.4}, {4.8, 6.4}});
        Path head2 = polyline({{15.4, 9.8}, {13.6, 6.6}, {11.2, 9.6}});
        head1.closeSubpath();
        head2.closeSubpath();
        return p.united(head1).united(head2);
    }
    if (name == "character.bubble.fill") {
        Path letter = stroked(polyline({{5.2, 9.6}, {8.0, 3.4}, {10.8, 9.6}}), 1.5)
                          .united(stroked(polyline({{6.3, 7.4}, {9.7, 7.4}}), 1.3));
        return bubble(QRectF(0.6, 0.8, 14.8, 11.4), true).subtracted(letter);
    }
    return {};
}

}  // namespace

bool PanelSymbols::knows(std::string_view name) {
    return !symbolPath(name).isEmpty() || SymbolImages::find(name).has_value();
}

bool PanelSymbols::draw(QPainter& painter, std::string_view name, const QRectF& rect,
                        const QColor& ink) {
    const Path path = symbolPath(name);
    if (path.isEmpty()) {
        return SymbolImages::draw(painter, name, rect, ink);
    }
    const qreal side = std::min(rect.width(), rect.height());
    const qreal scale = side / 16.0;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(rect.center().x() - side / 2.0, rect.center().y() - side / 2.0);
    painter.scale(scale, scale);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawPath(path);
    painter.restore();
    return true;
}

}  // namespace quorix::ui
