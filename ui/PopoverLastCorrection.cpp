#include "ui/PopoverLastCorrection.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/PanelStyle.h"
#include "ui/PopoverTexts.h"
#include "ui/SymbolLabel.h"

namespace quorix::ui {
namespace {

// The exclusion label shows at most this many clusters of the word.
constexpr int kMaxWordClusters = 32;
constexpr int kRowHeight = 19;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QFont titleFont() {
    QFont f = PanelStyle::font(9, QFont::Bold);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    return f;
}

// A badge and a line of runs beside it.
TextLine* addBadgeRow(QVBoxLayout* rows, QWidget* parent, const QString& badge, QColor color) {
    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    row->addWidget(
        new BadgeLabel(badge, PanelStyle::font(8, QFont::Black), color, QSizeF(5, 2), parent));
    auto* line = new TextLine(parent);
    line->setFixedHeight(kRowHeight);
    row->addWidget(line, 1);
    rows->addLayout(row);
    return line;
}

}  // namespace

PopoverLastCorrection::PopoverLastCorrection(QWidget* parent) : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);
    title_ = new TextLine(this);
    column->addWidget(title_);
    buildCorrectionCard();
    buildPlaceholderCard();
    column->addWidget(correction_);
    column->addWidget(placeholder_);
    correction_->hide();
}

void PopoverLastCorrection::buildCorrectionCard() {
    correction_ = new PanelCard(this);
    correction_->setFixedHeight(kCorrectionHeight);
    auto* rows = new QVBoxLayout(correction_);
    rows->setContentsMargins(10, 10, 10, 10);
    rows->setSpacing(5);
    // Rows centred in the card, with or without the exclusion row.
    rows->addStretch(1);

    auto* change = new QHBoxLayout;
    change->setSpacing(6);
    changeFrom_ = new TextLine(correction_);
    changeFrom_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    changeFrom_->setFixedHeight(kRowHeight);
    changeTo_ = new TextLine(correction_);
    changeTo_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    changeTo_->setFixedHeight(kRowHeight);
    change->addWidget(changeFrom_);
    change->addWidget(
        new SymbolLabel("arrow.right", 9, PanelStyle::secondary(palette()), correction_));
    change->addWidget(changeTo_);
    change->addStretch(1);
    rows->addLayout(change);

    before_ = addBadgeRow(rows, correction_, QStringLiteral("PRIMA"), PanelStyle::red());
    after_ = addBadgeRow(rows, correction_, QStringLiteral("DOPO"), PanelStyle::green());

    exclude_ = new HoverButton("exclude", correction_);
    exclude_->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    HoverButton::Look look;
    look.symbol = "plus.circle";
    look.symbolSize = 9.5;
    look.font = PanelStyle::font(10, QFont::Medium);
    look.color = PanelStyle::blue();
    look.hoverColor = PanelStyle::blue().darker(125);
    look.hPadding = 0;
    exclude_->setLook(look);
    rows->addWidget(exclude_, 0, Qt::AlignLeft);
    rows->addStretch(1);
}

void PopoverLastCorrection::buildPlaceholderCard() {
    placeholder_ = new PanelCard(this);
    placeholder_->setFixedHeight(kPlaceholderHeight);
    auto* row = new QHBoxLayout(placeholder_);
    row->setContentsMargins(10, 9, 10, 9);
    row->setSpacing(10);
    row->addWidget(new SymbolLabel("checkmark.shield.fill", 18, PanelStyle::green(), placeholder_));
    auto* lines = new QVBoxLayout;
    lines->setSpacing(2);
    placeholderTitle_ = new TextLine(placeholder_);
    placeholderSubtitle_ = new TextLine(placeholder_);
    lines->addWidget(placeholderTitle_);
    lines->addWidget(placeholderSubtitle_);
    row->addLayout(lines, 1);
}

void PopoverLastCorrection::refresh(const ConfigState& state, const PopoverTexts& texts) {
    const QPalette& pal = palette();
    const QColor primary = PanelStyle::primary(pal);
    const QColor secondary = PanelStyle::secondary(pal);
    title_->setText(texts.lastCorrectionTitle(), titleFont(), secondary);

    const bool hasCorrection = state.lastOriginalFullText && !state.lastOriginalFullText->empty() &&
                               state.lastCorrectedFullText.has_value();
    if (!hasCorrection) {
        snippet_.reset();
        correction_->hide();
        placeholder_->show();
        placeholderTitle_->setText(texts.placeholderTitle(state.isEnabled),
                                   PanelStyle::font(11.5, QFont::DemiBold), primary);
        placeholderSubtitle_->setText(texts.placeholderSubtitle(state.isEnabled),
                                      PanelStyle::font(10), secondary);
        return;
    }
    snippet_ = text::TextDiffSnippet::compute(*state.lastOriginalFullText,
                                              *state.lastCorrectedFullText, kContextWords);
    const text::TextDiffSnippet& s = *snippet_;
    placeholder_->hide();
    correction_->show();

    const QFont bold11 = PanelStyle::font(11, QFont::Bold);
    // The quotes stay when the words between them are cut.
    const QString quote = QStringLiteral("\"");
    changeFrom_->setRuns({{quote, bold11, PanelStyle::red(), false, true, 1},
                          {qs(s.origDiff), bold11, PanelStyle::red(), false, true, 0},
                          {quote, bold11, PanelStyle::red(), false, true, 1}});
    changeTo_->setRuns({{quote, bold11, PanelStyle::green(), false, false, 1},
                        {qs(s.fixedDiff), bold11, PanelStyle::green(), false, false, 0},
                        {quote, bold11, PanelStyle::green(), false, false, 1}});

    // Cut first the context after, then the context before (from its start),
    // and the changed words last.
    const QFont regular = PanelStyle::font(11);
    before_->setRuns({{qs(s.preContext), regular, secondary, false, false, 1, true},
                      {qs(s.origDiff), bold11, PanelStyle::red(), true, false, 2},
                      {qs(s.postContext), regular, secondary, false, false, 0}});
    const QFont semibold = PanelStyle::font(11, QFont::DemiBold);
    after_->setRuns({{qs(s.preContext), semibold, secondary, false, false, 1, true},
                     {qs(s.fixedDiff), bold11, PanelStyle::green(), false, false, 2},
                     {qs(s.postContext), semibold, primary, false, false, 0}});

    const auto& word = state.lastCorrectedOriginalWord;
    exclude_->setVisible(word && !word->empty());
    if (word && !word->empty()) {
        exclude_->setText(texts.excludeWord(TextLine::shortened(qs(*word), kMaxWordClusters)));
    }
}

}  // namespace quorix::ui
