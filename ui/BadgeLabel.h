#pragma once
// A short fixed text on a rounded tint of its own colour ("PRIMA", "DOPO",
// "0.013s").

#include <QColor>
#include <QFont>
#include <QWidget>

namespace quorix::ui {

class BadgeLabel : public QWidget {
  public:
    BadgeLabel(const QString& text, const QFont& font, QColor color, QSizeF padding,
               QWidget* parent = nullptr);
    QString text() const { return text_; }
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString text_;
    QFont font_;
    QColor color_;
    QSizeF padding_;
};

}  // namespace quorix::ui
