#include "ui/ConfettiOverlay.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <numbers>

#include "core/config/AppLogger.h"
#include "ui/X11Desktop.h"

namespace quorix::ui {

ConfettiOverlay::ConfettiOverlay(AppLogger* logger, std::function<bool()> hasCompositor)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput |
                           Qt::X11BypassWindowManagerHint | Qt::NoDropShadowWindowHint),
      logger_(logger),
      hasCompositor_(hasCompositor ? std::move(hasCompositor) : &X11Desktop::hasCompositor) {
    setObjectName(QStringLiteral("QuorixConfetti"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 1920, 1080);
    animation_.setStartValue(0.0);
    animation_.setEndValue(ConfettiBurst::kDuration);
    animation_.setDuration(static_cast<int>(ConfettiBurst::kDuration * 1000));
    QObject::connect(&animation_, &QVariantAnimation::valueChanged, this,
                     [this](const QVariant& value) {
                         elapsed_ = value.toDouble();
                         // Repaint only where particles were and are now.
                         QRectF area;
                         if (burst_) {
                             for (const auto& sprite : burst_->spritesAt(elapsed_)) {
                                 area |= QRectF(sprite.position - QPointF(8, 8), QSizeF(16, 16));
                             }
                         }
                         update(area.toAlignedRect() | painted_);
                         painted_ = area.toAlignedRect();
                     });
    QObject::connect(&animation_, &QVariantAnimation::finished, this, [this] {
        burst_.reset();
        hide();
    });
}

ConfettiOverlay::~ConfettiOverlay() {
    animation_.stop();
}

void ConfettiOverlay::burst(QPoint point) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    if (!hasCompositor_()) {
        if (!loggedNoCompositor_ && logger_ != nullptr) {
            logger_->log(
                "⚠️ [ConfettiWindow] Nessun compositore sul display: coriandoli "
                "saltati.");
        }
        loggedNoCompositor_ = true;
        return;
    }
    const QRect frame = screen->geometry();
    setGeometry(frame);
    ++bursts_;
    // Raised 10 points above the requested point, in window coordinates.
    burst_.emplace(QPointF(point - frame.topLeft()) - QPointF(0, 10),
                   static_cast<std::uint32_t>(bursts_));
    elapsed_ = 0;
    animation_.stop();
    animation_.start();
    if (!isVisible()) {
        X11Desktop::setInputShape(*this, QRect());
        show();
    }
    raise();
}

void ConfettiOverlay::paint(QPainter& p, const ConfettiBurst& burst, double t) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    for (const ConfettiBurst::Sprite& s : burst.spritesAt(t)) {
        p.save();
        p.translate(s.position);
        p.rotate(s.angle * 180 / std::numbers::pi);
        p.scale(s.scale, s.scale);
        p.setBrush(s.cell->colour);
        if (s.cell->isRectangle) {
            p.drawRoundedRect(QRectF(-4.5, -2.5, 9, 5), 1, 1);
        } else {
            p.drawEllipse(QRectF(-3, -3, 6, 6));
        }
        p.restore();
    }
}

void ConfettiOverlay::paintEvent(QPaintEvent*) {
    if (burst_) {
        QPainter p(this);
        paint(p, *burst_, elapsed_);
    }
}

}  // namespace quorix::ui
