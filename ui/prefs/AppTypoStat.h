#pragma once
// One row of the per-application statistics: a donut slice and a legend row.

#include <QColor>
#include <cstdint>
#include <string>

namespace quorix::ui::prefs {

struct AppTypoStat {
    std::string id;  // equal to name; identifies slice, legend row and selection
    std::string name;
    int64_t count = 0;
    double percentage = 0;  // count / total × 100
    QColor color;
    double startAngle = 0;  // radians, clockwise from the top of the ring
    double endAngle = 0;
    bool operator==(const AppTypoStat&) const = default;
};

}  // namespace quorix::ui::prefs
