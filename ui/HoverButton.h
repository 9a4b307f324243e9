#pragma once
// A plain button of the popover: an optional symbol and a text, drawn in one
// colour while the pointer is away and another while it hovers. Reports
// entering and leaving through onHover, so the view can keep its hover key.

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <functional>
#include <optional>
#include <string>

namespace quorix::ui {

class HoverButton : public QAbstractButton {
  public:
    struct Look {
        std::string symbol;  // empty: text only
        qreal symbolSize = 11.0;
        // The symbol's colour; nullopt: the text's colour.
        std::optional<QColor> symbolColor;
        QFont font;
        QColor color;
        QColor hoverColor;
        // Painted behind the content while hovered (the header gear).
        std::optional<QColor> hoverFill;
        int hPadding = 2;
        int vPadding = 2;
    };

    explicit HoverButton(std::string hoverKey, QWidget* parent = nullptr);

    void setLook(Look look);
    const std::string& hoverKey() const { return hoverKey_; }
    bool isHovered() const { return hovered_; }
    // The colour the text is drawn in now.
    QColor currentColor() const { return hovered_ ? look_.hoverColor : look_.color; }
    void setOnHover(std::function<void(const std::string&, bool)> onHover);

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    std::string hoverKey_;
    Look look_;
    bool hovered_ = false;
    std::function<void(const std::string&, bool)> onHover_;
};

}  // namespace quorix::ui
