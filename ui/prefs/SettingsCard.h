#pragma once
// A container for one group of controls: 18 points of padding on the control
// background, a rounded outline in the separator colour and a faint shadow.

#include <QFrame>
#include <QVBoxLayout>

namespace quorix::ui::prefs {

class SettingsCard : public QFrame {
  public:
    explicit SettingsCard(QWidget* parent = nullptr);
    QVBoxLayout* content() const { return layout_; }
    // Adds a 30 % divider line between two rows.
    void addDivider();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QVBoxLayout* layout_;
};

}  // namespace quorix::ui::prefs
