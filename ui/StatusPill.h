#pragma once
// The header's capsule button: a green dot and "ATTIVO" while correction is
// on, a pause symbol and "IN PAUSA" in orange while paused.

#include <QAbstractButton>
#include <QColor>

namespace quorix::ui {

class StatusPill : public QAbstractButton {
  public:
    explicit StatusPill(QWidget* parent = nullptr);

    // label: "ATTIVO" / "ACTIVE" or "IN PAUSA" / "PAUSED".
    void setState(bool active, const QString& label);
    bool isActive() const { return active_; }
    QColor tint() const;

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool active_ = true;
};

}  // namespace quorix::ui
