#pragma once
// A list of removable entries (excluded or work applications, dictionary
// words) drawn by one delegate, so thousands of entries cost no widgets.
// Application rows show the icon, name, detail and a badge; word rows a green
// shield and the word. The trailing trash mark of a row removes it.

#include <QListView>
#include <QStandardItemModel>
#include <functional>
#include <string>
#include <vector>

namespace quorix::ui::prefs {

class AppIconManager;

struct ListEntry {
    std::string id;
    std::string title;
    std::string detail;  // apps: second line; words: unused
};

class EntryList : public QListView {
  public:
    enum class Kind { app, word };
    // icons: for app rows (may be null for word rows).
    EntryList(Kind kind, AppIconManager* icons, QString badge, QString removeTip,
              QWidget* parent = nullptr);

    void setEntries(const std::vector<ListEntry>& entries);
    int count() const { return model_.rowCount(); }
    std::string idAt(int row) const;
    QString titleAt(int row) const;
    // The rectangle of a row's remove mark, in viewport coordinates.
    QRect removeRect(int row) const;
    std::function<void(const std::string& id)> onRemove;
    // Fills title and detail of the rows about to be shown (app rows), so that
    // thousands of entries are looked up only when they scroll into view.
    std::function<ListEntry(const std::string& id)> resolve;
    // Rows shown before the list scrolls.
    void setVisibleRows(int rows);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    void fitHeight();
    void setHovered(int row);

    Kind kind_;
    QStandardItemModel model_;
    int visibleRows_ = 8;
    int hoveredRow_ = -1;
};

}  // namespace quorix::ui::prefs
