#pragma once
// The popover's content, top to bottom: header, statistics card, last
// correction, writing tone, footer. Built afresh at every opening, so its
// hover state starts empty.
//
// Everything it shows is read from the settings store. Observers of the store
// fire on whichever thread writes; they only schedule a redraw on this
// widget's (the main) thread, which re-reads the store there.

#include <QSize>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/config/AppConfig.h"
#include "ui/PopoverActions.h"
#include "ui/PopoverTexts.h"

namespace quorix::ui {

class PopoverHeader;
class PopoverStatsCard;
class PopoverLastCorrection;
class PopoverTone;
class PopoverFooter;

class PopoverView : public QWidget {
  public:
    static constexpr int kWidth = 360;
    static constexpr int kHeight = 376;
    static constexpr int kCorrectionExtra = 66;

    PopoverView(AppConfig& config, PopoverActions actions, QWidget* parent = nullptr);
    ~PopoverView() override;

    // 360 × 376, or 360 × 442 once a text before correction is stored.
    static QSize calculateSize(const AppConfig& config);

    // Re-reads the store and redraws; resizes when calculateSize changed.
    void refresh();
    // Called after a refresh changed the size.
    void setOnResized(std::function<void(QSize)> onResized) { onResized_ = std::move(onResized); }

    // The hover key of the button under the pointer ("gear", "pref", "upd",
    // "quit"), if any.
    const std::optional<std::string>& hoveredButton() const { return hoveredButton_; }
    int refreshCount() const { return refreshCount_; }

    PopoverHeader* header() const { return header_; }
    PopoverStatsCard* stats() const { return stats_; }
    PopoverLastCorrection* lastCorrection() const { return last_; }
    PopoverTone* tone() const { return tone_; }
    PopoverFooter* footer() const { return footer_; }

  private:
    void observe();
    void toggleEnabled();
    void excludeLastWord();
    void selectTone(ToneStyle tone);
    void toggleSound();
    void onHover(const std::string& key, bool entered);
    void pop();

    AppConfig& config_;
    PopoverActions actions_;
    PopoverTexts texts_;
    PopoverHeader* header_;
    PopoverStatsCard* stats_;
    PopoverLastCorrection* last_;
    PopoverTone* tone_;
    PopoverFooter* footer_;
    QTimer refreshTimer_;
    std::optional<std::string> hoveredButton_;
    std::function<void(QSize)> onResized_;
    std::vector<ObservationToken> observations_;
    int refreshCount_ = 0;
};

}  // namespace quorix::ui
