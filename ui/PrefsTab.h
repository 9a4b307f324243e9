#pragma once
// The pages of the preferences window, in sidebar order. The shell opens the
// window on one of them; the window itself belongs to the preferences layer.

#include <string_view>

namespace quorix::ui {

enum class PrefsTab { stats, general, ai, tone, whitelist, updates };

inline std::string_view rawValue(PrefsTab tab) {
    switch (tab) {
        case PrefsTab::general:
            return "general";
        case PrefsTab::ai:
            return "ai";
        case PrefsTab::tone:
            return "tone";
        case PrefsTab::whitelist:
            return "whitelist";
        case PrefsTab::updates:
            return "updates";
        case PrefsTab::stats:
            break;
    }
    return "stats";
}

}  // namespace quorix::ui
