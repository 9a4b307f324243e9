#pragma once
// The Exceptions page: applications the user excluded (picker, remove) and
// the personal dictionary (add, search, remove). Adding or removing a word
// empties the correction cache, so no cached correction of it is reused.

#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "ui/prefs/PreferencesServices.h"

namespace quorix::ui::prefs {

class AppIconManager;
class EntryList;

class ExceptionsPage : public QWidget {
  public:
    ExceptionsPage(PreferencesServices& services, AppIconManager& icons, QWidget* parent = nullptr);
    void syncApps();
    void syncWords();
    void addWord();
    void excludeApps();
    QLineEdit* newWordField() const { return newWord_; }
    QLineEdit* searchField() const { return search_; }
    EntryList* words() const { return words_; }
    EntryList* apps() const { return apps_; }

  private:
    PreferencesServices& s_;
    EntryList* apps_;
    QWidget* noApps_;
    QLabel* appsTitle_ = nullptr;
    QLineEdit* newWord_;
    QLineEdit* search_;
    QLabel* wordCount_;
    EntryList* words_;
    QLabel* noWords_;
};

}  // namespace quorix::ui::prefs
