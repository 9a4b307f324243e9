#include "ui/NoticePill.h"

#include <QConicalGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextOption>
#include <array>

#include "ui/NoticeText.h"

namespace quorix::ui {
namespace {

QColor rgb(double r, double g, double b, double a = 1.0) {
    return QColor::fromRgbF(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b),
                            static_cast<float>(a));
}

// The ring's colours, closing the circle on the first one.
const std::array<QColor, 6>& ringColours() {
    static const std::array<QColor, 6> colours = {rgb(0.26, 0.52, 0.96), rgb(0.65, 0.35, 0.95),
                                                  rgb(0.96, 0.26, 0.45), rgb(0.98, 0.74, 0.05),
                                                  rgb(0.15, 0.78, 0.55), rgb(0.26, 0.52, 0.96)};
    return colours;
}

QString buttonStyle(bool saved) {
    return QStringLiteral(
               "QPushButton { border: none; border-radius: 11px; color: white; padding: 0 8px;"
               " background: %1; }")
        .arg(saved ? QStringLiteral("rgba(41, 204, 107, 217)")
                   : QStringLiteral("rgba(255, 255, 255, 46)"));
}

}  // namespace

NoticePill::NoticePill(QWidget* parent) : QWidget(parent), button_(new QPushButton(this)) {
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    button_->setFocusPolicy(Qt::NoFocus);
    button_->setFont(NoticeText::buttonFont());
    button_->setCursor(Qt::PointingHandCursor);
    button_->hide();
    setButtonTitle(QString(), false);
    resize(230, static_cast<int>(NoticeLayout::kPillHeight));
}

void NoticePill::apply(const NoticeLayout& layout, const QString& text, bool isDone) {
    layout_ = layout;
    text_ = text;
    const bool offer = layout.arrangement == NoticeArrangement::offer;
    const bool lead = layout.arrangement == NoticeArrangement::lead;
    spinnerShown_ = !offer && !lead && !isDone;
    checkShown_ = offer || (!lead && isDone);
    resize(qRound(layout.pillWidth), static_cast<int>(NoticeLayout::kPillHeight));
    button_->setVisible(offer);
    if (offer) {
        button_->setGeometry(layout.button.toRect());
    }
    update();
}

void NoticePill::setButtonTitle(const QString& title, bool saved) {
    button_->setText(title);
    button_->setStyleSheet(buttonStyle(saved));
    button_->setFont(NoticeText::buttonFont());
}

void NoticePill::setBorderAngle(double degrees) {
    borderAngle_ = degrees;
    update();
}

void NoticePill::setSpinnerAngle(double degrees) {
    spinnerAngle_ = degrees;
    if (spinnerShown_) {
        update(layout_.spinner.adjusted(-2, -2, 2, 2).toRect());
    }
}

void NoticePill::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF pill(0, 0, width(), height());
    // Dark glass: without a blur of what lies behind, a denser fill keeps the
    // white text readable on any background.
    p.setPen(Qt::NoPen);
    p.setBrush(rgb(0.08, 0.08, 0.11, 0.86));
    p.drawRoundedRect(pill, 23, 23);
    p.setBrush(rgb(1, 1, 1, 0.045));
    p.drawRoundedRect(pill, 23, 23);
    paintBorder(p);
    if (spinnerShown_) {
        paintSpinner(p);
    }
    if (checkShown_) {
        p.setFont(NoticeText::checkFont());
        p.setPen(rgb(0.3, 0.9, 0.5));
        p.drawText(layout_.check, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("\u2713"));
    }
    p.setFont(NoticeText::labelFont());
    p.setPen(Qt::white);
    QTextOption option(Qt::AlignLeft | Qt::AlignVCenter);
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(text_.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    p.drawText(layout_.label, text_, option);
    ++paints_;
    if (onPainted) {
        onPainted();
    }
}

void NoticePill::paintBorder(QPainter& p) const {
    const double w = width();
    const QPointF centre(w / 2, NoticeLayout::kPillHeight / 2);
    // Qt's conical gradient runs counter-clockwise from its angle; the ring
    // turns clockwise as the angle grows.
    QConicalGradient gradient(centre, -borderAngle_);
    const auto& colours = ringColours();
    for (std::size_t i = 0; i < colours.size(); ++i) {
        gradient.setColorAt(static_cast<double>(i) / (colours.size() - 1), colours[i]);
    }
    QPen pen(QBrush(gradient), 3);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(1.5, 1.5, w - 3, NoticeLayout::kPillHeight - 3), 21.5, 21.5);
}

void NoticePill::paintSpinner(QPainter& p) const {
    // Twelve spokes fading behind the leading one, as a small spinning
    // progress indicator draws them.
    const QRectF r = layout_.spinner;
    p.save();
    p.translate(r.center());
    p.rotate(spinnerAngle_);
    for (int i = 0; i < 12; ++i) {
        QPen pen(rgb(1, 1, 1, 0.2 + 0.8 * (i + 1) / 12.0), 1.8);
        pen.setCapStyle(Qt::RoundCap);
        p.setPen(pen);
        p.drawLine(QPointF(0, -4.5), QPointF(0, -8));
        p.rotate(30);
    }
    p.restore();
}

void NoticePill::enterEvent(QEnterEvent*) {
    if (onEnter) {
        onEnter();
    }
}

void NoticePill::leaveEvent(QEvent*) {
    if (onLeave) {
        onLeave();
    }
}

}  // namespace quorix::ui
