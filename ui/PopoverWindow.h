#pragma once
// The popover's frameless top-level panel. As a Qt popup it closes on a click
// anywhere outside it; Escape closes it too. It remembers where and when an
// outside click closed it, so that the click on the tray icon that closed it
// is not taken as a request to open it again.

#include <QElapsedTimer>
#include <QPoint>
#include <QWidget>
#include <functional>

namespace quorix::ui {

class PopoverWindow : public QWidget {
  public:
    PopoverWindow();

    // Replaces the content (the old one is deleted) and fits the window to it.
    void setContent(QWidget* content);
    QWidget* content() const { return content_; }
    void setOnClosed(std::function<void()> onClosed) { onClosed_ = std::move(onClosed); }

    // Whether the last close was an outside click at `global` less than
    // `withinMs` ago.
    bool closedByClickNear(const QRect& global, int withinMs) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* content_ = nullptr;
    QPoint outsideClick_;
    QElapsedTimer outsideClickAge_;
    std::function<void()> onClosed_;
};

}  // namespace quorix::ui
