#include "ui/prefs/DonutChart.h"

#include <QHBoxLayout>
#include <QScrollArea>
#include <QVBoxLayout>

#include "ui/prefs/AppStyle.h"
#include "ui/prefs/DonutLegend.h"
#include "ui/prefs/DonutRing.h"
#include "ui/prefs/PageTools.h"
#include "ui/prefs/PrefsStyle.h"

namespace quorix::ui::prefs {
namespace {
constexpr int kAnimationMs = 220;
constexpr int kLegendMaxHeight = 145;
}  // namespace

DonutChart::DonutChart(const std::map<std::string, int64_t>& counts, AppIconManager& icons,
                       QWidget* parent)
    : QWidget(parent), stats_(AppStyle::buildStats(counts)) {
    for (const auto& stat : stats_) {
        total_ = stat.count > INT64_MAX - total_ ? INT64_MAX : total_ + stat.count;
    }
    if (stats_.empty()) {
        auto* column = new QVBoxLayout(this);
        column->setSpacing(8);
        column->addStretch(1);
        column->addWidget(symbolView("chart.pie", secondaryText(0.5), 36), 0, Qt::AlignHCenter);
        column->addWidget(makeLabel(qs("Nessun dato di refuso registrato al momento."), 12,
                                    QFont::Normal, secondaryText()),
                          0, Qt::AlignHCenter);
        column->addStretch(1);
        setFixedHeight(180);
        return;
    }
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(24);
    ring_ = new DonutRing(*this, icons);
    row->addWidget(ring_, 0, Qt::AlignVCenter);

    auto* legendColumn = new QVBoxLayout;
    legendColumn->setSpacing(6);
    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 2);
    header->addWidget(makeLabel(qs("Distribuzione per App"), 12, QFont::DemiBold, primaryText()));
    header->addStretch(1);
    showAll_ = new QPushButton(qs("Mostra Tutte"));
    showAll_->setObjectName("showAll");
    showAll_->setFlat(true);
    showAll_->setCursor(Qt::PointingHandCursor);
    showAll_->setFont(uiFont(11, QFont::Medium));
    showAll_->setStyleSheet(QStringLiteral(
        "QPushButton { color: #007aff; border: none; padding: 0 2px; background: transparent; }"));
    showAll_->setFixedHeight(18);  // appearing must not shift the legend
    showAll_->setVisible(false);
    QSizePolicy keep = showAll_->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    showAll_->setSizePolicy(keep);
    header->addWidget(showAll_);
    legendColumn->addLayout(header);
    legend_ = new DonutLegend(*this, icons);
    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    scroll->setWidget(legend_);
    QPalette white = scroll->palette();
    white.setColor(QPalette::Window, controlBackground());
    scroll->setPalette(white);
    scroll->viewport()->setPalette(white);
    legend_->setPalette(white);
    scroll->setFixedHeight(std::min(kLegendMaxHeight, legend_->sizeHint().height()));
    legendColumn->addWidget(scroll);
    row->addLayout(legendColumn, 1);

    connect(showAll_, &QPushButton::clicked, this, [this] { clearSelection(); });
    animation_.setDuration(kAnimationMs);
    animation_.setStartValue(0.0);
    animation_.setEndValue(1.0);
    animation_.setEasingCurve(QEasingCurve::OutBack);
    connect(&animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        const double t = value.toDouble();
        const AppTypoStat* on = active();
        for (auto& [id, e] : emphasis_) {
            const double target = on != nullptr && on->id == id ? 1.0 : 0.0;
            e = from_[id] + (target - from_[id]) * t;
        }
        fade_ = fadeFrom_ + ((on != nullptr ? 1.0 : 0.0) - fadeFrom_) * std::min(t, 1.0);
        ring_->update();
    });
    for (const auto& stat : stats_) {
        emphasis_[stat.id] = 0;
    }
}

const AppTypoStat* DonutChart::active() const {
    const auto& id = hovered_ ? hovered_ : selected_;
    if (!id) {
        return nullptr;
    }
    for (const auto& stat : stats_) {
        if (stat.id == *id) {
            return &stat;
        }
    }
    return nullptr;
}

bool DonutChart::isEmphasised(const std::string& id) const {
    return (selected_ && *selected_ == id) || (hovered_ && *hovered_ == id);
}

double DonutChart::emphasis(const std::string& id) const {
    const auto it = emphasis_.find(id);
    return it == emphasis_.end() ? 0.0 : it->second;
}

void DonutChart::setHovered(std::optional<std::string> id) {
    if (hovered_ != id) {
        hovered_ = std::move(id);
        changed();
    }
}

void DonutChart::toggleSelected(const std::string& id) {
    if (selected_ && *selected_ == id) {
        selected_.reset();
    } else {
        selected_ = id;
    }
    changed();
}

void DonutChart::clearSelection() {
    selected_.reset();
    hovered_.reset();
    changed();
}

void DonutChart::changed() {
    if (ring_ == nullptr) {
        return;
    }
    showAll_->setVisible(selected_.has_value() || hovered_.has_value());
    from_ = emphasis_;
    fadeFrom_ = fade_;
    animation_.stop();
    animation_.start();
    ring_->update();
    legend_->update();
}

}  // namespace quorix::ui::prefs
