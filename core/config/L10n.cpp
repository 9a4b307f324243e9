#include "core/config/L10n.h"

#include "core/config/AppConfig.h"

namespace quorix::L10n {

bool isItalian() {
    return AppConfig::shared().isItalian();
}

std::string t(std::string_view it, std::string_view en) {
    return std::string(isItalian() ? it : en);
}

}  // namespace quorix::L10n
