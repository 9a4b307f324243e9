#pragma once
// The preferences window: the sidebar of six tabs, the page header and the
// selected page in a scroll area. One instance per shell, created on first use
// and kept; show(tab) selects the tab and raises the window. Closing only
// hides it and drops the page (the key field with it); the selected tab
// survives. Pages are rebuilt when selected or when the interface language
// changes.
//
// Thread: the Qt main thread.

#include <QScrollArea>
#include <QWidget>
#include <memory>

#include "ui/PrefsTab.h"
#include "ui/prefs/EngineStatus.h"
#include "ui/prefs/PreferencesServices.h"

namespace quorix::ui::prefs {

class AppIconManager;
class ConfigWatch;
class PageHeader;
class PrefsSidebar;

class PreferencesWindow : public QWidget {
  public:
    static constexpr QSize kSize{900, 710};
    static constexpr QSize kMinimumSize{860, 660};

    explicit PreferencesWindow(PreferencesServices services, QWidget* parent = nullptr);
    ~PreferencesWindow() override;

    using QWidget::show;
    // Selects tab, shows the window and brings it to the front.
    void show(PrefsTab tab);
    void selectTab(PrefsTab tab);
    PrefsTab selectedTab() const { return selected_; }
    QWidget* page() const { return page_; }
    PrefsSidebar* sidebar() const { return sidebar_; }
    // The update checker changed (a check ended, a switch moved elsewhere).
    void updaterChanged();
    AppIconManager& icons() { return *icons_; }
    EngineStatus& engineStatus() { return engine_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildPage();

    PreferencesServices s_;
    std::unique_ptr<AppIconManager> icons_;
    EngineStatus engine_;
    PrefsTab selected_ = PrefsTab::stats;
    PrefsSidebar* sidebar_;
    PageHeader* header_;
    QScrollArea* scroll_;
    QWidget* page_ = nullptr;
};

}  // namespace quorix::ui::prefs
