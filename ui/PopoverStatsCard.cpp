#include "ui/PopoverStatsCard.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/BadgeLabel.h"
#include "ui/PanelStyle.h"
#include "ui/PopoverTexts.h"
#include "ui/SymbolLabel.h"

namespace quorix::ui {

PopoverStatsCard::PopoverStatsCard(QWidget* parent) : PanelCard(parent, 0.5) {
    const QPalette& pal = palette();
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(12, 12, 12, 12);
    row->setSpacing(12);

    auto* left = new QVBoxLayout;
    left->setSpacing(1);
    count_ = new TextLine(this);
    count_->setMinimumPixelSize(9);
    left->addWidget(count_);
    auto* captionRow = new QHBoxLayout;
    captionRow->setSpacing(4);
    captionRow->addWidget(new SymbolLabel("checkmark.circle.fill", 10, PanelStyle::green(), this));
    caption_ = new TextLine(this);
    captionRow->addWidget(caption_, 1);
    left->addLayout(captionRow);
    row->addLayout(left, 1);

    auto* divider = new QWidget(this);
    divider->setFixedWidth(1);
    divider->setAutoFillBackground(true);
    QPalette dividerPalette = divider->palette();
    dividerPalette.setColor(QPalette::Window,
                            PanelStyle::withAlpha(PanelStyle::separator(pal), 0.3));
    divider->setPalette(dividerPalette);
    row->addWidget(divider);

    auto* right = new QVBoxLayout;
    right->setSpacing(1);
    fastAnswer_ = new TextLine(this);
    fastAnswer_->setAlignment(Qt::AlignRight);
    right->addWidget(fastAnswer_);
    auto* ms = new TextLine(this);
    ms->setAlignment(Qt::AlignRight);
    ms->setText(QStringLiteral("~13 ms"), PanelStyle::font(20, QFont::Bold), PanelStyle::green());
    right->addWidget(ms);
    auto* badge = new BadgeLabel(QStringLiteral("0.013s"), PanelStyle::font(9, QFont::Black),
                                 PanelStyle::green(), QSizeF(4.5, 1.5), this);
    right->addWidget(badge, 0, Qt::AlignRight);
    // The fixed figures keep their width; the count takes the rest.
    row->addLayout(right, 0);
}

void PopoverStatsCard::refresh(long long totalTyposCorrected, const PopoverTexts& texts) {
    const QPalette& pal = palette();
    count_->setText(QString::number(totalTyposCorrected), PanelStyle::font(30, QFont::Bold),
                    PanelStyle::primary(pal));
    caption_->setText(texts.typosFixed(), PanelStyle::font(10.5, QFont::Medium),
                      PanelStyle::secondary(pal));
    fastAnswer_->setText(texts.fastAnswer(), PanelStyle::font(10.5, QFont::Medium),
                         PanelStyle::secondary(pal));
    fastAnswer_->setMinimumWidth(fastAnswer_->sizeHint().width());
}

}  // namespace quorix::ui
