#include "core/ai/TagScanner.h"

#include <optional>

namespace quorix {

namespace {

// Mentions (a full name of capitalised words, else one word), channels and
// hashtags, ticket identifiers; in priority order.
constexpr std::string_view kWordTagPattern =
    "@\\s*(?:[A-Za-zÀ-ÿ0-9_.-]+(?:\\s+[A-ZÀ-ÿ][a-z0-9_.-]+)+|[A-Za-z0-9_.-]+)"
    "|#[A-Za-z0-9_.-]+"
    "|\\b[A-Z]{2,10}-[0-9]+\\b";

const std::optional<text::Regex>& wordTagRegex() {
    static const std::optional<text::Regex> re = text::Regex::make(kWordTagPattern);
    return re;
}

// "<...>" and "[...]" on one line, at least one unit between the brackets.
class BracketScanner {
  public:
    explicit BracketScanner(std::u16string_view text) : text_(text) {}

    // The first bracketed span starting at or after `from`.
    std::optional<text::Range> next(std::size_t from) {
        for (std::size_t q = from; q < text_.size(); ++q) {
            if (auto r = at(q, u'<', u'>', angleDeadUntil_)) {
                return r;
            }
            if (auto r = at(q, u'[', u']', squareDeadUntil_)) {
                return r;
            }
        }
        return std::nullopt;
    }

  private:
    // A span opened at q. An opener whose line holds no closer makes every
    // later opener of that kind up to the line's end fail as well: they are
    // skipped without scanning again, which keeps the whole search linear.
    std::optional<text::Range> at(std::size_t q, char16_t open, char16_t close,
                                  std::size_t& deadUntil) const {
        if (text_[q] != open || q < deadUntil) {
            return std::nullopt;
        }
        std::size_t e = q + 1;
        while (e < text_.size() && text_[e] != close && text_[e] != u'\n') {
            ++e;
        }
        if (e == text_.size() || text_[e] == u'\n') {
            deadUntil = e;
            return std::nullopt;
        }
        if (e == q + 1) {
            return std::nullopt;  // "<>" or "[]"
        }
        return text::Range{static_cast<int32_t>(q), static_cast<int32_t>(e + 1 - q)};
    }

    std::u16string_view text_;
    std::size_t angleDeadUntil_ = 0;
    std::size_t squareDeadUntil_ = 0;
};

}  // namespace

std::vector<text::Range> TagScanner::findAll(std::u16string_view text) {
    std::vector<text::Range> out;
    if (!wordTagRegex() || text.size() > static_cast<std::size_t>(INT32_MAX)) {
        return out;
    }
    const text::Regex& words = *wordTagRegex();
    BracketScanner brackets(text);

    // The next match of each kind at or after the cursor. A bracketed span and
    // a word tag never start at the same unit (they begin with different
    // characters) and a word tag never holds a bracket, so the earlier of the
    // two is the next tag; the other stays valid unless the chosen one covers
    // its start.
    std::size_t cursor = 0;
    std::optional<text::Range> bracket = brackets.next(0);
    std::optional<text::Range> word;
    if (auto m = words.firstMatch(text, 0)) {
        word = m->range();
    }
    while (bracket || word) {
        const bool takeBracket = bracket && (!word || bracket->location < word->location);
        const text::Range taken = takeBracket ? *bracket : *word;
        out.push_back(taken);
        // An empty match cannot happen (every form has a fixed first unit).
        cursor = static_cast<std::size_t>(taken.end());
        if (bracket && static_cast<std::size_t>(bracket->location) < cursor) {
            bracket = brackets.next(cursor);
        }
        if (word && static_cast<std::size_t>(word->location) < cursor) {
            word.reset();
            if (auto m = words.firstMatch(text, static_cast<int32_t>(cursor))) {
                word = m->range();
            }
        }
    }
    return out;
}

}  // namespace quorix
