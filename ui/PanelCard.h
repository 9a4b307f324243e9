#pragma once
// A card: a rounded rectangle in the card fill, outlined with a 1-point line
// in the separator colour. A tint replaces both (the selected tone). With a
// click handler the whole card is one button.

#include <QColor>
#include <QWidget>
#include <functional>
#include <optional>

namespace quorix::ui {

class PanelCard : public QWidget {
  public:
    explicit PanelCard(QWidget* parent = nullptr, qreal outlineOpacity = 0.4);

    // fill and outline replace the card's own colours; nullopt restores them.
    void setTint(std::optional<QColor> fill, std::optional<QColor> outline);
    void setOnClicked(std::function<void()> onClicked);
    // Runs the click handler, as a click on the card does.
    void click();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    qreal outlineOpacity_;
    std::optional<QColor> fill_;
    std::optional<QColor> outline_;
    std::function<void()> onClicked_;
};

}  // namespace quorix::ui
