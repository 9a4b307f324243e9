#include "ui/prefs/AppStyle.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/config/AppConfig.h"
#include "ui/prefs/PrefsStyle.h"

namespace quorix::ui::prefs {
namespace {
constexpr double kDegrees = 180.0 / std::numbers::pi;
}

const std::array<QColor, 8>& AppStyle::palette() {
    static const std::array<QColor, 8> colours{rgb(0.0, 0.478, 1.0),     rgb(0.204, 0.78, 0.349),
                                               rgb(0.686, 0.322, 0.871), rgb(1.0, 0.584, 0.0),
                                               rgb(0.353, 0.784, 0.98),  rgb(0.345, 0.337, 0.839),
                                               rgb(0.957, 0.247, 0.369), rgb(0.557, 0.557, 0.576)};
    return colours;
}

std::vector<AppTypoStat> AppStyle::buildStats(const std::map<std::string, int64_t>& counts) {
    std::map<std::string, int64_t> merged;
    for (const auto& [name, count] : counts) {
        int64_t& slot = merged[AppConfig::normalizeAppName(name)];
        slot =
            count > 0 && slot > INT64_MAX - count ? INT64_MAX : slot + std::max<int64_t>(count, 0);
    }
    long double total = 0;
    std::vector<std::pair<std::string, int64_t>> sorted;
    for (const auto& [name, count] : merged) {
        if (count > 0) {
            total += static_cast<long double>(count);
            sorted.emplace_back(name, count);
        }
    }
    if (total < 1) {
        return {};
    }
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    std::vector<AppTypoStat> stats;
    stats.reserve(sorted.size());
    double angle = 0;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        const double share =
            static_cast<double>(static_cast<long double>(sorted[i].second) / total);
        const double end = i + 1 == sorted.size() ? 360.0 : angle + share * 360.0;
        stats.push_back({sorted[i].first, sorted[i].first, sorted[i].second, share * 100.0,
                         palette()[i % palette().size()], angle / kDegrees, end / kDegrees});
        angle = end;
    }
    return stats;
}

std::optional<AppTypoStat> AppStyle::statForPoint(const QPointF& point, const QSizeF& size,
                                                  const std::vector<AppTypoStat>& stats) {
    const double dx = point.x() - size.width() / 2;
    const double dy = point.y() - size.height() / 2;
    const double d = std::hypot(dx, dy);
    const double radius = std::min(size.width(), size.height()) / 2;
    if (d < kHoleRatio * radius || d > radius) {
        return std::nullopt;
    }
    double angle = std::atan2(dy, dx) * kDegrees + 90.0;
    if (angle < 0) {
        angle += 360.0;
    }
    for (const auto& stat : stats) {
        if (stat.startAngle * kDegrees <= angle && angle < stat.endAngle * kDegrees) {
            return stat;
        }
    }
    return std::nullopt;
}

QPainterPath AppStyle::slicePath(const QRectF& rect, double startAngle, double endAngle,
                                 double innerRadiusRatio) {
    const QPointF c = rect.center();
    const double outer = std::min(rect.width(), rect.height()) / 2;
    const double inner = outer * innerRadiusRatio;
    // Qt angles run counter-clockwise from three o'clock; ours clockwise from the top.
    const double qtStart = 90.0 - startAngle * kDegrees;
    const double sweep = -(endAngle - startAngle) * kDegrees;
    QPainterPath path;
    path.arcMoveTo(QRectF(c.x() - outer, c.y() - outer, 2 * outer, 2 * outer), qtStart);
    path.arcTo(QRectF(c.x() - outer, c.y() - outer, 2 * outer, 2 * outer), qtStart, sweep);
    path.arcTo(QRectF(c.x() - inner, c.y() - inner, 2 * inner, 2 * inner), qtStart + sweep, -sweep);
    path.closeSubpath();
    return path;
}

}  // namespace quorix::ui::prefs
