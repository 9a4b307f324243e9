#pragma once
// The fields of AppConfig as one value, with their defaults. AppConfig guards one
// instance of it; toJSON() and the getters read copies of its members.

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/config/AIProvider.h"
#include "core/config/AppLanguage.h"
#include "core/config/CorrectionMode.h"
#include "core/config/IconStyle.h"
#include "core/config/ServiceEndpoints.h"
#include "core/config/ToneStyle.h"
#include "core/dispatch/Clock.h"

namespace quorix {

// "No correction yet": 1900-01-01T00:00:00Z, far before any real correction and
// well inside the range of the wall clock's representation.
inline constexpr dispatch::WallTime kDistantPast{std::chrono::seconds(-2208988800LL)};

struct ConfigState {
    std::string apiKey;
    std::string deepseekApiKey;
    std::string groqApiKey;
    std::string cloudProxyURL;  // none: no cloud step, no dictionary sync
    AIProvider provider = AIProvider::gemini;
    bool isEnabled = true;
    bool soundEnabled = true;
    bool correctAccents = false;
    bool autoFixPunctuation = false;
    bool globalHotkeyEnabled = true;
    std::string soundName = "Pop";
    IconStyle iconStyle = IconStyle::quorix;
    ToneStyle toneStyle = ToneStyle::natural;
    CorrectionMode mode = CorrectionMode::autoSend;
    AppLanguage appLanguage = AppLanguage::system;
    bool interceptAllApps = true;
    std::string modelName = "gemini-3-flash-preview";
    std::set<std::string> whitelistWords;
    std::vector<std::string> customBlacklistedApps;
    std::vector<std::string> executiveWorkApps{"slack", "teams", "mail", "outlook", "linear"};
    int64_t totalTyposCorrected = 0;
    std::map<std::string, int64_t> appTypoCounts;
    std::optional<std::string> lastCorrectedOriginalWord;
    std::optional<std::string> lastOriginalFullText;
    std::optional<std::string> lastCorrectedFullText;
    dispatch::WallTime lastCorrectionDate = kDistantPast;
    std::vector<std::string> targetApps{"whatsapp",  "slack",    "telegram", "teams",
                                        "mobilesms", "messages", "discord",  "textedit",
                                        "notes",     "chrome",   "safari",   "arc"};
    // Developer tools that are never covered; constant.
    std::vector<std::string> blacklistedApps{"terminal", "iterm", "antigravity",
                                             "vscode",   "xcode", "warp"};
};

// The personal dictionary written when whitelist.txt does not exist.
inline const std::vector<std::string>& defaultWhitelistWords() {
    static const std::vector<std::string> words{"brevix", "raycast", "linear", "supabase", "nextjs",
                                                "figma",  "github",  "groq",   "chatgpt"};
    return words;
}

// Prefixes of retired built-in keys; stored keys beginning with them are cleared
// at load.
inline constexpr std::string_view kRetiredGeminiKeyPrefix = "AIzaSyQx0R";   // 10 characters
inline constexpr std::string_view kRetiredDeepSeekKeyPrefix = "sk-qrx0ld";  // 9 characters
inline constexpr std::string_view kRetiredGroqKeyPrefix = "gsk_qrx0";       // 8 characters
static_assert(kRetiredGeminiKeyPrefix.size() == 10);
static_assert(kRetiredDeepSeekKeyPrefix.size() == 9);
static_assert(kRetiredGroqKeyPrefix.size() == 8);

}  // namespace quorix
