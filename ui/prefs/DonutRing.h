#pragma once
// The ring of the statistics chart: slices with gaps, the hole and the centre
// label. Pressing and dragging hovers the slice under the pointer; releasing
// in the hole clears the selection, on a slice toggles it.

#include <QWidget>

namespace quorix::ui::prefs {

class AppIconManager;
class DonutChart;

class DonutRing : public QWidget {
  public:
    static constexpr int kSide = 175;
    DonutRing(DonutChart& chart, AppIconManager& icons, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void paintCentre(QPainter& p);
    QPointF ringPoint(const QPointF& widgetPoint) const;

    DonutChart& chart_;
    AppIconManager& icons_;
};

}  // namespace quorix::ui::prefs
