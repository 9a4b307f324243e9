#pragma once
// Icons of applications by display name, cached for the life of the manager
// (entries are never removed, so an application installed later shows up
// after a restart). Lookup: the desktop entries of the applications known to
// stand behind the name, then an installed application whose name or id
// matches, then a theme icon named after the key; otherwise the generic
// application icon (drawn here, since a theme may have none).
//
// Thread: the Qt main thread.

#include <QIcon>
#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ui/prefs/InstalledApp.h"

namespace quorix::ui::prefs {

class AppIconManager {
  public:
    using AppSource = std::function<std::vector<InstalledApp>()>;
    explicit AppIconManager(AppSource installed);

    // Never null; the generic icon when nothing is found.
    QIcon icon(const std::string& name);
    bool isGeneric(const std::string& name);
    std::size_t cacheSize() const { return cache_.size(); }
    // How many times the installed applications were listed (once at most).
    int scans() const { return scans_; }

    // The icon of an installed application's Icon= value (theme name or
    // absolute path); null when the theme has none.
    static QIcon themeIcon(const std::string& iconValue);
    static QIcon genericIcon();

  private:
    struct Entry {
        QIcon icon;
        bool generic = false;
    };
    const Entry& lookup(const std::string& name);
    const std::vector<InstalledApp>& installed();

    AppSource source_;
    std::optional<std::vector<InstalledApp>> apps_;
    std::map<std::string, Entry> cache_;
    int scans_ = 0;
};

}  // namespace quorix::ui::prefs
