#pragma once
// The legend of the statistics chart: one row per application (dot, icon,
// name, count, share), active rows highlighted. Hovering a row hovers its
// application; clicking toggles its selection. Only rows in view are drawn.

#include <QWidget>

namespace quorix::ui::prefs {

class AppIconManager;
class DonutChart;

class DonutLegend : public QWidget {
  public:
    static constexpr int kRowHeight = 25;
    DonutLegend(DonutChart& chart, AppIconManager& icons, QWidget* parent = nullptr);
    QSize sizeHint() const override;
    // The row under a point, or -1.
    int rowAt(const QPoint& point) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    DonutChart& chart_;
    AppIconManager& icons_;
    int hoveredRow_ = -1;
};

}  // namespace quorix::ui::prefs
