#pragma once
// The notice's window: 840 × 175, translucent, above other windows, never
// activated and never given keyboard focus (it bypasses the window manager,
// so no frame swallows clicks). Only the pill takes the mouse: on X11 the
// window's input shape is the pill, elsewhere clicks outside it are ignored.
// Paints the pill's violet glow in the transparent margin. Without a
// compositor a translucent window shows black where it is transparent, so the
// window is then cut to the pill's outline (the glow is lost).

#include <QWidget>

#include "ui/NoticePill.h"

namespace quorix::ui {

class NoticePanel final : public QWidget {
  public:
    NoticePanel();

    NoticePill& pill() { return *pill_; }
    const NoticePill& pill() const { return *pill_; }
    // Whether a point in panel coordinates falls on the pill.
    bool hitsPill(const QPoint& point) const;
    // Re-reads the pill's frame for the input shape and the glow.
    void pillChanged();

  protected:
    void paintEvent(QPaintEvent*) override;
    void showEvent(QShowEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void applyShapes();

    NoticePill* pill_;
    bool composited_ = true;
};

}  // namespace quorix::ui
