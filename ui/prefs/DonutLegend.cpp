#include "ui/prefs/DonutLegend.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "ui/prefs/AppSquircleIcon.h"
#include "ui/prefs/DonutChart.h"
#include "ui/prefs/PrefsStyle.h"

namespace quorix::ui::prefs {

DonutLegend::DonutLegend(DonutChart& chart, AppIconManager& icons, QWidget* parent)
    : QWidget(parent), chart_(chart), icons_(icons) {
    setObjectName("donutLegend");
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    setMinimumHeight(sizeHint().height());
}

QSize DonutLegend::sizeHint() const {
    return {260, static_cast<int>(chart_.stats().size()) * kRowHeight};
}

int DonutLegend::rowAt(const QPoint& point) const {
    const int row = point.y() / kRowHeight;
    return point.y() >= 0 && row < static_cast<int>(chart_.stats().size()) ? row : -1;
}

void DonutLegend::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const auto& stats = chart_.stats();
    const int first = std::max(0, event->rect().top() / kRowHeight);
    const int last =
        std::min(static_cast<int>(stats.size()) - 1, event->rect().bottom() / kRowHeight);
    for (int i = first; i <= last; ++i) {
        const AppTypoStat& stat = stats[static_cast<std::size_t>(i)];
        const bool on = chart_.isEmphasised(stat.id);
        const QRectF row(0, i * kRowHeight + 0.5, width(), kRowHeight - 1);
        if (on) {
            p.setPen(Qt::NoPen);
            p.setBrush(selectedContent(0.18));
            p.drawRoundedRect(row, 6, 6);
        }
        const double cy = row.center().y();
        double x = 7;
        p.setPen(Qt::NoPen);
        p.setBrush(stat.color);
        p.drawEllipse(QRectF(x, cy - 3.5, 7, 7));
        x += 14;
        AppSquircleIcon::paint(p, QRectF(x, cy - 7.5, 15, 15), stat.name, icons_);
        x += 22;

        const QString share = QString::number(stat.percentage, 'f', 0) + "%";
        const QFont shareFont = uiFont(9.5, QFont::Medium);
        const double shareWidth = QFontMetricsF(shareFont).horizontalAdvance(share) + 9;
        const QRectF capsule(row.right() - 7 - shareWidth, cy - 7.5, shareWidth, 15);
        QColor tint = on ? stat.color : primaryText();
        tint.setAlphaF(on ? 0.14f : 0.04f);
        p.setBrush(tint);
        p.drawRoundedRect(capsule, 7.5, 7.5);
        p.setFont(shareFont);
        p.setPen(on ? stat.color : secondaryText());
        p.drawText(capsule, Qt::AlignCenter, share);

        const QString count = QString::number(stat.count);
        const QFont countFont = uiFont(11, QFont::DemiBold);
        const double countWidth = QFontMetricsF(countFont).horizontalAdvance(count);
        p.setFont(countFont);
        p.setPen(primaryText());
        const QRectF countRect(capsule.left() - 7 - countWidth, row.top(), countWidth,
                               row.height());
        p.drawText(countRect, Qt::AlignVCenter | Qt::AlignRight, count);

        const QFont nameFont = uiFont(11.5, on ? QFont::DemiBold : QFont::Normal);
        p.setFont(nameFont);
        p.setPen(on ? primaryText() : secondaryText());
        const QRectF nameRect(x, row.top(), countRect.left() - 8 - x, row.height());
        p.drawText(nameRect, Qt::AlignVCenter | Qt::AlignLeft,
                   QFontMetrics(nameFont).elidedText(qs(stat.name), Qt::ElideRight,
                                                     static_cast<int>(nameRect.width())));
    }
}

void DonutLegend::mouseMoveEvent(QMouseEvent* event) {
    const int row = rowAt(event->position().toPoint());
    if (row != hoveredRow_) {
        hoveredRow_ = row;
        chart_.setHovered(
            row < 0 ? std::nullopt
                    : std::optional<std::string>(chart_.stats()[static_cast<std::size_t>(row)].id));
    }
}

void DonutLegend::mouseReleaseEvent(QMouseEvent* event) {
    const int row = rowAt(event->position().toPoint());
    if (row >= 0 && event->button() == Qt::LeftButton) {
        chart_.toggleSelected(chart_.stats()[static_cast<std::size_t>(row)].id);
    }
}

void DonutLegend::leaveEvent(QEvent*) {
    if (hoveredRow_ >= 0) {
        hoveredRow_ = -1;
        chart_.setHovered(std::nullopt);
    }
}

}  // namespace quorix::ui::prefs
