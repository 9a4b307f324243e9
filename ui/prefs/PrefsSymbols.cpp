#include "ui/prefs/PrefsSymbols.h"

#include "ui/SymbolImages.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QtMath>
#include <functional>
#include <map>
#include <string>

namespace quorix::ui::prefs {
namespace {

// Every drawing works in a 24 × 24 box; draw() maps it onto the target.
using Drawing = std::function<void(QPainter&, const QColor&)>;

QPen pen(const QColor& ink, double width) {
    QPen p(ink, width);
    p.setCapStyle(Qt::RoundCap);
    p.setJoinStyle(Qt::RoundJoin);
    return p;
}

void pie(QPainter& p, const QColor& ink, bool filled) {
    const QRectF box(3, 3, 18, 18);
    if (filled) {
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPie(box.translated(-0.6, 0.6), 0, -270 * 16);
        p.drawPie(box.translated(1.0, -1.0), 0, 90 * 16);
    } else {
        p.setPen(pen(ink, 1.8));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(box);
        p.drawLine(QPointF(12, 12), QPointF(12, 3));
        p.drawLine(QPointF(12, 12), QPointF(19.5, 16.5));
    }
}

void gear(QPainter& p, const QColor& ink) {
    QPainterPath path;
    for (int i = 0; i < 8; ++i) {
        QPainterPath tooth;
        tooth.addRoundedRect(QRectF(10, 1.5, 4, 6), 1, 1);
        QTransform t;
        t.translate(12, 12);
        t.rotate(i * 45.0);
        t.translate(-12, -12);
        path = path.united(t.map(tooth));
    }
    path.addEllipse(QPointF(12, 12), 8, 8);
    path.setFillRule(Qt::WindingFill);
    QPainterPath hole;
    hole.addEllipse(QPointF(12, 12), 3.2, 3.2);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(path.subtracted(hole));
}

void sparkles(QPainter& p, const QColor& ink) {
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    SymbolImages::drawSparkle(p, QPointF(10, 13), 8);
    SymbolImages::drawSparkle(p, QPointF(18.5, 5.5), 4);
    SymbolImages::drawSparkle(p, QPointF(19, 18.5), 3);
}

QPainterPath bubble(const QRectF& r, bool tailLeft) {
    QPainterPath b;
    b.addRoundedRect(r, 4, 4);
    QPainterPath tail;
    const double x = tailLeft ? r.left() + 4 : r.right() - 4;
    tail.moveTo(x - 2, r.bottom() - 1);
    tail.lineTo(tailLeft ? r.left() + 1 : r.right() - 1, r.bottom() + 4);
    tail.lineTo(x + 2, r.bottom() - 1);
    tail.closeSubpath();
    return b.united(tail);
}

void textBubble(QPainter& p, const QColor& ink) {
    QPainterPath b = bubble(QRectF(2.5, 3.5, 19, 13.5), true);
    QPainterPath lines;
    lines.addRoundedRect(QRectF(6.5, 7.5, 11, 1.8), 0.9, 0.9);
    lines.addRoundedRect(QRectF(6.5, 11.5, 7, 1.8), 0.9, 0.9);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(b.subtracted(lines));
}

QPainterPath shieldPath() {
    QPainterPath s;
    s.moveTo(12, 2);
    s.lineTo(20, 5);
    s.cubicTo(20, 13, 17.5, 18.5, 12, 22);
    s.cubicTo(6.5, 18.5, 4, 13, 4, 5);
    s.closeSubpath();
    return s;
}

void shield(QPainter& p, const QColor& ink, std::string_view inner) {
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    QPainterPath s = shieldPath();
    if (inner == "check") {
        QPainterPathStroker stroker;
        stroker.setWidth(2.2);
        stroker.setCapStyle(Qt::RoundCap);
        stroker.setJoinStyle(Qt::RoundJoin);
        QPainterPath mark;
        mark.moveTo(8.3, 12);
        mark.lineTo(11, 14.8);
        mark.lineTo(15.8, 9);
        s = s.subtracted(stroker.createStroke(mark));
    } else if (inner == "board") {
        QPainterPath squares;
        squares.addRect(QRectF(7, 6.5, 5, 5));
        squares.addRect(QRectF(12, 11.5, 5, 5));
        s = s.subtracted(squares);
    } else if (inner == "bolt") {
        QPainterPath bolt;
        bolt.moveTo(13, 5.5);
        bolt.lineTo(8.5, 13);
        bolt.lineTo(11.5, 13);
        bolt.lineTo(10.5, 18.5);
        bolt.lineTo(15.5, 10.5);
        bolt.lineTo(12.5, 10.5);
        bolt.closeSubpath();
        s = s.subtracted(bolt);
    }
    p.drawPath(s);
}

void arrows(QPainter& p, const QColor& ink) {
    p.setPen(pen(ink, 2.0));
    p.setBrush(Qt::NoBrush);
    const QRectF box(4, 4, 16, 16);
    p.drawArc(box, 30 * 16, 140 * 16);
    p.drawArc(box, 210 * 16, 140 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPolygon(QPolygonF({QPointF(16.5, 2.5), QPointF(21.5, 8.5), QPointF(14.5, 9.5)}));
    p.drawPolygon(QPolygonF({QPointF(7.5, 21.5), QPointF(2.5, 15.5), QPointF(9.5, 14.5)}));
}

void trash(QPainter& p, const QColor& ink) {
    p.setPen(pen(ink, 1.7));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(4, 6.5), QPointF(20, 6.5));
    p.drawRoundedRect(QRectF(9.5, 3, 5, 3.5), 1, 1);
    QPainterPath can;
    can.moveTo(6, 6.5);
    can.lineTo(7.2, 20);
    can.lineTo(16.8, 20);
    can.lineTo(18, 6.5);
    p.drawPath(can);
    p.drawLine(QPointF(10, 10), QPointF(10.3, 16.5));
    p.drawLine(QPointF(14, 10), QPointF(13.7, 16.5));
}

void briefcase(QPainter& p, const QColor& ink) {
    p.setPen(pen(ink, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(8.5, 4, 7, 4), 1.2, 1.2);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    QPainterPath body;
    body.addRoundedRect(QRectF(2.5, 7, 19, 13.5), 2.5, 2.5);
    QPainterPath band;
    band.addRect(QRectF(2.5, 12.2, 19, 1.2));
    p.drawPath(body.subtracted(band));
}

void checkCircle(QPainter& p, const QColor& ink) {
    QPainterPath c;
    c.addEllipse(QPointF(12, 12), 10, 10);
    QPainterPathStroker stroker;
    stroker.setWidth(2.4);
    stroker.setCapStyle(Qt::RoundCap);
    QPainterPath mark;
    mark.moveTo(7.5, 12.3);
    mark.lineTo(10.6, 15.4);
    mark.lineTo(16.6, 8.8);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(c.subtracted(stroker.createStroke(mark)));
}

void radio(QPainter& p, const QColor& ink, bool on) {
    p.setPen(pen(ink, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(12, 12), 9, 9);
    if (on) {
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawEllipse(QPointF(12, 12), 5, 5);
    }
}

void appBadge(QPainter& p, const QColor& ink) {
    p.setPen(pen(ink, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(3, 5, 16, 16), 4, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(QPointF(19, 5), 3.5, 3.5);
}

void book(QPainter& p, const QColor& ink) {
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    QPainterPath b;
    b.addRoundedRect(QRectF(4, 2.5, 16, 19), 2.5, 2.5);
    QPainterPath cut;
    cut.addRect(QRectF(6.5, 17, 13.5, 1.4));
    cut.addRoundedRect(QRectF(9, 6, 8, 2), 1, 1);
    p.drawPath(b.subtracted(cut));
}

void eye(QPainter& p, const QColor& ink, bool slashed) {
    p.setPen(pen(ink, 1.7));
    p.setBrush(Qt::NoBrush);
    QPainterPath e;
    e.moveTo(2.5, 12);
    e.quadTo(12, 2, 21.5, 12);
    e.quadTo(12, 22, 2.5, 12);
    p.drawPath(e);
    p.setBrush(ink);
    p.drawEllipse(QPointF(12, 12), 3, 3);
    if (slashed) {
        p.drawLine(QPointF(4, 20), QPointF(20, 4));
    }
}

void video(QPainter& p, const QColor& ink) {
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawRoundedRect(QRectF(2, 6, 14, 12), 3, 3);
    p.drawPolygon(
        QPolygonF({QPointF(17, 10.5), QPointF(22, 7), QPointF(22, 17), QPointF(17, 13.5)}));
}

void twoBubbles(QPainter& p, const QColor& ink) {
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(bubble(QRectF(2, 3, 13, 9.5), true));
    p.setOpacity(p.opacity() * 0.75);
    p.drawPath(bubble(QRectF(9, 10, 13, 9), false));
}

void plus(QPainter& p, const QColor& ink) {
    p.setPen(pen(ink, 2.2));
    p.drawLine(QPointF(12, 5), QPointF(12, 19));
    p.drawLine(QPointF(5, 12), QPointF(19, 12));
}

void magnifier(QPainter& p, const QColor& ink) {
    p.setPen(pen(ink, 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(10.5, 10.5), 6, 6);
    p.drawLine(QPointF(15, 15), QPointF(20, 20));
}

void xmark(QPainter& p, const QColor& ink) {
    p.setPen(pen(ink, 2.0));
    p.drawLine(QPointF(7, 7), QPointF(17, 17));
    p.drawLine(QPointF(17, 7), QPointF(7, 17));
}

const std::map<std::string, Drawing, std::less<>>& drawings() {
    static const std::map<std::string, Drawing, std::less<>> table{
        {"chart.pie.fill", [](QPainter& p, const QColor& c) { pie(p, c, true); }},
        {"chart.pie", [](QPainter& p, const QColor& c) { pie(p, c, false); }},
        {"gearshape.fill", gear},
        {"sparkles", sparkles},
        {"text.bubble.fill", textBubble},
        {"shield.checkerboard", [](QPainter& p, const QColor& c) { shield(p, c, "board"); }},
        {"shield.fill", [](QPainter& p, const QColor& c) { shield(p, c, ""); }},
        {"checkmark.shield.fill", [](QPainter& p, const QColor& c) { shield(p, c, "check"); }},
        {"bolt.shield.fill", [](QPainter& p, const QColor& c) { shield(p, c, "bolt"); }},
        {"arrow.triangle.2.circlepath", arrows},
        {"trash", trash},
        {"briefcase.fill", briefcase},
        {"checkmark.circle.fill", checkCircle},
        {"largecircle.fill.circle", [](QPainter& p, const QColor& c) { radio(p, c, true); }},
        {"circle", [](QPainter& p, const QColor& c) { radio(p, c, false); }},
        {"app.badge", appBadge},
        {"character.book.closed.fill", book},
        {"eye", [](QPainter& p, const QColor& c) { eye(p, c, false); }},
        {"eye.slash", [](QPainter& p, const QColor& c) { eye(p, c, true); }},
        {"video.fill", video},
        {"bubble.left.and.text.bubble.right.fill", twoBubbles},
        {"plus", plus},
        {"magnifyingglass", magnifier},
        {"xmark", xmark},
    };
    return table;
}

}  // namespace

bool PrefsSymbols::has(std::string_view name) {
    return drawings().find(name) != drawings().end();
}

void PrefsSymbols::draw(QPainter& painter, std::string_view name, const QRectF& rect,
                        const QColor& ink) {
    const double side = std::min(rect.width(), rect.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(rect.center().x() - side / 2, rect.center().y() - side / 2);
    painter.scale(side / 24.0, side / 24.0);
    const auto it = drawings().find(name);
    if (it != drawings().end()) {
        it->second(painter, ink);
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawEllipse(QPointF(12, 12), 5, 5);
    }
    painter.restore();
}

void PrefsSymbols::drawTile(QPainter& painter, const QRectF& rect, double radius,
                            const QColor& colour, std::string_view name, double symbolSize) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(rect.topLeft(), rect.bottomRight());
    gradient.setColorAt(0, colour.lighter(118));
    gradient.setColorAt(1, colour.darker(108));
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawRoundedRect(rect, radius, radius);
    const double side = symbolSize * 1.25;
    draw(painter, name,
         QRectF(rect.center().x() - side / 2, rect.center().y() - side / 2, side, side), Qt::white);
    painter.restore();
}

}  // namespace quorix::ui::prefs
