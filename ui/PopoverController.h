#pragma once
// Owns the popover for the whole run: opens it at the tray icon with freshly
// built content, closes it, and keeps it sized and on its screen while the
// settings it shows change.
//
// Thread: the Qt main thread only.

#include <QPoint>
#include <QRect>
#include <memory>

#include "core/config/AppConfig.h"
#include "ui/PopoverActions.h"
#include "ui/PopoverView.h"
#include "ui/PopoverWindow.h"

namespace quorix::ui {

class PopoverController {
  public:
    // A click on the tray icon that closed the popover arrives as a toggle
    // this soon after.
    static constexpr int kReopenGuardMs = 350;

    PopoverController(AppConfig& config, PopoverActions actions);
    ~PopoverController();

    // Closes the popover when shown; otherwise opens it at `anchor` (the tray
    // icon's screen rectangle; empty: at the pointer).
    void togglePopover(const QRect& anchor);
    void close();
    // While shown: applies the content's size and keeps the panel on screen.
    void updateSize();
    bool isShown() const;

    PopoverWindow& window() { return window_; }
    // The content of the current (or last) opening; null before the first.
    PopoverView* view() const;

  private:
    void open(const QRect& anchor);
    void place();
    PopoverActions closingFirst();

    AppConfig& config_;
    PopoverActions actions_;
    PopoverWindow window_;
    QRect anchor_;
    QPoint pointer_;
};

}  // namespace quorix::ui
