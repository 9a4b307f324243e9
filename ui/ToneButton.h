#pragma once
// One of the two writing-tone buttons: a card holding a symbol and a label.
// Selected, it takes its tone colour (symbol, 10 % fill, outline) and a
// semibold primary label; otherwise it looks like a plain card.

#include <QAbstractButton>
#include <QColor>
#include <string>

namespace quorix::ui {

class ToneButton : public QAbstractButton {
  public:
    ToneButton(std::string symbol, QColor toneColor, QWidget* parent = nullptr);

    void setSelected(bool selected);
    bool isSelected() const { return selected_; }

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::string symbol_;
    QColor toneColor_;
    bool selected_ = false;
};

}  // namespace quorix::ui
