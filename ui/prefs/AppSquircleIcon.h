#pragma once
// An application's icon as a rounded square (corner radius max(22 %, 2.5)).
// Names containing "meet" are drawn as a green camera tile without asking
// the icon manager.

#include <QPainter>
#include <QRectF>
#include <string>

namespace quorix::ui::prefs {

class AppIconManager;

class AppSquircleIcon {
  public:
    static void paint(QPainter& painter, const QRectF& rect, const std::string& appName,
                      AppIconManager& icons);
};

}  // namespace quorix::ui::prefs
