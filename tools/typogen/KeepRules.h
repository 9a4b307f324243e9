#pragma once
// The token-level rules a generated typo must pass before it may enter a
// dictionary, independent of any spell checker: shape (letters only, at least
// three of them, at least one vowel, no letter three times in a row), and stop
// lists (chat abbreviations, code-like tokens and shell commands, brands, the
// Italian words written without their accent that the user's accent setting
// governs), plus the tokens seen in use in the input lists (names, frequent
// tokens).

#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace quorix::typogen {

enum class Rejection {
    Shape,          // too short, digits or other non-letters, no vowel, a letter tripled
    ChatOrCode,     // chat abbreviation, code-like token, shell command, jargon
    Brand,          // product or company name
    AccentSetting,  // Italian word written without its accent (perche, piu, ...)
    InUse,          // a name, or a token frequent enough in the input lists
};

std::string_view rejectionName(Rejection r);

class KeepRules {
  public:
    // `inUse`: lower-case tokens that people write on purpose (names, list
    // tokens); a typo equal to one of them is never kept.
    explicit KeepRules(std::unordered_set<std::string> inUse = {});

    // Why `typo` (lower case, UTF-8) must not be kept; nullopt when it may.
    // `checkInUse` false skips the in-use tokens (for a word written without
    // its accents, which the frequency lists of accent-less chats contain).
    std::optional<Rejection> reject(std::string_view typo, bool checkInUse = true) const;

    static bool isChatOrCode(std::string_view lowerWord);
    static bool isAccentlessWord(std::string_view lowerWord);
    // The chat abbreviations, code-like tokens and brands of the stop lists.
    static std::vector<std::string> listedTokens();

  private:
    std::unordered_set<std::string> inUse_;
};

}  // namespace quorix::typogen
