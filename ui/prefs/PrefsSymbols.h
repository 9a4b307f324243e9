#pragma once
// The symbols the preferences window draws, by their system symbol names,
// as simple QPainter outlines original to this program. An unknown name draws
// a dot, so a missing drawing is visible but never breaks a layout.

#include <QColor>
#include <QPainter>
#include <QRectF>
#include <string_view>

namespace quorix::ui::prefs {

class PrefsSymbols {
  public:
    // Whether a drawing exists for name.
    static bool has(std::string_view name);
    // Draws the symbol centred in rect in colour ink.
    static void draw(QPainter& painter, std::string_view name, const QRectF& rect,
                     const QColor& ink);
    // A rounded square filled with a gradient of colour holding the symbol in
    // white, symbolSize points high (the sidebar's and header's tab tiles).
    static void drawTile(QPainter& painter, const QRectF& rect, double radius, const QColor& colour,
                         std::string_view name, double symbolSize);
};

}  // namespace quorix::ui::prefs
