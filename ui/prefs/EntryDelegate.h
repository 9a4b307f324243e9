#pragma once
// Paints the rows of an EntryList: see there.

#include <QStyledItemDelegate>

namespace quorix::ui::prefs {

class AppIconManager;

class EntryDelegate : public QStyledItemDelegate {
  public:
    static constexpr int kAppRowHeight = 44;
    static constexpr int kWordRowHeight = 30;
    static constexpr int kIdRole = Qt::UserRole + 1;
    static constexpr int kDetailRole = Qt::UserRole + 2;
    static constexpr int kHoverRole = Qt::UserRole + 3;

    EntryDelegate(bool appRows, AppIconManager* icons, QString badge, QObject* parent);
    // Where the remove mark sits in a row's rectangle.
    static QRect removeRect(const QRect& row);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  private:
    bool appRows_;
    AppIconManager* icons_;
    QString badge_;
};

}  // namespace quorix::ui::prefs
