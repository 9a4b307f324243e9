#pragma once
// The small picture of the status menu on the last onboarding slide: a few
// rows of the real menu, one of them highlighted as if under the pointer.

#include <QStringList>
#include <QWidget>

namespace quorix::ui {

class OnboardingMenuPicture : public QWidget {
  public:
    // An empty row draws a separator.
    OnboardingMenuPicture(QStringList rows, int highlighted, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QStringList rows_;
    int highlighted_;
};

}  // namespace quorix::ui
