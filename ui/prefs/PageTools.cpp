#include "ui/prefs/PageTools.h"

#include <QLabel>
#include <QPainter>

#include "ui/prefs/AppPickerDialog.h"
#include "ui/prefs/PrefsStyle.h"
#include "ui/prefs/PrefsSymbols.h"

namespace quorix::ui::prefs {
namespace {

class SymbolView : public QWidget {
  public:
    SymbolView(const char* symbol, QColor tint, int side) : symbol_(symbol), tint_(tint) {
        setFixedSize(side, side);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        PrefsSymbols::draw(p, symbol_, QRectF(rect()), tint_);
    }

  private:
    const char* symbol_;
    QColor tint_;
};

}  // namespace

QWidget* symbolView(const char* symbol, const QColor& tint, int side) {
    return new SymbolView(symbol, tint, side);
}

QHBoxLayout* cardHeader(const char* symbol, const QColor& tint, const QString& title,
                        QLabel** titleLabel) {
    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    row->addWidget(symbolView(symbol, tint, 18));
    QLabel* label = makeLabel(title, 14, QFont::Bold, primaryText());
    row->addWidget(label);
    row->addStretch(1);
    if (titleLabel != nullptr) {
        *titleLabel = label;
    }
    return row;
}

QPushButton* smallButton(const QString& text, const char* symbol) {
    auto* button = new QPushButton(text);
    button->setCursor(Qt::PointingHandCursor);
    button->setFont(uiFont(12, QFont::Medium));
    if (symbol != nullptr) {
        QPixmap pixmap(32, 32);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        PrefsSymbols::draw(p, symbol, QRectF(4, 4, 24, 24), accentBlue());
        p.end();
        button->setIcon(QIcon(pixmap));
    }
    button->setStyleSheet(QStringLiteral(
        "QPushButton { background: white; border: 1px solid rgba(0,0,0,0.18); border-radius: 6px;"
        " padding: 4px 12px; color: rgba(20,20,22,0.9); }"
        "QPushButton:hover { background: rgba(0,122,255,0.06); }"
        "QPushButton:pressed { background: rgba(0,122,255,0.14); }"
        "QPushButton:disabled { color: rgba(20,20,22,0.35); }"));
    return button;
}

std::vector<PickedApp> pickApps(PreferencesServices& s, PickerPurpose purpose, QWidget* parent) {
    if (s.pickApps) {
        return s.pickApps(purpose, parent);
    }
    const auto apps = s.installedApps ? s.installedApps() : std::vector<InstalledApp>{};
    return AppPickerDialog::run(purpose, s.config, apps, parent);
}

std::vector<ListEntry> appEntries(const std::vector<std::string>& ids) {
    std::vector<ListEntry> entries;
    entries.reserve(ids.size());
    for (const auto& id : ids) {
        entries.push_back({id, id, {}});
    }
    return entries;
}

ListEntry appEntry(const AppConfig& config, const std::string& id) {
    const ExcludedAppInfo info = config.getExcludedAppInfo(id);
    return {id, info.displayName, info.detail};
}

}  // namespace quorix::ui::prefs
