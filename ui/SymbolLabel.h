#pragma once
// A named symbol (PanelSymbols) drawn at a fixed size in one colour.

#include <QColor>
#include <QWidget>
#include <string>

namespace quorix::ui {

class SymbolLabel : public QWidget {
  public:
    SymbolLabel(std::string name, qreal size, QColor color, QWidget* parent = nullptr);
    void setSymbol(std::string name, QColor color);
    const std::string& symbol() const { return name_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::string name_;
    qreal size_;
    QColor color_;
};

}  // namespace quorix::ui
