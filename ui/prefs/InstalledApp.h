#pragma once
// An installed application as the pickers list it, and what a picker returns.

#include <string>

namespace quorix::ui {

struct InstalledApp {
    std::string id;    // desktop file id: what the front-application detection reports
    std::string name;  // Name= (localised when the entry has it)
    std::string icon;  // Icon=: a theme name or an absolute path; empty for none
    std::string path;  // the .desktop file
};

// Either an installed application's desktop file, or a bare window class for
// programs without one.
struct PickedApp {
    std::string desktopFile;
    std::string windowClass;
};

}  // namespace quorix::ui
