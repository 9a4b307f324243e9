#include "ui/prefs/StatisticsPage.h"

#include <QHBoxLayout>

#include "ui/prefs/ConfigWatch.h"
#include "ui/prefs/DonutChart.h"
#include "ui/prefs/PrefsStyle.h"
#include "ui/prefs/SettingsCard.h"

namespace quorix::ui::prefs {
namespace {

class Tile : public QFrame {
  public:
    Tile(QLabel* value, const QString& label) {
        setObjectName("tile");
        setFixedHeight(88);
        setStyleSheet(
            QStringLiteral("#tile { background: white; border: 1px solid "
                           "rgba(0,0,0,0.2); border-radius: 12px; }"));
        auto* column = new QVBoxLayout(this);
        column->setContentsMargins(16, 12, 16, 12);
        column->setSpacing(4);
        column->addWidget(value);
        column->addWidget(makeLabel(label, 12, QFont::Medium, secondaryText()));
    }
};

}  // namespace

StatisticsPage::StatisticsPage(PreferencesServices& services, AppIconManager& icons,
                               const EngineStatus& engine, QWidget* parent)
    : QWidget(parent), s_(services), icons_(icons), engine_(engine), card_(new SettingsCard) {
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(14);
    auto* tiles = new QHBoxLayout;
    tiles->setSpacing(12);
    const char* labels[3] = {"Refusi totali evitati", "Applicazioni attive",
                             "Latenza (ultima verifica)"};
    for (int i = 0; i < 3; ++i) {
        values_[i] =
            makeLabel({}, i == 2 ? 30 : 32, QFont::Bold, i == 2 ? accentGreen() : primaryText());
        values_[i]->setObjectName(QStringLiteral("tile%1").arg(i));
        tiles->addWidget(new Tile(values_[i], qs(labels[i])), 1);
    }
    page->addLayout(tiles);
    page->addWidget(card_);
    page->addStretch(1);
    new ConfigWatch(
        s_.config, {ConfigField::totalTyposCorrected, ConfigField::appTypoCounts},
        [this] { sync(); }, this);
    sync();
}

QString StatisticsPage::tileValue(int index) const {
    return values_[index]->text();
}

void StatisticsPage::sync() {
    const ConfigState state = s_.config.snapshot();
    values_[0]->setText(QString::number(state.totalTyposCorrected));
    values_[1]->setText(QString::number(state.appTypoCounts.size()));
    const bool measured = engine_.state == EngineStatus::State::reachable;
    values_[2]->setText(measured ? QStringLiteral("%1 ms").arg(engine_.elapsedMs)
                                 : QStringLiteral("—"));
    // The tile's style sheet governs its labels: the colour goes there too.
    values_[2]->setStyleSheet(QStringLiteral("color: %1;")
                                  .arg((measured ? accentGreen() : QColor(142, 142, 147)).name()));
    delete chart_;
    chart_ = new DonutChart(state.appTypoCounts, icons_);
    chart_->setObjectName("donut");
    card_->content()->addWidget(chart_);
}

}  // namespace quorix::ui::prefs
