#include "app/LaunchAtLoginHelper.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "core/config/StoredFile.h"

namespace quorix::app {
namespace {

std::string trimmed(std::string s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

}  // namespace

LaunchAtLoginHelper::LaunchAtLoginHelper(std::string configHome, std::string exec,
                                         platform::FileSystem& fs, AppLogger& logger)
    : folder_(platform::joinPath(configHome, "autostart")),
      path_(platform::joinPath(folder_, "quorix.desktop")),
      exec_(std::move(exec)),
      fs_(fs),
      logger_(logger) {}

std::string LaunchAtLoginHelper::defaultConfigHome(const std::string& home) {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    return platform::joinPath(home, ".config");
}

bool LaunchAtLoginHelper::isEnabledEntry(const std::string& content) {
    std::istringstream in(content);
    bool inEntry = false;
    bool hasExec = false;
    for (std::string line; std::getline(in, line);) {
        line = trimmed(line);
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (line[0] == '[') {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        if (!inEntry) {
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos) {
            continue;
        }
        const std::string key = trimmed(line.substr(0, eq));
        const std::string value = trimmed(line.substr(eq + 1));
        if (key == "Exec" && !value.empty()) {
            hasExec = true;
        } else if (key == "Hidden" && value == "true") {
            return false;
        } else if (key == "X-GNOME-Autostart-enabled" && value == "false") {
            return false;
        }
    }
    return hasExec;
}

bool LaunchAtLoginHelper::isEnabled() const {
    const platform::FileRead content = fs_.read(path_);
    return content.ok() && isEnabledEntry(content.data);
}

std::string LaunchAtLoginHelper::entryContent() const {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Quorix\n"
           "Comment=Corrects typos as you send a message\n"
           "Exec=" +
           exec_ +
           "\n"
           "Icon=quorix\n"
           "Terminal=false\n"
           "NoDisplay=true\n"
           "X-GNOME-Autostart-enabled=true\n";
}

void LaunchAtLoginHelper::setEnabled(bool enabled) {
    const bool current = isEnabled();
    if (enabled && !current) {
        // The autostart folder is shared with other programs: created when
        // missing, its mode left alone.
        std::error_code ec;
        std::filesystem::create_directories(folder_, ec);
        const platform::FileError error = fs_.writeAtomic(path_, entryContent());
        if (error != platform::FileError::none) {
            logger_.log(std::string("⚠️ [LaunchAtLogin] Errore: impossibile scrivere ") + path_ +
                        " (" + std::string(StoredFile::reason(error)) + ")");
            return;
        }
    } else if (!enabled && fs_.exists(path_)) {
        const platform::FileError error = fs_.remove(path_);
        if (error != platform::FileError::none) {
            logger_.log(std::string("⚠️ [LaunchAtLogin] Errore: impossibile rimuovere ") + path_ +
                        " (" + std::string(StoredFile::reason(error)) + ")");
            return;
        }
    }
    logger_.log(std::string("🚀 [LaunchAtLogin] Stato aggiornato: ") + (enabled ? "true" : "false"));
}

}  // namespace quorix::app
