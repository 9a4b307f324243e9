#pragma once
// Interface language. `system` follows the first preferred language of the
// operating system: Italian when it is Italian, English otherwise.

#include <string>
#include <string_view>

#include "core/config/RawValue.h"

namespace quorix {

enum class AppLanguage { system, it, en };

inline std::string_view rawValue(AppLanguage l) {
    switch (l) {
        case AppLanguage::it:
            return "it";
        case AppLanguage::en:
            return "en";
        case AppLanguage::system:
            break;
    }
    return "system";
}

// systemIsItalian: whether the system's preferred language resolves to Italian
// (AppConfig::systemLanguageIsItalian()).
inline std::string displayName(AppLanguage l, bool systemIsItalian) {
    switch (l) {
        case AppLanguage::it:
            return "Italiano";
        case AppLanguage::en:
            return "English";
        case AppLanguage::system:
            break;
    }
    return systemIsItalian ? "Default di Sistema (Italiano)" : "System Default (English)";
}

template <>
inline std::vector<AppLanguage> allCases<AppLanguage>() {
    return {AppLanguage::system, AppLanguage::it, AppLanguage::en};
}

template <>
inline std::optional<AppLanguage> fromRawValue<AppLanguage>(std::string_view raw) {
    return detail::findRawValue<AppLanguage>(raw);
}

}  // namespace quorix
