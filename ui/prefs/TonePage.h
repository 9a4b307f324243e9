#pragma once
// The Tone & style page: the two tone cards and the work-application list
// with add (application picker) and remove.

#include <QLabel>
#include <QWidget>

#include "ui/prefs/PreferencesServices.h"

namespace quorix::ui::prefs {

class AppIconManager;
class EntryList;
class ToneCard;

class TonePage : public QWidget {
  public:
    TonePage(PreferencesServices& services, AppIconManager& icons, QWidget* parent = nullptr);
    void sync();
    EntryList* workApps() const { return list_; }
    // Runs the picker and adds what it returns.
    void addWorkApps();

  private:
    PreferencesServices& s_;
    ToneCard* natural_;
    ToneCard* formal_;
    EntryList* list_;
    QLabel* empty_;
};

}  // namespace quorix::ui::prefs
