#pragma once
// The symbols of the popover and onboarding, by their system symbol names
// ("gearshape.fill", "pause.fill", ...). Each is drawn here as a vector path in
// a 16 × 16 box, so nothing depends on an icon theme; names this table does not
// know fall back to SymbolImages.

#include <QColor>
#include <QPainter>
#include <QRectF>
#include <string_view>

namespace quorix::ui {

class PanelSymbols {
  public:
    // Draws the symbol centred in rect, scaled to fit, in colour ink. False,
    // drawing nothing, for an unknown name.
    static bool draw(QPainter& painter, std::string_view name, const QRectF& rect,
                     const QColor& ink);
    static bool knows(std::string_view name);
};

}  // namespace quorix::ui
