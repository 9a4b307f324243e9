#include "ui/AccessibilitySettings.h"

#include <QProcess>
#include <QStandardPaths>

namespace quorix::ui {

std::optional<AccessibilitySettings::Command> AccessibilitySettings::command(
    const QString& currentDesktop, const FindProgram& findProgram) {
    for (const QString& desktop : currentDesktop.split(u':', Qt::SkipEmptyParts)) {
        const QString name = desktop.trimmed().toUpper();
        if (name == u"GNOME" || name == u"UNITY" || name == u"GNOME-FLASHBACK") {
            const QString program = findProgram(QStringLiteral("gnome-control-center"));
            if (!program.isEmpty()) {
                return Command{program, {QStringLiteral("universal-access")}};
            }
        }
        if (name == u"KDE") {
            // Plasma 6 ships systemsettings, Plasma 5 systemsettings5.
            for (const char* candidate : {"systemsettings", "systemsettings5"}) {
                const QString program = findProgram(QString::fromLatin1(candidate));
                if (!program.isEmpty()) {
                    return Command{program, {QStringLiteral("kcm_access")}};
                }
            }
        }
    }
    return std::nullopt;
}

bool AccessibilitySettings::open() {
    const auto found = command(qEnvironmentVariable("XDG_CURRENT_DESKTOP"),
                               [](const QString& p) { return QStandardPaths::findExecutable(p); });
    return found && QProcess::startDetached(found->program, found->arguments);
}

}  // namespace quorix::ui
