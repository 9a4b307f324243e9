#include "ui/prefs/AppSquircleIcon.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <algorithm>

#include "core/text/Text.h"
#include "ui/prefs/AppIconManager.h"
#include "ui/prefs/PrefsStyle.h"
#include "ui/prefs/PrefsSymbols.h"

namespace quorix::ui::prefs {

void AppSquircleIcon::paint(QPainter& p, const QRectF& rect, const std::string& appName,
                            AppIconManager& icons) {
    const double radius = std::max(rect.width() * 0.22, 2.5);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (text::contains(text::toLower(appName), "meet")) {
        QLinearGradient g(rect.topLeft(), rect.bottomRight());
        g.setColorAt(0, rgb(0.0, 0.53, 0.31));
        g.setColorAt(1, rgb(0.13, 0.69, 0.38));
        p.setPen(QPen(rgb(1, 1, 1, 0.2), 0.5));
        p.setBrush(g);
        p.drawRoundedRect(rect, radius, radius);
        const double side = rect.width() * 0.5;
        PrefsSymbols::draw(
            p, "video.fill",
            QRectF(rect.center().x() - side / 2, rect.center().y() - side / 2, side, side),
            Qt::white);
    } else {
        QPainterPath clip;
        clip.addRoundedRect(rect, radius, radius);
        p.setClipPath(clip);
        icons.icon(appName).paint(&p, rect.toAlignedRect());
        p.setClipping(false);
        p.setPen(QPen(separator(0.2), 0.5));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(rect, radius, radius);
    }
    p.restore();
}

}  // namespace quorix::ui::prefs
