#include "platform/linux/NoAccessibility.h"

namespace quorix::platform {

bool NoAccessibility::isProcessTrusted(bool /*prompt*/) {
    return trusted_ && trusted_();
}

AXElementRef NoAccessibility::applicationElement(int32_t /*pid*/) {
    return nullptr;
}

AXResult NoAccessibility::copyAttribute(const AXElementRef& /*element*/,
                                        const std::string& /*name*/) {
    return AXResult{AXError::apiDisabled, {}};
}

AXError NoAccessibility::setAttribute(const AXElementRef& /*element*/, const std::string& /*name*/,
                                      const std::string& /*value*/) {
    return AXError::apiDisabled;
}

std::string NoAccessibility::enableHintFor(const std::optional<std::string>& /*bundleId*/) const {
    return "Il daemon è stato avviato con --no-accessibility: avvialo senza.";
}

const char* NoAccessibility::enableHint() {
    return "ℹ️ [Accessibilità] Bus AT-SPI non disponibile: testo letto e scritto via appunti. "
           "Per attivarlo: GTK/GNOME `gsettings set org.gnome.desktop.interface "
           "toolkit-accessibility true`; Qt `QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1`; "
           "Chromium/Electron `--force-renderer-accessibility`.";
}

}  // namespace quorix::platform
