#pragma once
// A selectable row with a radio mark, a title and a subtitle (the send-mode
// group). Checkable; the group decides which row is on.

#include <QAbstractButton>

namespace quorix::ui::prefs {

class ChoiceRow : public QAbstractButton {
  public:
    ChoiceRow(const QString& title, const QString& subtitle, QWidget* parent = nullptr);
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    QString subtitle_;
    bool hovered_ = false;
};

}  // namespace quorix::ui::prefs
