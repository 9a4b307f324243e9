#pragma once
// Colours, fonts, the tab table and small label helpers shared by the
// preferences pages. The window uses its own light palette so that it looks
// the same under every desktop theme (and offscreen).

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "ui/PrefsTab.h"

namespace quorix {
class AppConfig;
}

namespace quorix::ui::prefs {

QColor rgb(double r, double g, double b, double alpha = 1.0);

// Platform colours of the light appearance.
QColor windowBackground();
QColor controlBackground();
QColor separator(double alpha);
QColor primaryText(double alpha = 1.0);
QColor secondaryText(double alpha = 1.0);
QColor selectedContent(double alpha);
QColor accentBlue();
QColor accentGreen();
QColor accentPurple();

struct TabInfo {
    PrefsTab tab;
    std::string_view titleIt, titleEn;
    std::string_view subtitleIt, subtitleEn;
    std::string_view symbol;
    QColor colour;
};
// The sidebar's tabs in order.
const std::vector<TabInfo>& tabInfos();
const TabInfo& tabInfo(PrefsTab tab);

QFont uiFont(double points, QFont::Weight weight = QFont::Normal);
QString qs(std::string_view text);
// The Italian or English text, per the interface language.
QString tr2(const AppConfig& config, std::string_view it, std::string_view en);

// A plain label in the given size, weight and colour; wrap: word wrap on.
QLabel* makeLabel(const QString& text, double points, QFont::Weight weight, const QColor& colour,
                  bool wrap = false);

}  // namespace quorix::ui::prefs
