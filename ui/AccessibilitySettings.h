#pragma once
// The desktop's own accessibility settings page, where one is known: GNOME's
// Settings (gnome-control-center universal-access) and KDE Plasma's System
// Settings (the kcm_access module). Other desktops have none; callers then
// only explain.

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace quorix::ui {

class AccessibilitySettings {
  public:
    struct Command {
        QString program;
        QStringList arguments;
        bool operator==(const Command&) const = default;
    };
    // Answers the full path of an installed program, or empty.
    using FindProgram = std::function<QString(const QString&)>;

    // The command for the desktop named by XDG_CURRENT_DESKTOP (a
    // colon-separated list, e.g. "ubuntu:GNOME"), or nullopt when the
    // desktop is unknown or its settings program is not installed.
    static std::optional<Command> command(const QString& currentDesktop,
                                          const FindProgram& findProgram);
    // Starts the page for this session's desktop, detached; false when there
    // is none or it could not be started.
    static bool open();
};

}  // namespace quorix::ui
