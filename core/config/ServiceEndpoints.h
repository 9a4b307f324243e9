#pragma once
// Production base locations of every outside service, in one place.

#include <string_view>

namespace quorix {

// There is no built-in cloud endpoint: the cloud correction step and the
// dictionary sync run only against an endpoint the user configured. Earlier
// versions stored this local default in every config.json; it counts as unset.
inline constexpr std::string_view kRetiredCloudCorrectURL = "http://127.0.0.1:8787/v1/correct";
inline constexpr std::string_view kCloudDictionaryPath = "/v1/dictionary/it";
inline constexpr std::string_view kGeminiBase = "https://generativelanguage.googleapis.com";
inline constexpr std::string_view kGroqBase = "https://api.groq.com";
inline constexpr std::string_view kDeepSeekBase = "https://api.deepseek.com";
inline constexpr std::string_view kOllamaBase = "http://localhost:11434";

}  // namespace quorix
