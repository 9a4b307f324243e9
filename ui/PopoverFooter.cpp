#include "ui/PopoverFooter.h"

#include <QHBoxLayout>
#include <QPainter>

#include "ui/PanelStyle.h"
#include "ui/PopoverTexts.h"
#include "ui/TextLine.h"

namespace quorix::ui {

namespace {
constexpr int kTopGap = 11;
}

PopoverFooter::PopoverFooter(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, kTopGap, 0, 0);
    row->setSpacing(6);
    sound_ = new HoverButton("sound", this);
    preferences_ = new HoverButton("pref", this);
    quit_ = new HoverButton("quit", this);
    updates_ = new HoverButton("upd", this);
    auto* dot = new TextLine(this);
    dot->setText(QStringLiteral("·"), PanelStyle::font(11),
                 PanelStyle::withAlpha(PanelStyle::secondary(palette()), 0.4));
    dot->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    row->addWidget(sound_);
    row->addSpacing(2);
    row->addWidget(preferences_);
    row->addWidget(dot);
    row->addWidget(quit_);
    row->addStretch(1);
    row->addWidget(updates_);
}

void PopoverFooter::refresh(bool soundEnabled, const PopoverTexts& texts) {
    const QPalette& pal = palette();
    const QColor primary = PanelStyle::primary(pal);
    const QColor secondary = PanelStyle::secondary(pal);

    HoverButton::Look sound;
    sound.symbol = soundEnabled ? "speaker.wave.2.fill" : "speaker.slash.fill";
    sound.symbolSize = 12;
    sound.color = soundEnabled ? PanelStyle::green() : secondary;
    sound.hoverColor = sound.color;
    sound_->setLook(sound);
    sound_->setToolTip(texts.soundTooltip());

    HoverButton::Look text;
    text.font = PanelStyle::font(11, QFont::Medium);
    text.color = secondary;
    text.hoverColor = primary;
    preferences_->setLook(text);
    preferences_->setText(texts.settings());

    text.font = PanelStyle::font(11);
    text.color = PanelStyle::withAlpha(secondary, 0.7);
    text.hoverColor = PanelStyle::red();
    quit_->setLook(text);
    quit_->setText(texts.quit());

    text.font = PanelStyle::font(10.5, QFont::Medium);
    text.color = secondary;
    text.hoverColor = primary;
    text.symbol = "arrow.triangle.2.circlepath";
    text.symbolSize = 10;
    text.symbolColor = PanelStyle::green();
    updates_->setLook(text);
    updates_->setText(texts.updates());
}

void PopoverFooter::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(QRectF(0, 0, width(), 1),
               PanelStyle::withAlpha(PanelStyle::separator(palette()), 0.25));
}

}  // namespace quorix::ui
