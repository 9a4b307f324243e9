#pragma once
// The notice's pill: dark glass, a 3-point ring of turning colours along its
// edge, the spinner or the check, the text, and the save-word button (a real
// child button, so that it takes clicks). Draws from the last NoticeLayout it
// was given; reports hovering to its owner.

#include <QPushButton>
#include <QWidget>
#include <functional>

#include "ui/NoticeLayout.h"

namespace quorix::ui {

class NoticePill final : public QWidget {
  public:
    explicit NoticePill(QWidget* parent);

    // Applies the layout and the (already elided) text; resizes the pill.
    void apply(const NoticeLayout& layout, const QString& text, bool isDone);
    void setButtonTitle(const QString& title, bool saved);
    // Degrees; the border turns once in 2 s, the spinner once a second.
    void setBorderAngle(double degrees);
    void setSpinnerAngle(double degrees);

    QPushButton& saveButton() { return *button_; }
    const NoticeLayout& layout() const { return layout_; }
    const QString& text() const { return text_; }
    bool isSpinnerShown() const { return spinnerShown_; }
    bool isCheckShown() const { return checkShown_; }
    int paintCount() const { return paints_; }

    std::function<void()> onEnter;
    std::function<void()> onLeave;
    // Called after every paint (the benchmark's "painted" moment).
    std::function<void()> onPainted;

  protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;

  private:
    void paintBorder(QPainter& p) const;
    void paintSpinner(QPainter& p) const;

    QPushButton* button_;
    NoticeLayout layout_;
    QString text_;
    bool spinnerShown_ = false;
    bool checkShown_ = false;
    double borderAngle_ = 0;
    double spinnerAngle_ = 0;
    int paints_ = 0;
};

}  // namespace quorix::ui
