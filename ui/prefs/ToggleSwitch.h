#pragma once
// An on/off switch: a checkable button drawn as a pill with a knob.

#include <QAbstractButton>

namespace quorix::ui::prefs {

class ToggleSwitch : public QAbstractButton {
  public:
    explicit ToggleSwitch(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {40, 24}; }
    // Sets the state without emitting toggled(): for updates from the store.
    void setCheckedQuietly(bool on);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace quorix::ui::prefs
