#pragma once
// One row of the per-application statistics shown by the charts.

#include <cstdint>
#include <string>

namespace quorix {

struct AppTypoStat {
    std::string id;  // the row's application name
    std::string name;
    int64_t count = 0;
    double percentage = 0.0;  // share of all corrections, 0..100
    uint32_t color = 0;       // 0xRRGGBB
    double startAngle = 0.0;  // degrees
    double endAngle = 0.0;    // degrees
    std::string iconName;

    bool operator==(const AppTypoStat&) const = default;
};

}  // namespace quorix
