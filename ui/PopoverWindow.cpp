#include "ui/PopoverWindow.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "ui/PanelStyle.h"

namespace quorix::ui {

PopoverWindow::PopoverWindow() : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setObjectName(QStringLiteral("QuorixPopover"));
    setWindowTitle(QStringLiteral("Quorix"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

void PopoverWindow::setContent(QWidget* content) {
    if (content_ != nullptr) {
        layout()->removeWidget(content_);
        content_->deleteLater();
        content_->hide();
    }
    content_ = content;
    content_->setParent(this);
    layout()->addWidget(content_);
    content_->show();
    setFixedSize(content_->size());
}

bool PopoverWindow::closedByClickNear(const QRect& global, int withinMs) const {
    return outsideClickAge_.isValid() && outsideClickAge_.elapsed() < withinMs &&
           global.contains(outsideClick_);
}

void PopoverWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    p.fillRect(rect(), PanelStyle::panelFill(pal));
    p.setPen(QPen(PanelStyle::withAlpha(PanelStyle::separator(pal), 0.6), 1.0));
    p.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

void PopoverWindow::keyPressEvent(QKeyEvent* event) {
    // ⌥U reaches the popover itself while it holds the keyboard.
    if (event->key() == Qt::Key_Escape ||
        (event->key() == Qt::Key_U && event->modifiers() == Qt::AltModifier)) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PopoverWindow::mousePressEvent(QMouseEvent* event) {
    if (!rect().contains(event->position().toPoint())) {
        outsideClick_ = event->globalPosition().toPoint();
        outsideClickAge_.start();
    }
    QWidget::mousePressEvent(event);
}

void PopoverWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (onClosed_) {
        onClosed_();
    }
}

}  // namespace quorix::ui
