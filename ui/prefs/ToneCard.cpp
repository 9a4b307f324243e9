#include "ui/prefs/ToneCard.h"

#include <QPainter>

#include "ui/prefs/PrefsStyle.h"
#include "ui/prefs/PrefsSymbols.h"

namespace quorix::ui::prefs {
namespace {
constexpr double kPadding = 14;
constexpr double kHeader = 34;
}  // namespace

ToneCard::ToneCard(QColor tint, const char* symbol, const QString& title,
                   const QString& description, const QString& example, QWidget* parent)
    : QAbstractButton(parent),
      tint_(tint),
      symbol_(symbol),
      description_(description),
      example_(example) {
    setText(title);
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

QRectF ToneCard::bodyRect(double width) const {
    return QRectF(kPadding, kPadding + kHeader, width - 2 * kPadding, 1000);
}

int ToneCard::heightForWidth(int width) const {
    const QRectF body = bodyRect(width);
    const QFontMetricsF small(uiFont(11.5));
    const QFontMetricsF example(uiFont(11, QFont::Medium));
    const double description = small.boundingRect(body, Qt::TextWordWrap, description_).height();
    const double sample =
        example.boundingRect(body.adjusted(8, 0, -8, 0), Qt::TextWordWrap, example_).height();
    return static_cast<int>(body.top() + description + 10 + sample + 12 + kPadding);
}

void ToneCard::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
    QColor fill = tint_;
    fill.setAlphaF(0.08f);
    p.setBrush(isChecked() ? fill : controlBackground());
    p.setPen(isChecked() ? QPen(tint_, 1.5) : QPen(rgb(0.55, 0.55, 0.58, 0.5), 1));
    p.drawRoundedRect(r, 12, 12);

    PrefsSymbols::draw(p, symbol_, QRectF(kPadding, kPadding + 2, 22, 22), tint_);
    p.setPen(primaryText());
    p.setFont(uiFont(14, QFont::Bold));
    p.drawText(QRectF(kPadding + 30, kPadding, width() - 90, 26), Qt::AlignLeft | Qt::AlignVCenter,
               text());
    if (isChecked()) {
        PrefsSymbols::draw(p, "checkmark.circle.fill",
                           QRectF(width() - kPadding - 20, kPadding + 3, 20, 20), tint_);
    }
    QRectF body = bodyRect(width());
    p.setPen(secondaryText());
    p.setFont(uiFont(11.5));
    const QRectF described = p.boundingRect(body, Qt::TextWordWrap, description_);
    p.drawText(body, Qt::TextWordWrap, description_);
    body.setTop(described.bottom() + 10);
    p.setFont(uiFont(11, QFont::Medium));
    const QRectF sample = p.boundingRect(body.adjusted(8, 0, -8, 0), Qt::TextWordWrap, example_);
    QColor band = tint_;
    band.setAlphaF(0.1f);
    p.setPen(Qt::NoPen);
    p.setBrush(band);
    p.drawRoundedRect(QRectF(body.left(), body.top() - 6, body.width(), sample.height() + 12), 7,
                      7);
    p.setPen(tint_.darker(125));
    p.drawText(body.adjusted(8, 0, -8, 0), Qt::TextWordWrap, example_);
}

}  // namespace quorix::ui::prefs
