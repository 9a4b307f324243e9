#pragma once
// Launch at login as an XDG autostart entry: <configHome>/autostart/quorix.desktop.
// setEnabled(true) writes the entry atomically (0600) unless one is already
// enabled; setEnabled(false) removes it. isEnabled() reads the file every time:
// enabled when it holds a [Desktop Entry] group with an Exec= line and is
// neither Hidden=true nor X-GNOME-Autostart-enabled=false.
// Logs "🚀 [LaunchAtLogin] Stato aggiornato: true|false" or
// "⚠️ [LaunchAtLogin] Errore: <why>".

#include <string>

#include "core/config/AppLogger.h"
#include "platform/FileSystem.h"

namespace quorix::app {

class LaunchAtLoginHelper {
  public:
    // configHome: $XDG_CONFIG_HOME, else $HOME/.config. exec: the command line
    // the session runs at login. The entry is read and written through fs.
    LaunchAtLoginHelper(std::string configHome, std::string exec, platform::FileSystem& fs,
                        AppLogger& logger);
    // $XDG_CONFIG_HOME when set and absolute, else home + "/.config".
    static std::string defaultConfigHome(const std::string& home);

    bool isEnabled() const;
    void setEnabled(bool enabled);
    const std::string& entryPath() const { return path_; }
    // The entry the helper writes.
    std::string entryContent() const;
    // Whether `content` is an enabled autostart entry.
    static bool isEnabledEntry(const std::string& content);

  private:
    std::string folder_;
    std::string path_;
    std::string exec_;
    platform::FileSystem& fs_;
    AppLogger& logger_;
};

}  // namespace quorix::app
