#include "ui/TextLine.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextBoundaryFinder>
#include <QTextCharFormat>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace quorix::ui {
namespace {

const QString kEllipsis = QStringLiteral("…");
// No line is wide enough to show more clusters than this; longer runs are cut
// before any measuring, so a huge text costs no more than a short one.
constexpr int kMaxClusters = 400;

// Offsets of the grapheme-cluster boundaries of s, 0 and s.size() included.
std::vector<int> clusterBoundaries(const QString& s) {
    std::vector<int> out{0};
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, s);
    while (finder.toNextBoundary() > 0) {
        out.push_back(static_cast<int>(finder.position()));
    }
    if (out.back() != s.size()) {
        out.push_back(static_cast<int>(s.size()));
    }
    return out;
}

// s keeping `keep` clusters from the end it is not cut at, with "…" at the cut.
QString keepClusters(const QString& s, const std::vector<int>& bounds, int keep, bool cutStart) {
    const int clusters = static_cast<int>(bounds.size()) - 1;
    if (keep >= clusters) {
        return s;
    }
    if (cutStart) {
        return kEllipsis + s.mid(bounds[static_cast<std::size_t>(clusters - keep)]);
    }
    return s.left(bounds[static_cast<std::size_t>(keep)]) + kEllipsis;
}

QString joined(const std::vector<TextRun>& runs) {
    QString all;
    for (const TextRun& run : runs) {
        all += run.text;
    }
    return all;
}

Qt::LayoutDirection directionOf(const QString& text) {
    return text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
}

// Lays the runs out as one unwrapped line.
void layOut(QTextLayout& layout, const std::vector<TextRun>& runs) {
    const QString text = joined(runs);
    QList<QTextLayout::FormatRange> formats;
    int at = 0;
    for (const TextRun& run : runs) {
        QTextCharFormat format;
        QFont font = run.font;
        font.setUnderline(run.underline);
        font.setStrikeOut(run.strikeOut);
        format.setFont(font);
        format.setForeground(run.color);
        formats.append({at, static_cast<int>(run.text.size()), format});
        at += static_cast<int>(run.text.size());
    }
    layout.setText(text);
    layout.setFont(runs.empty() ? QFont() : runs.front().font);
    layout.setFormats(formats);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(directionOf(text));
    // Placed at the left of its box whatever the direction; paintEvent aligns it.
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid()) {
        line.setLineWidth(1e6);
    }
    layout.endLayout();
}

qreal widthOf(const std::vector<TextRun>& runs) {
    QTextLayout layout;
    layOut(layout, runs);
    return layout.lineCount() > 0 ? layout.lineAt(0).naturalTextWidth() : 0.0;
}

}  // namespace

TextLine::TextLine(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TextLine::setRuns(std::vector<TextRun> runs) {
    for (TextRun& run : runs) {
        const std::vector<int> bounds = clusterBoundaries(run.text);
        run.text = keepClusters(run.text, bounds, kMaxClusters, run.cutStart);
    }
    runs_ = std::move(runs);
    updateGeometry();
    update();
}

void TextLine::setText(const QString& text, const QFont& font, const QColor& color) {
    setRuns({TextRun{text, font, color}});
}

void TextLine::setAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

std::vector<TextRun> TextLine::fitted(qreal width) const {
    return fit(runs_, width, minimumPixelSize_);
}

QString TextLine::elided(const QString& text, const QFont& font, qreal width) {
    return fit({TextRun{shortened(text, kMaxClusters), font, QColor()}}, width).front().text;
}

QString TextLine::shortened(const QString& text, int maxClusters) {
    return keepClusters(text, clusterBoundaries(text), maxClusters, false);
}

std::vector<TextRun> TextLine::fit(std::vector<TextRun> runs, qreal width, int minimumPixelSize) {
    if (widthOf(runs) <= width) {
        return runs;
    }
    if (minimumPixelSize > 0) {
        for (int step = 1; step < 64 && widthOf(runs) > width; ++step) {
            bool shrunk = false;
            for (TextRun& run : runs) {
                if (run.font.pixelSize() > minimumPixelSize) {
                    run.font.setPixelSize(run.font.pixelSize() - 1);
                    shrunk = true;
                }
            }
            if (!shrunk) {
                break;
            }
        }
        if (widthOf(runs) <= width) {
            return runs;
        }
    }
    std::vector<std::size_t> order(runs.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&runs](std::size_t a, std::size_t b) {
        return runs[a].elideRank != runs[b].elideRank ? runs[a].elideRank < runs[b].elideRank
                                                      : a > b;
    });
    for (std::size_t index : order) {
        TextRun& run = runs[index];
        if (run.text.isEmpty()) {
            continue;
        }
        const QString whole = run.text;
        const std::vector<int> bounds = clusterBoundaries(whole);
        // The largest number of clusters that fits, by bisection.
        int low = 0;
        int high = static_cast<int>(bounds.size()) - 2;
        while (low < high) {
            const int mid = (low + high + 1) / 2;
            run.text = keepClusters(whole, bounds, mid, run.cutStart);
            if (widthOf(runs) <= width) {
                low = mid;
            } else {
                high = mid - 1;
            }
        }
        run.text = keepClusters(whole, bounds, low, run.cutStart);
        if (widthOf(runs) <= width) {
            break;
        }
    }
    return runs;
}

QString TextLine::displayedText() const {
    return joined(fitted(width()));
}

bool TextLine::isElided() const {
    return displayedText() != joined(runs_);
}

bool TextLine::isRightToLeft() const {
    return directionOf(joined(runs_)) == Qt::RightToLeft;
}

QSize TextLine::sizeHint() const {
    qreal height = 0;
    for (const TextRun& run : runs_) {
        height = std::max(height, QFontMetricsF(run.font).height());
    }
    if (runs_.empty()) {
        height = QFontMetricsF(font()).height();
    }
    return {static_cast<int>(std::ceil(widthOf(runs_))), static_cast<int>(std::ceil(height))};
}

QSize TextLine::minimumSizeHint() const {
    return {0, sizeHint().height()};
}

void TextLine::paintEvent(QPaintEvent*) {
    if (runs_.empty()) {
        return;
    }
    QTextLayout layout;
    layOut(layout, fitted(width()));
    if (layout.lineCount() == 0) {
        return;
    }
    const QTextLine line = layout.lineAt(0);
    const qreal textWidth = line.naturalTextWidth();
    qreal x = 0;
    if (alignment_ & Qt::AlignRight) {
        x = width() - textWidth;
    } else if (alignment_ & Qt::AlignHCenter) {
        x = (width() - textWidth) / 2.0;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    layout.draw(&painter, QPointF(x, (height() - line.height()) / 2.0));
}

}  // namespace quorix::ui
