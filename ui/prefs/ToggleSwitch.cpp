#include "ui/prefs/ToggleSwitch.h"

#include <QPainter>
#include <QSignalBlocker>

#include "ui/prefs/PrefsStyle.h"

namespace quorix::ui::prefs {

ToggleSwitch::ToggleSwitch(QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(sizeHint());
    setFocusPolicy(Qt::StrongFocus);
}

void ToggleSwitch::setCheckedQuietly(bool on) {
    const QSignalBlocker blocker(this);
    setChecked(on);
    update();
}

void ToggleSwitch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF track(1, 2, width() - 2, height() - 4);
    QColor fill = isChecked() ? accentBlue() : rgb(0.78, 0.78, 0.8);
    if (!isEnabled()) {
        fill.setAlphaF(0.45f);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(track, track.height() / 2, track.height() / 2);
    const double knob = track.height() - 4;
    const double x = isChecked() ? track.right() - 2 - knob : track.left() + 2;
    p.setBrush(rgb(0, 0, 0, 0.12));
    p.drawEllipse(QRectF(x, track.top() + 2.6, knob, knob));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(x, track.top() + 2, knob, knob));
    if (hasFocus()) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(accentBlue().lighter(150), 1.5));
        p.drawRoundedRect(track.adjusted(-1, -1, 1, 1), track.height() / 2 + 1,
                          track.height() / 2 + 1);
    }
}

}  // namespace quorix::ui::prefs
