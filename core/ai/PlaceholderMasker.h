#pragma once
// Replaces links and tags (markup, bracketed text, mentions, channels, ticket
// identifiers) by numbered placeholders before a text goes to a language
// model, and puts them back afterwards.
//
// Placeholders are "__QUORIX_URL_<n>__" and "__QUORIX_TAG_<n>__", n counted
// from 0 in text order, separately for each kind. When the text itself holds
// something placeholder-like of a kind, that kind's numbers start at a power
// of ten with more digits than any number written there, so that what the
// user typed never collides with a placeholder and comes back unchanged.
// Masking and unmasking take linear time. A placeholder the model
// dropped is restored anyway (links appended after a space, tags prefixed
// before a space) and reported in the log; a placeholder it repeated is
// restored at every place. Stateless; callable from any thread.

#include <map>
#include <string>
#include <string_view>

namespace quorix {

class AppLogger;

// Placeholder text -> exact span it replaced.
using PlaceholderMap = std::map<std::string, std::string>;

struct MaskResult {
    std::string maskedText;
    PlaceholderMap map;
};

class PlaceholderMasker {
  public:
    static constexpr std::string_view kUrlPrefix = "__QUORIX_URL_";
    static constexpr std::string_view kTagPrefix = "__QUORIX_TAG_";

    static MaskResult maskURLs(std::string_view text);
    // Also removes every U+200B ZERO WIDTH SPACE, tags or not.
    static MaskResult maskTags(std::string_view text);

    // `logger` receives the repair lines for lost placeholders; nullptr: no line.
    static std::string unmaskURLs(std::string_view text, const PlaceholderMap& urlMap,
                                  AppLogger* logger = nullptr);
    static std::string unmaskTags(std::string_view text, const PlaceholderMap& tagMap,
                                  AppLogger* logger = nullptr);
};

}  // namespace quorix
