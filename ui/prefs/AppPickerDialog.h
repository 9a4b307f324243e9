#pragma once
// Picks installed applications (several at once), searchable by name and
// desktop id, or a program without a desktop entry by its window class.
// Stands in for the open panel on application bundles.

#include <QDialog>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <vector>

#include "ui/prefs/InstalledApp.h"
#include "ui/prefs/PreferencesServices.h"

namespace quorix::ui::prefs {

class AppPickerDialog : public QDialog {
  public:
    AppPickerDialog(PickerPurpose purpose, const AppConfig& config,
                    const std::vector<InstalledApp>& apps, QWidget* parent = nullptr);

    void setFilter(const QString& text);
    int visibleCount() const;
    // The desktop id shown in row `row` of the filtered list.
    std::string visibleId(int row) const;
    void selectVisible(int row);
    QLineEdit* windowClassField() const { return windowClass_; }
    // What confirming now would return: the selected applications in list
    // order, then the window class when one is typed.
    std::vector<PickedApp> chosen() const;

    // Shows the dialog modally; the choice, empty when cancelled.
    static std::vector<PickedApp> run(PickerPurpose purpose, const AppConfig& config,
                                      const std::vector<InstalledApp>& apps, QWidget* parent);

  private:
    void updateConfirm();

    QStandardItemModel model_;
    QSortFilterProxyModel filter_;
    QLineEdit* search_;
    QListView* list_;
    QLineEdit* windowClass_;
    QPushButton* confirm_;
};

}  // namespace quorix::ui::prefs
