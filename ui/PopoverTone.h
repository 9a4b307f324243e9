#pragma once
// "TONO DI SCRITTURA": the two tone buttons side by side and the example line
// of the selected tone.

#include <QLabel>
#include <QWidget>
#include <functional>

#include "core/config/ToneStyle.h"
#include "ui/TextLine.h"
#include "ui/ToneButton.h"

namespace quorix::ui {

class PopoverTexts;

class PopoverTone : public QWidget {
  public:
    explicit PopoverTone(QWidget* parent = nullptr);

    void refresh(ToneStyle selected, const PopoverTexts& texts);
    void setOnSelect(std::function<void(ToneStyle)> onSelect) { onSelect_ = std::move(onSelect); }
    ToneButton* button(ToneStyle tone) const;
    QLabel* example() const { return example_; }

  private:
    TextLine* title_;
    ToneButton* natural_;
    ToneButton* formal_;
    QLabel* example_;
    std::function<void(ToneStyle)> onSelect_;
};

}  // namespace quorix::ui
