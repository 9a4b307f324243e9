#pragma once
// Draws the tray icon for one state and icon style. Sizes are in points:
// the brand image is 20 × 18, the symbol-and-badge image 22 × 18. Images are
// rendered at a scale factor (pixels per point) and carry it as their device
// pixel ratio.

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QSize>
#include <QString>

#include "core/config/IconStyle.h"

namespace quorix::ui {

class ShellTexts;

enum class TrayState { notTrusted, active, paused };

struct TrayLook {
    bool trusted = false;
    bool enabled = true;
    IconStyle style = IconStyle::quorix;

    TrayState state() const {
        if (!trusted) {
            return TrayState::notTrusted;
        }
        return enabled ? TrayState::active : TrayState::paused;
    }
    bool operator==(const TrayLook&) const = default;
};

class StatusIconPainter {
  public:
    // ink: the colour of the brand mark and of the symbol (the panel's text
    // colour); the badges keep their own colours.
    static QImage paint(const TrayLook& look, qreal scale, const QColor& ink);
    // The image at 1×, 2× and 3×, so the tray host picks its size.
    static QIcon icon(const TrayLook& look, const QColor& ink);
    static QSize pointSize(IconStyle style);
    // "Quorix: Accessibilità necessaria" / "Quorix: Attivo" / "Quorix: In pausa".
    static QString tooltip(const TrayLook& look, const ShellTexts& texts);
    static const char* stateName(TrayState state);
};

}  // namespace quorix::ui
