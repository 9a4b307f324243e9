#pragma once
// Text helpers of the notice: its fonts in pixel sizes, length in graphemes,
// and eliding that never cuts a grapheme (emoji sequences, combining marks).

#include <QFont>
#include <QString>

namespace quorix::ui::NoticeText {

// The system font at a pixel size (fractional) and weight.
QFont font(double pixelSize, QFont::Weight weight);
QFont labelFont();   // semibold 13.5
QFont buttonFont();  // bold 11.5
QFont checkFont();   // bold 15

int graphemeCount(const QString& text);
// text, or its longest prefix of whole graphemes followed by "…" that fits
// width in font.
QString elided(const QString& text, const QFont& font, double width);

}  // namespace quorix::ui::NoticeText
