#include "NoticeShots.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include "core/config/AppConfig.h"
#include "core/dispatch/ManualQueue.h"
#include "core/knowledge/TypoCache.h"
#include "platform/SoundPlayer.h"
#include "platform/sim/MemoryFileSystem.h"
#include "ui/ConfettiBurst.h"
#include "ui/ConfettiOverlay.h"
#include "ui/FloatingNotice.h"

namespace quorix::screenshots {
namespace {

struct Silence final : platform::SoundPlayer {
    void play(const std::string&) override {}
    bool hasSound(const std::string&) const override { return false; }
};

constexpr qreal kScale = 2.0;

// A dusk-coloured desktop with two soft light spots, so that the glass, the
// glow and the ring show as they would over real windows.
void paintBackdrop(QPainter& p, const QSize& size) {
    QLinearGradient sky(0, 0, size.width(), size.height());
    sky.setColorAt(0, QColor(46, 58, 96));
    sky.setColorAt(1, QColor(104, 78, 124));
    p.fillRect(QRect(QPoint(), size), sky);
    for (const auto& [centre, colour] :
         {std::pair{QPointF(size.width() * 0.2, size.height() * 0.3), QColor(120, 170, 230, 90)},
          std::pair{QPointF(size.width() * 0.8, size.height() * 0.8), QColor(240, 150, 170, 70)}}) {
        QRadialGradient spot(centre, size.width() * 0.35);
        spot.setColorAt(0, colour);
        spot.setColorAt(1, Qt::transparent);
        p.fillRect(QRect(QPoint(), size), spot);
    }
}

QImage canvas(const QSize& size) {
    QImage image(size * kScale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(kScale);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    paintBackdrop(p, size);
    return image;
}

void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

}  // namespace

bool noticeShots(AppConfig& config, AppLogger& logger, const QString& lang,
                 const std::function<bool(const QImage&, const QString&)>& save) {
    platform::MemoryFileSystem files;
    dispatch::ManualQueue io;
    TypoCache cache("/nonexistent", files, io, logger);
    Silence sounds;
    ui::FloatingNotice notice({config, cache, sounds}, nullptr);
    ui::NoticePanel& panel = notice.panel();
    // The panel crops to the pill plus its glow, with a margin of desktop.
    const QRect crop(30, 55, 0, 106);

    const auto shot = [&](const QString& state, double spinnerAngle) {
        settle();
        notice.pill().setBorderAngle(35);
        notice.pill().setSpinnerAngle(spinnerAngle);
        const QRect pill = notice.pill().geometry();
        const QSize size(pill.width() + 2 * (pill.x() - crop.x()), crop.height());
        QImage image = canvas(size);
        QPainter p(&image);
        panel.render(&p, -crop.topLeft(), QRegion(), QWidget::DrawChildren);
        p.end();
        return save(image, QStringLiteral("notice-%1-%2").arg(state, lang));
    };

    bool ok = true;
    notice.show(Notice::kWorkingText);
    ok &= shot(QStringLiteral("working"), 60);
    notice.hide(std::string("Corretto ✓"), std::nullopt);
    ok &= shot(QStringLiteral("result"), 0);
    notice.show(Notice::kWorkingText);
    notice.hide(std::string("Corretto ✓"), std::string("qeusto"));
    ok &= shot(QStringLiteral("offer"), 0);
    const std::string milestone = AppConfig::milestoneText(100).value_or("");
    notice.showToast(milestone, 3.5);
    ok &= shot(QStringLiteral("milestone"), 0);

    // Confetti 0.7 s into a burst from the top of the milestone pill, over a
    // taller piece of desktop.
    settle();
    const QRect pill = notice.pill().geometry();
    const QSize size(pill.width() + 2 * 150, 400);
    const QPoint panelAt(150 - pill.x(), size.height() - 30 - pill.bottom());
    QImage image = canvas(size);
    QPainter p(&image);
    panel.render(&p, panelAt, QRegion(), QWidget::DrawChildren);
    const QPointF origin = QPointF(panelAt) + QPointF(pill.center().x(), pill.top() - 10);
    ui::ConfettiOverlay::paint(p, ui::ConfettiBurst(origin, 7), 0.7);
    p.end();
    ok &= save(image, QStringLiteral("confetti-frame-%1").arg(lang));
    notice.hide(std::nullopt, std::nullopt);
    settle();
    return ok;
}

}  // namespace quorix::screenshots
