#include "ui/prefs/SettingsCard.h"

#include <QPainter>

#include "ui/prefs/PrefsStyle.h"

namespace quorix::ui::prefs {
namespace {
constexpr int kPadding = 18;
constexpr int kShadow = 3;  // room for the shadow below the outline
}  // namespace

SettingsCard::SettingsCard(QWidget* parent) : QFrame(parent), layout_(new QVBoxLayout(this)) {
    layout_->setContentsMargins(kPadding, kPadding, kPadding, kPadding + kShadow);
    layout_->setSpacing(12);
}

void SettingsCard::addDivider() {
    auto* line = new QFrame;
    line->setFixedHeight(1);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, separator(0.3));
    line->setPalette(palette);
    layout_->addWidget(line);
}

void SettingsCard::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF card = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5 - kShadow);
    // Shadow: black at 4 %, radius 6, two points down.
    for (int i = 0; i < 3; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(rgb(0, 0, 0, 0.018));
        p.drawRoundedRect(card.translated(0, 2).adjusted(-i, -i + 1, i, i), 12 + i, 12 + i);
    }
    p.setBrush(controlBackground());
    p.setPen(QPen(separator(0.35), 1));
    p.drawRoundedRect(card, 12, 12);
}

}  // namespace quorix::ui::prefs
