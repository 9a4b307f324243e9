#include "ui/PopoverTone.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/PanelStyle.h"
#include "ui/PopoverTexts.h"

namespace quorix::ui {

PopoverTone::PopoverTone(QWidget* parent) : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);
    title_ = new TextLine(this);
    column->addWidget(title_);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    natural_ = new ToneButton("bubble.left.and.text.bubble.right.fill", PanelStyle::blue(), this);
    formal_ = new ToneButton("briefcase.fill", PanelStyle::purple(), this);
    buttons->addWidget(natural_, 1);
    buttons->addWidget(formal_, 1);
    column->addLayout(buttons);
    example_ = new QLabel(this);
    example_->setWordWrap(true);
    example_->setFont(PanelStyle::font(9.5));
    example_->setContentsMargins(2, 0, 2, 0);
    QPalette pal = example_->palette();
    pal.setColor(QPalette::WindowText, PanelStyle::secondary(palette()));
    example_->setPalette(pal);
    // Two lines always, so the popover keeps its height whichever tone is on.
    example_->setFixedHeight(2 * example_->fontMetrics().lineSpacing() + 2);
    example_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    column->addSpacing(-2);
    column->addWidget(example_);

    QObject::connect(natural_, &QAbstractButton::clicked, this, [this] {
        if (onSelect_) {
            onSelect_(ToneStyle::natural);
        }
    });
    QObject::connect(formal_, &QAbstractButton::clicked, this, [this] {
        if (onSelect_) {
            onSelect_(ToneStyle::formal);
        }
    });
}

ToneButton* PopoverTone::button(ToneStyle tone) const {
    return tone == ToneStyle::formal ? formal_ : natural_;
}

void PopoverTone::refresh(ToneStyle selected, const PopoverTexts& texts) {
    QFont titleFont = PanelStyle::font(9, QFont::Bold);
    titleFont.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    title_->setText(texts.toneTitle(), titleFont, PanelStyle::secondary(palette()));
    for (ToneStyle tone : {ToneStyle::natural, ToneStyle::formal}) {
        button(tone)->setText(texts.toneLabel(tone));
        button(tone)->setSelected(tone == selected);
    }
    example_->setText(texts.toneExample(selected));
}

}  // namespace quorix::ui
