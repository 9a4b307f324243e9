#include "core/config/L10n.h"

#include "core/config/AppConfig.h"

namespace quorix::L10n {

bool isItalian(const AppConfig& config) {
    return config.isItalian();
}

std::string t(const AppConfig& config, std::string_view it, std::string_view en) {
    return std::string(isItalian(config) ? it : en);
}

}  // namespace quorix::L10n
