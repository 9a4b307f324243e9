#pragma once
// The named symbol images the interface draws. Each name is the system symbol
// name the settings and layouts use; each entry draws its own vector outline
// with QPainter, so nothing depends on an icon theme being installed.
//
// Every drawing is original to this program and shipped under its licence;
// table() records the source and licence of each entry for the package notice.

#include <QColor>
#include <QPainter>
#include <QRectF>
#include <QSizeF>
#include <optional>
#include <string_view>
#include <vector>

namespace quorix::ui {

struct SymbolInfo {
    std::string_view name;     // the system symbol name, e.g. "keyboard"
    QSizeF naturalSize;        // points, at the 13-point configuration
    std::string_view source;   // where the drawing comes from
    std::string_view licence;  // its licence
};

class SymbolImages {
  public:
    static const std::vector<SymbolInfo>& table();
    // nullopt for a name the table does not know.
    static std::optional<SymbolInfo> find(std::string_view name);
    // Draws the symbol scaled into rect (y grows downwards) in colour ink.
    // False, drawing nothing, for an unknown name.
    static bool draw(QPainter& painter, std::string_view name, const QRectF& rect,
                     const QColor& ink);
    // A four-pointed sparkle of radius r around c, filled with the painter's brush.
    static void drawSparkle(QPainter& painter, QPointF c, qreal r);
};

}  // namespace quorix::ui
