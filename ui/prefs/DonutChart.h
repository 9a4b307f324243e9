#pragma once
// The per-application ring chart with its legend (the statistics page's
// AppDistributionDonutChart). Holds the selection and the hover, which start
// absent each time the chart is built; the active application is the hovered
// one, else the selected one. Emphasis changes animate.

#include <QLabel>
#include <QPushButton>
#include <QVariantAnimation>
#include <QWidget>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ui/prefs/AppTypoStat.h"

namespace quorix::ui::prefs {

class AppIconManager;
class DonutLegend;
class DonutRing;

class DonutChart : public QWidget {
  public:
    DonutChart(const std::map<std::string, int64_t>& counts, AppIconManager& icons,
               QWidget* parent = nullptr);

    const std::vector<AppTypoStat>& stats() const { return stats_; }
    int64_t total() const { return total_; }
    const std::optional<std::string>& selectedAppId() const { return selected_; }
    const std::optional<std::string>& hoveredAppId() const { return hovered_; }
    // The hovered id, else the selected one; none when it names no stat.
    const AppTypoStat* active() const;
    bool isEmphasised(const std::string& id) const;

    void setHovered(std::optional<std::string> id);
    // Selects id, or clears the selection when it is already selected.
    void toggleSelected(const std::string& id);
    void clearSelection();  // "Mostra Tutte"
    // Emphasis of a slice, animated: 0 normal, 1 active.
    double emphasis(const std::string& id) const;
    // Whether any slice is active (others fade).
    double fade() const { return fade_; }
    DonutRing* ring() const { return ring_; }
    DonutLegend* legend() const { return legend_; }
    QPushButton* showAllButton() const { return showAll_; }

  private:
    void changed();

    std::vector<AppTypoStat> stats_;
    int64_t total_ = 0;
    std::optional<std::string> selected_;
    std::optional<std::string> hovered_;
    std::map<std::string, double> emphasis_;
    std::map<std::string, double> from_;
    double fade_ = 0;
    double fadeFrom_ = 0;
    QVariantAnimation animation_;
    DonutRing* ring_ = nullptr;
    DonutLegend* legend_ = nullptr;
    QPushButton* showAll_ = nullptr;
};

}  // namespace quorix::ui::prefs
