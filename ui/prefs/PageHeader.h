#pragma once
// The page header: the tab's tile (34 × 34), its title (bold 21) and subtitle.

#include <QWidget>

#include "ui/PrefsTab.h"

namespace quorix {
class AppConfig;
}

namespace quorix::ui::prefs {

class PageHeader : public QWidget {
  public:
    PageHeader(const AppConfig& config, QWidget* parent = nullptr);
    void setTab(PrefsTab tab);
    QSize sizeHint() const override { return {600, 78}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const AppConfig& config_;
    PrefsTab tab_ = PrefsTab::stats;
};

}  // namespace quorix::ui::prefs
