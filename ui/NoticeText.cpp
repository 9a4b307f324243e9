#include "ui/NoticeText.h"

#include <QFontMetricsF>
#include <QTextBoundaryFinder>
#include <vector>

namespace quorix::ui::NoticeText {

QFont font(double pixelSize, QFont::Weight weight) {
    QFont f;
    // Points at the 96 dpi the desktop's logical pixels are laid out in.
    f.setPointSizeF(pixelSize * 72.0 / 96.0);
    f.setWeight(weight);
    return f;
}

QFont labelFont() {
    return font(13.5, QFont::DemiBold);
}

QFont buttonFont() {
    return font(11.5, QFont::Bold);
}

QFont checkFont() {
    return font(15, QFont::Bold);
}

namespace {

std::vector<qsizetype> graphemeBoundaries(const QString& text) {
    std::vector<qsizetype> bounds;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype at = finder.toNextBoundary(); at > 0; at = finder.toNextBoundary()) {
        bounds.push_back(at);
    }
    return bounds;
}

}  // namespace

int graphemeCount(const QString& text) {
    return static_cast<int>(graphemeBoundaries(text).size());
}

QString elided(const QString& text, const QFont& font, double width) {
    const QFontMetricsF metrics(font);
    if (metrics.horizontalAdvance(text) <= width) {
        return text;
    }
    const QString ellipsis = QStringLiteral("\u2026");
    const std::vector<qsizetype> bounds = graphemeBoundaries(text);
    // Binary search for the longest whole-grapheme prefix that still fits.
    std::size_t lo = 0;
    std::size_t hi = bounds.size();
    while (lo < hi) {
        const std::size_t mid = (lo + hi + 1) / 2;
        const QString candidate = text.left(bounds[mid - 1]).trimmed() + ellipsis;
        if (metrics.horizontalAdvance(candidate) <= width) {
            lo = mid;
        } else {
            hi = mid - 1;
        }
    }
    return lo == 0 ? ellipsis : text.left(bounds[lo - 1]).trimmed() + ellipsis;
}

}  // namespace quorix::ui::NoticeText
