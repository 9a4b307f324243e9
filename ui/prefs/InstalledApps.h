#pragma once
// Installed applications from their XDG desktop entries: every
// "<data dir>/applications/**/*.desktop" of $XDG_DATA_HOME (default
// ~/.local/share) and $XDG_DATA_DIRS (default /usr/local/share:/usr/share).
// The desktop file id is the path below "applications" with '/' turned into
// '-' and ".desktop" dropped; the first data dir holding an id wins. Entries
// that are not applications, are hidden (Hidden=true, NoDisplay=true) or have
// no Name are left out. Sorted by name, case-insensitively.

#include <string>
#include <vector>

#include "ui/prefs/InstalledApp.h"

namespace quorix::ui::prefs {

class InstalledApps {
  public:
    // The data dirs of the environment, most important first.
    static std::vector<std::string> dataDirs();
    // language: "it", "en"... picks Name[language] when the entry has it.
    static std::vector<InstalledApp> scan(const std::vector<std::string>& dataDirs,
                                          const std::string& language);
    // One entry's content; nullopt-like empty id when it is not listed.
    static InstalledApp parse(const std::string& content, const std::string& id,
                              const std::string& path, const std::string& language);
};

}  // namespace quorix::ui::prefs
