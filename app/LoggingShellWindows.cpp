#include "app/LoggingShellWindows.h"

#include <string>

namespace quorix::app {

void LoggingShellWindows::togglePopover(const QRect& anchor) {
    logger_.log("🪟 [Shell] Pannello richiesto (" + std::to_string(anchor.x()) + "," +
                std::to_string(anchor.y()) + "): non ancora disponibile.");
}

void LoggingShellWindows::showPreferences(ui::PrefsTab tab) {
    logger_.log("🪟 [Shell] Preferenze richieste, scheda " + std::string(ui::rawValue(tab)) +
                ": non ancora disponibili.");
}

void LoggingShellWindows::showOnboarding() {
    logger_.log("🪟 [Shell] Guida introduttiva richiesta: non ancora disponibile.");
}

}  // namespace quorix::app
