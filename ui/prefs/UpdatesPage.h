#pragma once
// The Updates page: version, the check button (enabled only when this build
// has an update feed), the two automatic switches bound to the update checker,
// the date of the last check and the recent changes.

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "ui/prefs/PreferencesServices.h"

namespace quorix::ui::prefs {

class ToggleSwitch;

class UpdatesPage : public QWidget {
  public:
    static constexpr int kCheckingMs = 2000;
    UpdatesPage(PreferencesServices& services, QWidget* parent = nullptr);
    // Re-reads the checker (after a check or a switch changed elsewhere).
    void sync();
    QPushButton* checkButton() const { return check_; }

  private:
    PreferencesServices& s_;
    QPushButton* check_;
    ToggleSwitch* autoCheck_;
    ToggleSwitch* autoDownload_;
    QLabel* lastCheck_;
    QTimer checking_;
};

}  // namespace quorix::ui::prefs
