#include "ui/prefs/EntryDelegate.h"

#include <QPainter>
#include <QPainterPath>

#include "ui/prefs/AppIconManager.h"
#include "ui/prefs/PrefsStyle.h"
#include "ui/prefs/PrefsSymbols.h"

namespace quorix::ui::prefs {

EntryDelegate::EntryDelegate(bool appRows, AppIconManager* icons, QString badge, QObject* parent)
    : QStyledItemDelegate(parent), appRows_(appRows), icons_(icons), badge_(std::move(badge)) {}

QRect EntryDelegate::removeRect(const QRect& row) {
    return QRect(row.right() - 30, row.center().y() - 11, 24, 22);
}

QSize EntryDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return QSize(200, appRows_ ? kAppRowHeight : kWordRowHeight);
}

void EntryDelegate::paint(QPainter* p, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const {
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    const QRect row = option.rect.adjusted(0, 1, 0, -1);
    const bool hovered = index.data(kHoverRole).toBool();
    p->setPen(Qt::NoPen);
    p->setBrush(hovered ? primaryText(0.05) : rgb(0, 0, 0, 0.018));
    p->drawRoundedRect(row, 7, 7);

    const QString title = index.data(Qt::DisplayRole).toString();
    int x = row.left() + 10;
    if (appRows_) {
        const QRect iconRect(x, row.center().y() - 14, 28, 28);
        if (icons_ != nullptr) {
            QPainterPath clip;
            clip.addRoundedRect(iconRect, 6.2, 6.2);
            p->setClipPath(clip);
            icons_->icon(title.toStdString()).paint(p, iconRect);
            p->setClipping(false);
        }
        x = iconRect.right() + 11;
    } else {
        PrefsSymbols::draw(*p, "shield.fill", QRectF(x, row.center().y() - 7, 14, 14),
                           accentGreen());
        x += 24;
    }

    QRect textRect(x, row.top(), removeRect(row).left() - x - 8, row.height());
    int badgeWidth = 0;
    if (!badge_.isEmpty()) {
        QFont bf = uiFont(9.5, QFont::DemiBold);
        badgeWidth = QFontMetrics(bf).horizontalAdvance(badge_) + 14;
        const QRect badge(textRect.right() - badgeWidth, row.center().y() - 9, badgeWidth, 18);
        const QColor tint =
            badge_ == QStringLiteral("Executive") ? accentPurple() : rgb(1.0, 0.584, 0.0);
        QColor fill = tint;
        fill.setAlphaF(0.12f);
        p->setBrush(fill);
        p->drawRoundedRect(badge, 9, 9);
        p->setFont(bf);
        p->setPen(tint);
        p->drawText(badge, Qt::AlignCenter, badge_);
        textRect.setRight(badge.left() - 8);
    }

    if (appRows_) {
        const QString detail = index.data(kDetailRole).toString();
        p->setFont(uiFont(12.5, QFont::DemiBold));
        p->setPen(primaryText());
        const QFontMetrics fm(p->font());
        p->drawText(textRect.adjusted(0, 5, 0, -row.height() / 2 + 2),
                    Qt::AlignLeft | Qt::AlignBottom,
                    fm.elidedText(title, Qt::ElideRight, textRect.width()));
        p->setFont(uiFont(10.5));
        p->setPen(secondaryText());
        p->drawText(textRect.adjusted(0, row.height() / 2 + 1, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                    QFontMetrics(p->font()).elidedText(detail, Qt::ElideMiddle, textRect.width()));
    } else {
        p->setFont(uiFont(12.5, QFont::Medium));
        p->setPen(primaryText());
        p->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                    QFontMetrics(p->font()).elidedText(title, Qt::ElideRight, textRect.width()));
    }
    PrefsSymbols::draw(*p, "trash", QRectF(removeRect(row)).adjusted(5, 3, -5, -3),
                       hovered ? rgb(0.957, 0.247, 0.369) : secondaryText());
    p->restore();
}

}  // namespace quorix::ui::prefs
