#pragma once
// Geometry of the notice's pill, from the measured widths of its texts. All
// frames are in the pill's own coordinates (origin top-left, y downwards);
// the pill is 46 high and sits at (60, 85) in its 840 × 175 panel.

#include <QRectF>
#include <QString>
#include <optional>

namespace quorix::ui {

enum class NoticeArrangement {
    working,  // spinner and text, centred together
    result,   // check and text, centred together
    lead,     // a decorative symbol leads the text: the text alone, centred
    offer,    // check, text and the button offering the changed word
};

struct NoticeLayout {
    static constexpr double kPanelWidth = 840;
    static constexpr double kPanelHeight = 175;
    static constexpr double kPillHeight = 46;
    static constexpr double kPaddingX = 60;
    static constexpr double kPaddingTop = 85;
    static constexpr double kPaddingBottom = 44;
    // The panel is never resized: the widest pill still ends inside it.
    static constexpr double kMaxPillWidth = kPanelWidth - kPaddingX;

    NoticeArrangement arrangement = NoticeArrangement::working;
    double pillWidth = 230;
    double buttonWidth = 0;
    // Room the text may take; narrower than its measured width only when the
    // pill reached kMaxPillWidth (the text is then elided to it).
    double textWidth = 0;
    QRectF spinner;
    QRectF check;
    QRectF label;
    QRectF button;

    // textWidth / buttonTitleWidth: the measured widths of the text and of
    // the button title; graphemes: the text's length in user-perceived
    // characters.
    static NoticeLayout compute(const QString& text, int graphemes, double textWidth, bool isDone,
                                const std::optional<QString>& changedWord, double buttonTitleWidth);

    // The pill's frame inside the panel.
    QRectF pillFrame() const { return {kPaddingX, kPaddingTop, pillWidth, kPillHeight}; }

    // 🎉 🔥 ⚡️ 🏆 💎 👑 ↩️ at the start of the text.
    static bool hasDecorativeLead(const QString& text);
    // 🎉 🔥 🏆 💎 anywhere in the text, and 👑 when crownCounts.
    static bool isCelebration(const QString& text, bool crownCounts);
};

}  // namespace quorix::ui
