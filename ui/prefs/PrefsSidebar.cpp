#include "ui/prefs/PrefsSidebar.h"

#include <QMouseEvent>
#include <QPainter>

#include "core/config/AppConfig.h"
#include "ui/prefs/PrefsStyle.h"
#include "ui/prefs/PrefsSymbols.h"

namespace quorix::ui::prefs {
namespace {
constexpr int kListTop = 112;
constexpr int kRowHeight = 37;  // 24 tile + 2 × 6.5 padding
constexpr int kRowGap = 2;
}  // namespace

PrefsSidebar::PrefsSidebar(const AppConfig& config, std::string version, QWidget* parent)
    : QWidget(parent), config_(config), version_(std::move(version)) {
    setFixedWidth(kWidth);
    setMouseTracking(true);
    setObjectName("sidebar");
}

void PrefsSidebar::setSelected(PrefsTab tab) {
    selected_ = tab;
    update();
}

QRect PrefsSidebar::rowRect(PrefsTab tab) const {
    const auto& tabs = tabInfos();
    for (std::size_t i = 0; i < tabs.size(); ++i) {
        if (tabs[i].tab == tab) {
            return QRect(12, kListTop + static_cast<int>(i) * (kRowHeight + kRowGap), kWidth - 24,
                         kRowHeight);
        }
    }
    return {};
}

std::optional<PrefsTab> PrefsSidebar::tabAt(const QPoint& point) const {
    for (const auto& info : tabInfos()) {
        if (rowRect(info.tab).contains(point)) {
            return info.tab;
        }
    }
    return std::nullopt;
}

void PrefsSidebar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QColor back = windowBackground().darker(104);
    back.setAlphaF(0.75f);
    p.fillRect(rect(), Qt::white);
    p.fillRect(rect(), back);

    // Top: icon, name, version badge, tagline.
    PrefsSymbols::drawTile(p, QRectF(14, 24, 38, 38), 9.5, accentBlue(), "bolt.shield.fill", 17);
    p.setPen(primaryText());
    p.setFont(uiFont(16, QFont::Bold));
    p.drawText(QRectF(62, 22, 100, 22), Qt::AlignLeft | Qt::AlignVCenter, qs("Quorix"));
    const QString version =
        QStringLiteral("v") + qs(version_.empty() ? std::string_view("1.0.4") : version_);
    const QFont badgeFont = uiFont(9.5, QFont::Bold);
    const double badgeWidth = QFontMetricsF(badgeFont).horizontalAdvance(version) + 12;
    const QRectF badge(62 + QFontMetricsF(uiFont(16, QFont::Bold)).horizontalAdvance("Quorix") + 8,
                       26, badgeWidth, 15);
    p.setPen(Qt::NoPen);
    p.setBrush(primaryText(0.08));
    p.drawRoundedRect(badge, 4, 4);
    p.setPen(primaryText());
    p.setFont(badgeFont);
    p.drawText(badge, Qt::AlignCenter, version);
    p.setPen(secondaryText());
    p.setFont(uiFont(11, QFont::Medium));
    p.drawText(QRectF(62, 44, kWidth - 70, 18), Qt::AlignLeft | Qt::AlignVCenter,
               qs("VE Zedo Dureru"));

    // Tabs.
    for (const auto& info : tabInfos()) {
        const QRect row = rowRect(info.tab);
        const bool selected = info.tab == selected_;
        const bool hovered = hovered_ && *hovered_ == info.tab;
        p.setPen(Qt::NoPen);
        p.setBrush(selected  ? selectedContent(0.18)
                   : hovered ? primaryText(0.06)
                             : rgb(1, 1, 1, 0.001));
        p.drawRoundedRect(row, 8, 8);
        PrefsSymbols::drawTile(p, QRectF(row.left() + 10, row.top() + 6.5, 24, 24), 6.5,
                               info.colour, info.symbol, 11.5);
        p.setPen(selected ? primaryText() : secondaryText());
        p.setFont(uiFont(13, selected ? QFont::DemiBold : QFont::Normal));
        p.drawText(QRectF(row.left() + 45, row.top(), row.width() - 50, row.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, tr2(config_, info.titleIt, info.titleEn));
    }

    // Bottom: shield status and version.
    const bool on = config_.isEnabled();
    const double bottom = height() - 18;
    p.setPen(Qt::NoPen);
    p.setBrush(on ? accentGreen() : rgb(1.0, 0.584, 0.0));
    p.drawEllipse(QRectF(16, bottom - 30, 7, 7));
    p.setPen(secondaryText());
    p.setFont(uiFont(10.5, QFont::DemiBold));
    p.drawText(QRectF(30, bottom - 36, kWidth - 40, 18), Qt::AlignLeft | Qt::AlignVCenter,
               on ? tr2(config_, "Scudo Attivo · Protetto", "Shield Active · Protected")
                  : tr2(config_, "Scudo in Pausa", "Shield Paused"));
    p.setPen(secondaryText(0.65));
    p.setFont(uiFont(10));
    p.drawText(QRectF(16, bottom - 16, kWidth - 24, 16), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Quorix Linux v") +
                   qs(version_.empty() ? std::string_view("1.0.5") : version_));
}

void PrefsSidebar::mouseMoveEvent(QMouseEvent* event) {
    const auto tab = tabAt(event->position().toPoint());
    if (tab != hovered_) {
        hovered_ = tab;
        setCursor(tab ? Qt::PointingHandCursor : Qt::ArrowCursor);
        update();
    }
}

void PrefsSidebar::mouseReleaseEvent(QMouseEvent* event) {
    if (const auto tab = tabAt(event->position().toPoint());
        tab && event->button() == Qt::LeftButton && onSelect) {
        onSelect(*tab);
    }
}

void PrefsSidebar::leaveEvent(QEvent*) {
    if (hovered_) {
        hovered_.reset();
        update();
    }
}

}  // namespace quorix::ui::prefs
