#pragma once
// ICU regular expressions matched over the UTF-16 units of a text. Ranges are
// UTF-16 offsets. A compiled Regex is immutable and safe to share across threads.
//
// Every operation is bounded in time, in proportion to the text's length: a
// pattern that backtracks far beyond linear work gives up and answers as if
// nothing matched (no matches, false, the text unchanged by replaceAll).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorix::text {

// A UTF-16 range; location == kNotFound marks an unmatched capture group.
struct Range {
    static constexpr int32_t kNotFound = -1;
    int32_t location = kNotFound;
    int32_t length = 0;
    int32_t end() const { return location + length; }
    bool found() const { return location != kNotFound; }
    bool operator==(const Range&) const = default;
};

struct RegexMatch {
    std::vector<Range> groups;  // groups[0] is the whole match
    Range range() const { return groups.empty() ? Range{} : groups[0]; }
};

class Regex {
  public:
    enum Option : uint32_t {
        kNone = 0,
        kCaseInsensitive = 1u << 0,
        kMultiline = 1u << 1,  // ^ and $ at line boundaries
        kDotAll = 1u << 2,     // . matches line terminators
    };

    // Compiles an ICU pattern; nullopt when the pattern is invalid.
    static std::optional<Regex> make(std::string_view pattern, uint32_t options = kNone);
    // Compiles a pattern known to be valid; aborts on a programming error.
    static Regex compile(std::string_view pattern, uint32_t options = kNone);

    // All non-overlapping matches, in text order.
    std::vector<RegexMatch> findAll(std::u16string_view text) const;
    std::vector<RegexMatch> findAll(std::string_view utf8) const;
    std::optional<RegexMatch> firstMatch(std::u16string_view text) const;
    // The first match starting at or after UTF-16 offset `from`; look-behind
    // and \b still see the text before `from`.
    std::optional<RegexMatch> firstMatch(std::u16string_view text, int32_t from) const;
    bool search(std::string_view utf8) const;        // any match anywhere
    bool matchesWhole(std::string_view utf8) const;  // the whole text matches

    // Replaces every match with a template in ICU/NSRegularExpression syntax
    // ("$1", "\\$" for a literal dollar).
    std::u16string replaceAll(std::u16string_view text, std::u16string_view templ) const;
    std::string replaceAll(std::string_view utf8, std::string_view templ) const;

    Regex(const Regex&);
    Regex& operator=(const Regex&);
    Regex(Regex&&) noexcept;
    Regex& operator=(Regex&&) noexcept;
    ~Regex();

  private:
    struct Impl;
    explicit Regex(std::shared_ptr<const Impl> impl);
    std::shared_ptr<const Impl> impl_;
};

// Returns s with the UTF-16 range r replaced by `with`; r must lie inside s.
std::u16string replaceRange(std::u16string_view s, Range r, std::u16string_view with);

}  // namespace quorix::text
