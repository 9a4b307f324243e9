#include "ui/prefs/EntryList.h"

#include <QMouseEvent>
#include <QSignalBlocker>

#include "ui/prefs/EntryDelegate.h"
#include "ui/prefs/PrefsStyle.h"

namespace quorix::ui::prefs {
namespace {
constexpr int kResolvedRole = Qt::UserRole + 10;
}

EntryList::EntryList(Kind kind, AppIconManager* icons, QString badge, QString removeTip,
                     QWidget* parent)
    : QListView(parent), kind_(kind) {
    setModel(&model_);
    setItemDelegate(new EntryDelegate(kind == Kind::app, icons, std::move(badge), this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFrameShape(QFrame::NoFrame);
    setMouseTracking(true);
    setSpacing(0);
    setToolTip(removeTip);
    viewport()->setAutoFillBackground(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fitHeight();
}

void EntryList::setEntries(const std::vector<ListEntry>& entries) {
    model_.clear();
    hoveredRow_ = -1;
    for (const auto& entry : entries) {
        auto* item = new QStandardItem(qs(entry.title));
        item->setData(qs(entry.id), EntryDelegate::kIdRole);
        item->setData(qs(entry.detail), EntryDelegate::kDetailRole);
        model_.appendRow(item);
    }
    fitHeight();
}

std::string EntryList::idAt(int row) const {
    return model_.index(row, 0).data(EntryDelegate::kIdRole).toString().toStdString();
}

QString EntryList::titleAt(int row) const {
    return model_.index(row, 0).data(Qt::DisplayRole).toString();
}

QRect EntryList::removeRect(int row) const {
    return EntryDelegate::removeRect(visualRect(model_.index(row, 0)));
}

void EntryList::setVisibleRows(int rows) {
    visibleRows_ = rows;
    fitHeight();
}

void EntryList::fitHeight() {
    const int rowHeight =
        kind_ == Kind::app ? EntryDelegate::kAppRowHeight : EntryDelegate::kWordRowHeight;
    const int rows = std::min(model_.rowCount(), visibleRows_);
    setFixedHeight(rows * rowHeight + 2);
    setVisible(model_.rowCount() > 0);
}

void EntryList::mouseReleaseEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && event->button() == Qt::LeftButton &&
        removeRect(index.row()).contains(event->position().toPoint()) && onRemove) {
        const std::string id = idAt(index.row());
        onRemove(id);  // may rebuild the list: nothing of it is used after this
        return;
    }
    QListView::mouseReleaseEvent(event);
}

void EntryList::paintEvent(QPaintEvent* event) {
    if (resolve) {
        const int first = std::max(0, indexAt(QPoint(4, 1)).row());
        int last = indexAt(QPoint(4, viewport()->height() - 2)).row();
        last = last < 0 ? model_.rowCount() - 1 : last;
        const QSignalBlocker blocker(&model_);
        for (int row = first; row <= last; ++row) {
            QStandardItem* item = model_.item(row);
            if (item != nullptr && !item->data(kResolvedRole).toBool()) {
                const ListEntry entry = resolve(idAt(row));
                item->setText(qs(entry.title));
                item->setData(qs(entry.detail), EntryDelegate::kDetailRole);
                item->setData(true, kResolvedRole);
            }
        }
    }
    QListView::paintEvent(event);
}

void EntryList::setHovered(int row) {
    if (row == hoveredRow_) {
        return;
    }
    if (hoveredRow_ >= 0 && hoveredRow_ < model_.rowCount()) {
        model_.setData(model_.index(hoveredRow_, 0), false, EntryDelegate::kHoverRole);
    }
    hoveredRow_ = row;
    if (row >= 0) {
        model_.setData(model_.index(row, 0), true, EntryDelegate::kHoverRole);
    }
}

void EntryList::mouseMoveEvent(QMouseEvent* event) {
    setHovered(indexAt(event->position().toPoint()).row());
    QListView::mouseMoveEvent(event);
}

void EntryList::leaveEvent(QEvent* event) {
    setHovered(-1);
    QListView::leaveEvent(event);
}

}  // namespace quorix::ui::prefs
