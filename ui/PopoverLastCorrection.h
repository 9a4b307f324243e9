#pragma once
// "ULTIMA CORREZIONE": the last correction as a word diff (change line, before
// line, after line and, while the changed word is known, the button that adds
// it to the personal dictionary), or a placeholder card saying whether Quorix
// is active. The correction card is 66 points taller than the placeholder,
// as the popover itself is.

#include <QWidget>
#include <optional>
#include <string>

#include "core/config/ConfigState.h"
#include "core/text/TextDiffSnippet.h"
#include "ui/BadgeLabel.h"
#include "ui/HoverButton.h"
#include "ui/PanelCard.h"
#include "ui/TextLine.h"

namespace quorix::ui {

class PopoverTexts;

class PopoverLastCorrection : public QWidget {
  public:
    static constexpr int kPlaceholderHeight = 56;
    static constexpr int kCorrectionHeight = kPlaceholderHeight + 66;
    static constexpr int kContextWords = 3;

    explicit PopoverLastCorrection(QWidget* parent = nullptr);

    void refresh(const ConfigState& state, const PopoverTexts& texts);

    // The snippet shown, when the correction card is shown.
    const std::optional<text::TextDiffSnippet>& snippet() const { return snippet_; }
    bool showsCorrection() const { return snippet_.has_value(); }
    HoverButton* excludeButton() const { return exclude_; }
    TextLine* changeFrom() const { return changeFrom_; }
    TextLine* changeTo() const { return changeTo_; }
    TextLine* beforeLine() const { return before_; }
    TextLine* afterLine() const { return after_; }
    TextLine* placeholderTitle() const { return placeholderTitle_; }
    TextLine* placeholderSubtitle() const { return placeholderSubtitle_; }

  private:
    void buildCorrectionCard();
    void buildPlaceholderCard();

    TextLine* title_;
    PanelCard* correction_ = nullptr;
    TextLine* changeFrom_ = nullptr;
    TextLine* changeTo_ = nullptr;
    TextLine* before_ = nullptr;
    TextLine* after_ = nullptr;
    HoverButton* exclude_ = nullptr;
    PanelCard* placeholder_ = nullptr;
    TextLine* placeholderTitle_ = nullptr;
    TextLine* placeholderSubtitle_ = nullptr;
    std::optional<text::TextDiffSnippet> snippet_;
};

}  // namespace quorix::ui
