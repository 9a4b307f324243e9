#pragma once
// Which key combination sends a corrected message.

#include <string>
#include <string_view>

#include "core/config/RawValue.h"

namespace quorix {

enum class CorrectionMode { autoSend, ctrlEnter };

inline std::string_view rawValue(CorrectionMode m) {
    switch (m) {
        case CorrectionMode::ctrlEnter:
            return "ctrlEnter";
        case CorrectionMode::autoSend:
            break;
    }
    return "autoSend";
}

inline std::string displayName(CorrectionMode m) {
    switch (m) {
        case CorrectionMode::ctrlEnter:
            return "Scorciatoia: Ctrl + Invio";
        case CorrectionMode::autoSend:
            break;
    }
    return "Invio istantaneo corretto (Consigliata)";
}

template <>
inline std::vector<CorrectionMode> allCases<CorrectionMode>() {
    return {CorrectionMode::autoSend, CorrectionMode::ctrlEnter};
}

template <>
inline std::optional<CorrectionMode> fromRawValue<CorrectionMode>(std::string_view raw) {
    return detail::findRawValue<CorrectionMode>(raw);
}

}  // namespace quorix
