#pragma once
// The General page: language, enable, launch at login, sound and its name,
// accents, punctuation, the global shortcut and the send mode. Every control
// writes its setting and saves; changes made elsewhere (the popover, the
// status menu, another process) reach the controls at once.

#include <QComboBox>
#include <QWidget>

#include "ui/prefs/PreferencesServices.h"

namespace quorix::ui::prefs {

class ChoiceRow;
class ToggleSwitch;

class GeneralPage : public QWidget {
  public:
    GeneralPage(PreferencesServices& services, QWidget* parent = nullptr);
    // Reads every control back from the store.
    void sync();

  private:
    ToggleSwitch* addSwitch(const char* objectName);

    PreferencesServices& s_;
    QComboBox* language_;
    QComboBox* soundName_;
    ToggleSwitch* enabled_;
    ToggleSwitch* launch_;
    ToggleSwitch* sound_;
    ToggleSwitch* accents_;
    ToggleSwitch* punctuation_;
    ToggleSwitch* hotkey_;
    ChoiceRow* autoSend_;
    ChoiceRow* ctrlEnter_;
};

}  // namespace quorix::ui::prefs
