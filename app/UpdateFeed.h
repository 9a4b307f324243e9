#pragma once
// The update feed: a small JSON document published at the build's feed URL,
//   {"version": "1.2.0", "url": "https://example.org/quorix/1.2.0"}
// naming the newest release and the page it is downloaded from. The program
// only tells the user; it never downloads or runs anything itself.
// Pure logic, total on any input.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorix::app {

struct UpdateFeedEntry {
    std::string version;
    std::string url;
};

struct UpdateFeedResult {
    std::optional<UpdateFeedEntry> entry;
    std::string error;  // why the feed was refused; empty when entry is set
};

inline constexpr std::size_t kMaxFeedBytes = 64 * 1024;

// A version is 1 to 4 dot-separated decimal numbers of at most 9 digits each.
std::optional<std::vector<unsigned long>> parseVersion(std::string_view version);
// <0, 0, >0 as a is older than, equal to, newer than b (missing parts count as
// 0: "1.2" equals "1.2.0"); nullopt when either is not a version.
std::optional<int> compareVersions(std::string_view a, std::string_view b);
// Refuses bodies over kMaxFeedBytes, malformed JSON, a non-object, a missing or
// non-string member, an invalid version, a link that is not https:// or holds
// white space, control characters or credentials.
UpdateFeedResult parseUpdateFeed(std::string_view body);

}  // namespace quorix::app
