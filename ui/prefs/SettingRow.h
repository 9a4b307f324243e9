#pragma once
// One settings row: a title (13) and a subtitle (11, secondary) on the left,
// the control on the right. `accessory` follows the title (e.g. a key cap).

#include <QLabel>
#include <QWidget>

namespace quorix::ui::prefs {

class SettingRow : public QWidget {
  public:
    SettingRow(const QString& title, const QString& subtitle, QWidget* control,
               QWidget* accessory = nullptr, QWidget* parent = nullptr);
    QLabel* title() const { return title_; }

  private:
    QLabel* title_;
};

}  // namespace quorix::ui::prefs
