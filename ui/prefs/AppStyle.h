#pragma once
// The statistics chart's model and geometry, free of widgets: rows from the
// per-application counts, the slice outline, and which slice lies under a
// point.

#include <QColor>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ui/prefs/AppTypoStat.h"

namespace quorix::ui::prefs {

class AppStyle {
  public:
    static constexpr double kInnerRadiusRatio = 0.6;  // slice outline
    static constexpr double kHoleRatio = 0.58;        // hole and hit testing

    static const std::array<QColor, 8>& palette();
    // Merges names that normalise alike, sorts by count (descending, stable)
    // and lays the slices out clockwise from the top. Empty when the total is
    // below 1 (negative counts are hand-edited damage and count as 0).
    static std::vector<AppTypoStat> buildStats(const std::map<std::string, int64_t>& counts);
    // The slice under point in a square ring of the given size: none inside the
    // hole (distance < 0.58 R) or outside the ring (> R); a point on a slice's
    // end angle belongs to the next slice.
    static std::optional<AppTypoStat> statForPoint(const QPointF& point, const QSizeF& size,
                                                   const std::vector<AppTypoStat>& stats);
    // The slice outline in rect: outer arc clockwise from start to end, inner
    // arc back, closed.
    static QPainterPath slicePath(const QRectF& rect, double startAngle, double endAngle,
                                  double innerRadiusRatio = kInnerRadiusRatio);
};

}  // namespace quorix::ui::prefs
