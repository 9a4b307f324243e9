#pragma once
// One line of text made of styled runs, drawn in a single bidirectional
// layout: the paragraph direction follows the text's first strong character,
// so right-to-left messages read correctly inside a left-to-right panel.
//
// When the runs do not fit the widget's width they are shortened whole
// grapheme clusters at a time, never inside one, with "…" marking the cut: runs
// are cut in the order of their `elideRank` (lowest first), each from its
// `cutStart` side, until the line fits. With a minimum pixel size set, the
// fonts shrink towards it first (for numbers, which must not be cut).

#include <QColor>
#include <QFont>
#include <QString>
#include <QTextLayout>
#include <QWidget>
#include <vector>

namespace quorix::ui {

struct TextRun {
    QString text;
    QFont font;
    QColor color;
    bool underline = false;
    bool strikeOut = false;
    // Lower ranks are cut first; runs of equal rank are cut last to first.
    int elideRank = 0;
    // Cut at the start ("…tail") instead of the end ("head…").
    bool cutStart = false;
};

class TextLine : public QWidget {
  public:
    explicit TextLine(QWidget* parent = nullptr);

    void setRuns(std::vector<TextRun> runs);
    // One run in one style.
    void setText(const QString& text, const QFont& font, const QColor& color);
    // Horizontal placement: Qt::AlignLeft, Qt::AlignRight or Qt::AlignHCenter.
    void setAlignment(Qt::Alignment alignment);
    void setMinimumPixelSize(int pixels) { minimumPixelSize_ = pixels; }

    // The runs as drawn at the current width, joined, and whether any was cut.
    QString displayedText() const;
    bool isElided() const;
    bool isRightToLeft() const;
    // The runs as drawn at `width`.
    std::vector<TextRun> fitted(qreal width) const;

    // runs shrunk (towards minimumPixelSize, when above 0) and cut until they
    // fit `width`.
    static std::vector<TextRun> fit(std::vector<TextRun> runs, qreal width,
                                    int minimumPixelSize = 0);
    // text cut at its end, by whole clusters, to fit `width` in `font`.
    static QString elided(const QString& text, const QFont& font, qreal width);
    // text cut after `maxClusters` grapheme clusters, with "…".
    static QString shortened(const QString& text, int maxClusters);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<TextRun> runs_;
    Qt::Alignment alignment_ = Qt::AlignLeft;
    int minimumPixelSize_ = 0;
};

}  // namespace quorix::ui
