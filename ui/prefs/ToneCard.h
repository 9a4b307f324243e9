#pragma once
// One tone choice of the Tone & style page: symbol, title, description and
// example, outlined in its tone colour when selected.

#include <QAbstractButton>

namespace quorix::ui::prefs {

class ToneCard : public QAbstractButton {
  public:
    ToneCard(QColor tint, const char* symbol, const QString& title, const QString& description,
             const QString& example, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {300, 190}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QRectF bodyRect(double width) const;

    QColor tint_;
    const char* symbol_;
    QString description_;
    QString example_;
};

}  // namespace quorix::ui::prefs
