#pragma once
// The popover's first row: the application icon, the product name, the status
// pill and the preferences gear.

#include <QWidget>

#include "ui/HoverButton.h"
#include "ui/StatusPill.h"

namespace quorix::ui {

class PopoverTexts;

class PopoverHeader : public QWidget {
  public:
    explicit PopoverHeader(QWidget* parent = nullptr);

    void refresh(bool enabled, const PopoverTexts& texts);
    StatusPill* pill() const { return pill_; }
    HoverButton* gear() const { return gear_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    StatusPill* pill_;
    HoverButton* gear_;
};

}  // namespace quorix::ui
