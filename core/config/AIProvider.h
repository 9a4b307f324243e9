#pragma once
// The AI provider chosen by the user.

#include <string>
#include <string_view>

#include "core/config/RawValue.h"

namespace quorix {

enum class AIProvider { gemini, deepseek, groq, ollama };

inline std::string_view rawValue(AIProvider p) {
    switch (p) {
        case AIProvider::deepseek:
            return "deepseek";
        case AIProvider::groq:
            return "groq";
        case AIProvider::ollama:
            return "ollama";
        case AIProvider::gemini:
            break;
    }
    return "gemini";
}

inline std::string displayName(AIProvider p) {
    switch (p) {
        case AIProvider::deepseek:
            return "DeepSeek (deepseek-chat)";
        case AIProvider::groq:
            return "Groq (Qwen 3.8 / 20b)";
        case AIProvider::ollama:
            return "Ollama Locale (Offline su Mac)";
        case AIProvider::gemini:
            break;
    }
    return "Google Gemini (gemini-3.5-flash-lite - Ultra Rapido & Economico)";
}

template <>
inline std::vector<AIProvider> allCases<AIProvider>() {
    return {AIProvider::gemini, AIProvider::deepseek, AIProvider::groq, AIProvider::ollama};
}

template <>
inline std::optional<AIProvider> fromRawValue<AIProvider>(std::string_view raw) {
    return detail::findRawValue<AIProvider>(raw);
}

}  // namespace quorix
