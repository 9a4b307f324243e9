#pragma once
// The preferences sidebar: the application's name and version on top, one
// row per tab (coloured tile, title; selected and hovered backgrounds), the
// shield status at the bottom. Clicking a row selects its tab.

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "ui/PrefsTab.h"

namespace quorix {
class AppConfig;
}

namespace quorix::ui::prefs {

class PrefsSidebar : public QWidget {
  public:
    static constexpr int kWidth = 230;
    PrefsSidebar(const AppConfig& config, std::string version, QWidget* parent = nullptr);

    void setSelected(PrefsTab tab);
    PrefsTab selected() const { return selected_; }
    std::optional<PrefsTab> hovered() const { return hovered_; }
    // The row rectangle of a tab, in widget coordinates.
    QRect rowRect(PrefsTab tab) const;
    std::function<void(PrefsTab)> onSelect;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    std::optional<PrefsTab> tabAt(const QPoint& point) const;

    const AppConfig& config_;
    std::string version_;
    PrefsTab selected_ = PrefsTab::stats;
    std::optional<PrefsTab> hovered_;
};

}  // namespace quorix::ui::prefs
