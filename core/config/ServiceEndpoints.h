#pragma once
// Production base locations of every outside service, in one place.

#include <string_view>

namespace quorix {

inline constexpr std::string_view kCloudBase = "http://127.0.0.1:8787";
inline constexpr std::string_view kCloudCorrectURL = "http://127.0.0.1:8787/v1/correct";
inline constexpr std::string_view kCloudDictionaryURL = "http://127.0.0.1:8787/v1/dictionary/it";
inline constexpr std::string_view kGeminiBase = "https://generativelanguage.googleapis.com";
inline constexpr std::string_view kGroqBase = "https://api.groq.com";
inline constexpr std::string_view kDeepSeekBase = "https://api.deepseek.com";
inline constexpr std::string_view kOllamaBase = "http://localhost:11434";

static_assert(kCloudCorrectURL.starts_with(kCloudBase));
static_assert(kCloudDictionaryURL.starts_with(kCloudBase));

}  // namespace quorix
