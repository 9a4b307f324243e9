#pragma once
// Pieces several preferences pages share: card headers, the picker call,
// application rows from the store.

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <string>
#include <vector>

#include "ui/prefs/EntryList.h"
#include "ui/prefs/PreferencesServices.h"

namespace quorix::ui::prefs {

// A symbol in colour followed by a bold title; extra widgets go at the end.
QHBoxLayout* cardHeader(const char* symbol, const QColor& tint, const QString& title,
                        QLabel** titleLabel = nullptr);
// A small bordered push button with a symbol and text.
QPushButton* smallButton(const QString& text, const char* symbol = nullptr);
// A widget showing one symbol.
QWidget* symbolView(const char* symbol, const QColor& tint, int side);
// Runs the services' picker (the modal dialog by default).
std::vector<PickedApp> pickApps(PreferencesServices& s, PickerPurpose purpose, QWidget* parent);
// List rows for application entries; title and detail are looked up when shown.
std::vector<ListEntry> appEntries(const std::vector<std::string>& ids);
ListEntry appEntry(const AppConfig& config, const std::string& id);

}  // namespace quorix::ui::prefs
