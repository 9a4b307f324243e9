#pragma once
#include <QString>

namespace quorix::screenshots {
// Writes the preferences pages in Italian and English; false when a file failed.
bool writePreferencesShots(const QString& folder);
}  // namespace quorix::screenshots
