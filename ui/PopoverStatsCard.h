#pragma once
// The statistics card: the number of typos fixed on the left, the fixed speed
// figures on the right. The whole card is one button.

#include "ui/PanelCard.h"
#include "ui/TextLine.h"

namespace quorix::ui {

class PopoverTexts;

class PopoverStatsCard : public PanelCard {
  public:
    explicit PopoverStatsCard(QWidget* parent = nullptr);

    void refresh(long long totalTyposCorrected, const PopoverTexts& texts);
    TextLine* count() const { return count_; }

  private:
    TextLine* count_;
    TextLine* caption_;
    TextLine* fastAnswer_;
};

}  // namespace quorix::ui
