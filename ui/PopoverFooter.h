#pragma once
// The popover's last row, under a separator line: the sound switch,
// "Preferenze...", "·", "Esci" and, at the right, "Aggiornamenti".

#include <QWidget>

#include "ui/HoverButton.h"

namespace quorix::ui {

class PopoverTexts;

class PopoverFooter : public QWidget {
  public:
    explicit PopoverFooter(QWidget* parent = nullptr);

    void refresh(bool soundEnabled, const PopoverTexts& texts);
    HoverButton* sound() const { return sound_; }
    HoverButton* preferences() const { return preferences_; }
    HoverButton* quit() const { return quit_; }
    HoverButton* updates() const { return updates_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    HoverButton* sound_;
    HoverButton* preferences_;
    HoverButton* quit_;
    HoverButton* updates_;
};

}  // namespace quorix::ui
