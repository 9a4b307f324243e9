#pragma once
// The observable fields of AppConfig. Observers of a field are told before every
// change of it, on the writing thread.

namespace quorix {

enum class ConfigField {
    isEnabled,
    soundEnabled,
    correctAccents,
    autoFixPunctuation,
    globalHotkeyEnabled,
    toneStyle,
    iconStyle,
    mode,
    appLanguage,
    whitelistWords,
    customBlacklistedApps,
    executiveWorkApps,
    totalTyposCorrected,
    appTypoCounts,
    lastCorrectedOriginalWord,
    lastOriginalFullText,
    lastCorrectedFullText,
    lastCorrectionDate,
};

inline constexpr int kConfigFieldCount = static_cast<int>(ConfigField::lastCorrectionDate) + 1;

}  // namespace quorix
