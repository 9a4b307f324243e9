#pragma once
// The Statistics page: three tiles (total, applications, latency of the last
// engine check) and the per-application ring chart, rebuilt whenever a
// statistic changes.

#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include "ui/prefs/EngineStatus.h"
#include "ui/prefs/PreferencesServices.h"

namespace quorix::ui::prefs {

class AppIconManager;
class DonutChart;
class SettingsCard;

class StatisticsPage : public QWidget {
  public:
    StatisticsPage(PreferencesServices& services, AppIconManager& icons, const EngineStatus& engine,
                   QWidget* parent = nullptr);
    void sync();
    DonutChart* chart() const { return chart_; }
    QString tileValue(int index) const;

  private:
    PreferencesServices& s_;
    AppIconManager& icons_;
    const EngineStatus& engine_;
    QLabel* values_[3];
    SettingsCard* card_;
    DonutChart* chart_ = nullptr;
};

}  // namespace quorix::ui::prefs
