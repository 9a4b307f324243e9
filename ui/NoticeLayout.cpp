#include "ui/NoticeLayout.h"

#include <algorithm>
#include <array>

namespace quorix::ui {
namespace {

const std::array<QString, 7> kLeads = {QStringLiteral("\U0001F389"),   QStringLiteral("\U0001F525"),
                                       QStringLiteral("\u26A1\uFE0F"), QStringLiteral("\U0001F3C6"),
                                       QStringLiteral("\U0001F48E"),   QStringLiteral("\U0001F451"),
                                       QStringLiteral("\u21A9\uFE0F")};

const std::array<QString, 4> kCelebrations = {
    QStringLiteral("\U0001F389"), QStringLiteral("\U0001F525"), QStringLiteral("\U0001F3C6"),
    QStringLiteral("\U0001F48E")};

}  // namespace

bool NoticeLayout::hasDecorativeLead(const QString& text) {
    return std::any_of(kLeads.begin(), kLeads.end(),
                       [&](const QString& lead) { return text.startsWith(lead); });
}

bool NoticeLayout::isCelebration(const QString& text, bool crownCounts) {
    if (crownCounts && text.contains(QStringLiteral("\U0001F451"))) {
        return true;
    }
    return std::any_of(kCelebrations.begin(), kCelebrations.end(),
                       [&](const QString& symbol) { return text.contains(symbol); });
}

NoticeLayout NoticeLayout::compute(const QString& text, int graphemes, double textWidth,
                                   bool isDone, const std::optional<QString>& changedWord,
                                   double buttonTitleWidth) {
    NoticeLayout l;
    double t = textWidth;
    const bool offer = changedWord.has_value() && !changedWord->isEmpty();
    double w = 0;
    if (changedWord.has_value()) {
        l.buttonWidth = offer ? std::min(std::max(buttonTitleWidth + 24, 140.0), 360.0) : 0.0;
        w = std::max(t + l.buttonWidth + 64, 340.0);
    } else if (graphemes < 15) {
        w = std::max(t + 68, 175.0);
    } else {
        w = std::max(t + 76, 230.0);
    }
    if (w > kMaxPillWidth) {
        t = std::max(0.0, t - (w - kMaxPillWidth));
        w = kMaxPillWidth;
    }
    l.pillWidth = w;
    l.textWidth = t;

    if (offer) {
        l.arrangement = NoticeArrangement::offer;
        l.check = {16, 13, 18, 20};
        l.label = {42, 13, t + 6, 20};
        l.button = {w - l.buttonWidth - 12, 11, l.buttonWidth, 24};
    } else if (hasDecorativeLead(text)) {
        l.arrangement = NoticeArrangement::lead;
        l.label = {(w - t) / 2, 13, t + 10, 20};
    } else {
        l.arrangement = isDone ? NoticeArrangement::result : NoticeArrangement::working;
        const double x0 = (w - (t + 26)) / 2;
        l.spinner = {x0, 14, 18, 18};
        l.check = {x0, 13, 18, 20};
        l.label = {x0 + 26, 13, t + 10, 20};
    }
    return l;
}

}  // namespace quorix::ui
