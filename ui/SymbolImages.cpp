#include "ui/SymbolImages.h"

#include <QFont>
#include <QPainterPath>
#include <QPen>

namespace quorix::ui {
namespace {

constexpr std::string_view kOwnSource = "drawn for Quorix (ui/SymbolImages.cpp)";
constexpr std::string_view kOwnLicence = "same licence as Quorix";

QPen linePen(const QColor& ink, qreal width) {
    QPen pen(ink, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// Each drawer paints in its natural box (0,0)-(naturalSize), y downwards.
void drawChatBubble(QPainter& p, const QColor& ink) {
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(1.0, 1.0, 15.0, 10.2), 3.2, 3.2);
    QPainterPath tail;
    tail.moveTo(3.6, 10.6);
    tail.lineTo(2.6, 14.2);
    tail.lineTo(7.4, 10.8);
    p.setPen(linePen(ink, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawPath(bubble.united(tail).simplified());
    // The letter A.
    QPainterPath a;
    a.moveTo(5.6, 8.6);
    a.lineTo(8.5, 2.9);
    a.lineTo(11.4, 8.6);
    a.moveTo(6.7, 6.6);
    a.lineTo(10.3, 6.6);
    p.setPen(linePen(ink, 1.3));
    p.drawPath(a);
}

void drawKeyboard(QPainter& p, const QColor& ink) {
    p.setPen(linePen(ink, 1.3));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(0.9, 1.4, 15.2, 10.2), 2.0, 2.0);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 5; ++col) {
            p.drawRoundedRect(QRectF(3.0 + col * 2.5, 3.5 + row * 2.4, 1.5, 1.3), 0.3, 0.3);
        }
    }
    p.drawRoundedRect(QRectF(4.8, 8.5, 7.4, 1.3), 0.5, 0.5);
}

void drawTextAbc(QPainter& p, const QColor& ink) {
    QFont font;
    font.setFamily(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setWeight(QFont::DemiBold);
    QPainterPath text;
    text.addText(0, 0, font, QStringLiteral("abc"));
    const QRectF bounds = text.boundingRect();
    const QRectF box(0.5, 1.0, 16.0, 8.6);
    QTransform fit;
    fit.translate(box.left(), box.top());
    fit.scale(box.width() / bounds.width(), box.height() / bounds.height());
    fit.translate(-bounds.left(), -bounds.top());
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(fit.map(text));
    // The underline of a text-format symbol.
    p.setPen(linePen(ink, 1.2));
    p.drawLine(QPointF(1.0, 11.4), QPointF(16.0, 11.4));
}

void drawWand(QPainter& p, const QColor& ink) {
    p.setPen(linePen(ink, 2.0));
    p.drawLine(QPointF(2.0, 13.6), QPointF(10.2, 5.4));
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    SymbolImages::drawSparkle(p, QPointF(12.6, 2.9), 2.6);
    SymbolImages::drawSparkle(p, QPointF(6.0, 2.4), 1.7);
    SymbolImages::drawSparkle(p, QPointF(15.0, 5.6), 1.6);
}

using Drawer = void (*)(QPainter&, const QColor&);

struct Entry {
    SymbolInfo info;
    Drawer draw;
};

const std::vector<Entry>& entries() {
    static const std::vector<Entry> list = {
        {{"character.bubble", QSizeF(17, 15), kOwnSource, kOwnLicence}, drawChatBubble},
        {{"keyboard", QSizeF(17, 13), kOwnSource, kOwnLicence}, drawKeyboard},
        {{"textformat.abc", QSizeF(17, 12.5), kOwnSource, kOwnLicence}, drawTextAbc},
        {{"wand.and.stars", QSizeF(16, 15), kOwnSource, kOwnLicence}, drawWand},
    };
    return list;
}

const Entry* findEntry(std::string_view name) {
    for (const Entry& entry : entries()) {
        if (entry.info.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace

const std::vector<SymbolInfo>& SymbolImages::table() {
    static const std::vector<SymbolInfo> infos = [] {
        std::vector<SymbolInfo> out;
        for (const Entry& entry : entries()) {
            out.push_back(entry.info);
        }
        return out;
    }();
    return infos;
}

std::optional<SymbolInfo> SymbolImages::find(std::string_view name) {
    const Entry* entry = findEntry(name);
    if (entry == nullptr) {
        return std::nullopt;
    }
    return entry->info;
}

bool SymbolImages::draw(QPainter& painter, std::string_view name, const QRectF& rect,
                        const QColor& ink) {
    const Entry* entry = findEntry(name);
    if (entry == nullptr) {
        return false;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(rect.topLeft());
    painter.scale(rect.width() / entry->info.naturalSize.width(),
                  rect.height() / entry->info.naturalSize.height());
    entry->draw(painter, ink);
    painter.restore();
    return true;
}

void SymbolImages::drawSparkle(QPainter& p, QPointF c, qreal r) {
    QPainterPath star;
    star.moveTo(c.x(), c.y() - r);
    star.quadTo(c, QPointF(c.x() + r, c.y()));
    star.quadTo(c, QPointF(c.x(), c.y() + r));
    star.quadTo(c, QPointF(c.x() - r, c.y()));
    star.quadTo(c, QPointF(c.x(), c.y() - r));
    p.drawPath(star);
}

}  // namespace quorix::ui
