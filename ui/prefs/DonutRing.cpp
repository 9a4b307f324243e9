#include "ui/prefs/DonutRing.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "ui/prefs/AppSquircleIcon.h"
#include "ui/prefs/AppStyle.h"
#include "ui/prefs/DonutChart.h"
#include "ui/prefs/PrefsStyle.h"

namespace quorix::ui::prefs {
namespace {
constexpr double kActiveScale = 0.05;  // the active slice grows to 1.05
constexpr double kMargin = 6;          // room for the scaled slice
}  // namespace

DonutRing::DonutRing(DonutChart& chart, AppIconManager& icons, QWidget* parent)
    : QWidget(parent), chart_(chart), icons_(icons) {
    setFixedSize(kSide + 2 * static_cast<int>(kMargin), kSide + 2 * static_cast<int>(kMargin));
    setObjectName("donutRing");
    setCursor(Qt::PointingHandCursor);
}

QPointF DonutRing::ringPoint(const QPointF& widgetPoint) const {
    return widgetPoint - QPointF(kMargin, kMargin);
}

void DonutRing::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(kMargin, kMargin);
    const QRectF square(0, 0, kSide, kSide);
    const QPointF c = square.center();
    const double fade = chart_.fade();
    // Runs of slices thinner than half a pixel at the rim are drawn as one, in
    // the palette's neutral grey: with thousands of applications they are a
    // texture, not slices anyone can point at.
    const double tiny = 1.0 / kSide;
    double runStart = -1, runEnd = -1;
    auto flushRun = [&] {
        if (runStart >= 0) {
            p.setOpacity(0.95 - 0.55 * fade);
            p.setPen(Qt::NoPen);
            p.setBrush(AppStyle::palette()[7]);
            p.drawPath(AppStyle::slicePath(square, runStart, runEnd));
            runStart = -1;
        }
    };
    for (const auto& stat : chart_.stats()) {
        const double e = chart_.emphasis(stat.id);
        if (stat.endAngle - stat.startAngle < tiny && e == 0.0) {
            runStart = runStart < 0 ? stat.startAngle : runStart;
            runEnd = stat.endAngle;
            continue;
        }
        flushRun();
        const double opacity =
            0.95 + (0.4 - 0.95) * fade + (1.0 - 0.4) * fade * std::clamp(e, 0.0, 1.0);
        p.save();
        p.translate(c);
        p.scale(1.0 + kActiveScale * e, 1.0 + kActiveScale * e);
        p.translate(-c);
        p.setOpacity(std::clamp(opacity, 0.0, 1.0));
        p.setBrush(stat.color);
        // Slices under a degree get no outline: it would hide them.
        const bool thin = (stat.endAngle - stat.startAngle) < 0.0175;
        p.setPen(thin ? Qt::NoPen : QPen(controlBackground(), 1.5));
        p.drawPath(AppStyle::slicePath(square, stat.startAngle, stat.endAngle));
        p.restore();
    }
    flushRun();
    p.setOpacity(1.0);
    const double hole = AppStyle::kHoleRatio * kSide;
    p.setBrush(controlBackground());
    p.setPen(QPen(separator(0.3), 1));
    p.drawEllipse(QRectF(c.x() - hole / 2, c.y() - hole / 2, hole, hole));
    paintCentre(p);
}

void DonutRing::paintCentre(QPainter& p) {
    const double width = kSide * 0.54;
    const QPointF c(kSide / 2.0, kSide / 2.0);
    auto line = [&p, width, c](double y, double h, const QString& text, const QFont& f,
                               const QColor& colour) {
        p.setFont(f);
        p.setPen(colour);
        const QRectF box(c.x() - width / 2, y, width, h);
        p.drawText(box, Qt::AlignCenter,
                   QFontMetrics(f).elidedText(text, Qt::ElideRight, static_cast<int>(width)));
    };
    if (const AppTypoStat* stat = chart_.active()) {
        const double top = c.y() - 40;
        AppSquircleIcon::paint(p, QRectF(c.x() - 12, top, 24, 24), stat->name, icons_);
        line(top + 25, 17, qs(stat->name), uiFont(12.5, QFont::Bold), primaryText());
        line(top + 41, 15, QString::number(stat->count) + qs(" refusi"),
             uiFont(10.5, QFont::DemiBold), secondaryText());
        const QString share = QString::number(stat->percentage, 'f', 0) + "%";
        const QFont f = uiFont(10, QFont::Black);
        const double w = QFontMetricsF(f).horizontalAdvance(share) + 10;
        const QRectF capsule(c.x() - w / 2, top + 58, w, 15);
        QColor tint = stat->color;
        tint.setAlphaF(0.12f);
        p.setPen(Qt::NoPen);
        p.setBrush(tint);
        p.drawRoundedRect(capsule, 7.5, 7.5);
        p.setFont(f);
        p.setPen(stat->color);
        p.drawText(capsule, Qt::AlignCenter, share);
        return;
    }
    line(c.y() - 30, 32, QString::number(chart_.total()), uiFont(26, QFont::Bold), primaryText());
    line(c.y() + 3, 15, qs("Refusi totali"), uiFont(10.5, QFont::Medium), secondaryText());
    line(c.y() + 17, 14, qs("Tutte le app"), uiFont(9.5, QFont::Medium), secondaryText(0.7));
}

void DonutRing::mousePressEvent(QMouseEvent* event) {
    mouseMoveEvent(event);
}

void DonutRing::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) {
        return;
    }
    const auto stat =
        AppStyle::statForPoint(ringPoint(event->position()), QSizeF(kSide, kSide), chart_.stats());
    chart_.setHovered(stat ? std::optional<std::string>(stat->id) : std::nullopt);
}

void DonutRing::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF point = ringPoint(event->position());
    const double d = std::hypot(point.x() - kSide / 2.0, point.y() - kSide / 2.0);
    if (d < kSide / 2.0 * AppStyle::kHoleRatio) {
        chart_.clearSelection();
        return;
    }
    if (const auto stat = AppStyle::statForPoint(point, QSizeF(kSide, kSide), chart_.stats())) {
        chart_.setHovered(std::nullopt);
        chart_.toggleSelected(stat->id);
    }
}

}  // namespace quorix::ui::prefs
