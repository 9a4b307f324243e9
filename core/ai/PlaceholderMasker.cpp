#include "core/ai/PlaceholderMasker.h"

#include <algorithm>
#include <optional>
#include <set>
#include <utility>

#include "core/ai/TagScanner.h"
#include "core/config/AppLogger.h"
#include "core/text/Regex.h"
#include "core/text/Text.h"

namespace quorix {

namespace {

// "https?://" or "www." followed by anything up to white space, angle
// brackets, straight quotes, U+2019 or the grave accent; case-insensitive.
constexpr std::string_view kUrlPattern =
    "https?://[^\\s<>\"'\\u2019\\u0060]+|www\\.[^\\s<>\"'\\u2019\\u0060]+";

constexpr std::u16string_view kZeroWidthSpace = u"\u200B";

const std::optional<text::Regex>& urlRegex() {
    static const std::optional<text::Regex> re =
        text::Regex::make(kUrlPattern, text::Regex::kCaseInsensitive);
    return re;
}

std::u16string removeZeroWidthSpaces(std::u16string_view s) {
    std::u16string out;
    out.reserve(s.size());
    for (char16_t c : s) {
        if (c != kZeroWidthSpace[0]) {
            out.push_back(c);
        }
    }
    return out;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The numbers of one kind's placeholders. Counted from 0 unless the text
// already holds that kind's prefix ("QUORIX_URL_" without the leading
// underscores, which a neighbouring placeholder could supply): then every
// number has more digits than any digit run after such a prefix in the text,
// so that no placeholder can be found where the user typed something.
class Numbering {
  public:
    Numbering(std::string_view text, std::string_view prefix) {
        const std::string_view bare = prefix.substr(2);
        std::size_t longestRun = 0;
        bool prefixSeen = false;
        for (std::size_t at = text.find(bare); at != std::string_view::npos;
             at = text.find(bare, at + 1)) {
            prefixSeen = true;
            std::size_t end = at + bare.size();
            while (end < text.size() && isDigit(text[end])) {
                ++end;
            }
            longestRun = std::max(longestRun, end - at - bare.size());
        }
        if (prefixSeen) {
            lead_.assign(longestRun + 1, '0');
            lead_.front() = '1';
        }
    }

    // Numbers stay distinct and never shorter than the lead.
    std::string operator()(std::size_t i) const {
        if (lead_.empty()) {
            return std::to_string(i);
        }
        if (lead_.size() <= 18) {
            return std::to_string(std::stoull(lead_) + i);
        }
        return lead_ + std::to_string(i);
    }

  private:
    std::string lead_;
};

// Replaces every range (in text order, not overlapping) by prefix + n + "__".
// The numbering reads the text without its zero-width spaces: tag masking
// drops them, and a prefix typed with one inside ("QUORIX_U\u200BRL_0")
// must not become one of the placeholders.
MaskResult mask(std::u16string_view working, const std::vector<text::Range>& ranges,
                std::string_view prefix) {
    MaskResult result;
    const std::string utf8 = text::fromUtf16(working);
    if (ranges.empty()) {
        result.maskedText = utf8;
        return result;
    }
    const Numbering number(text::fromUtf16(removeZeroWidthSpaces(working)), prefix);
    std::u16string masked;
    masked.reserve(working.size());
    std::size_t cursor = 0;
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        const auto begin = static_cast<std::size_t>(ranges[i].location);
        const auto length = static_cast<std::size_t>(ranges[i].length);
        std::string placeholder = std::string(prefix) + number(i) + "__";
        masked.append(working.substr(cursor, begin - cursor));
        masked.append(text::toUtf16(placeholder));
        result.map.emplace(std::move(placeholder), text::fromUtf16(working.substr(begin, length)));
        cursor = begin + length;
    }
    masked.append(working.substr(cursor));
    result.maskedText = text::fromUtf16(masked);
    return result;
}

std::vector<text::Range> rangesOf(const std::vector<text::RegexMatch>& matches) {
    std::vector<text::Range> ranges;
    ranges.reserve(matches.size());
    for (const auto& match : matches) {
        ranges.push_back(match.range());
    }
    return ranges;
}

// Puts back every placeholder of the map in one pass (the spans put back are
// not searched again) and collects the placeholders that were found.
std::string restore(std::string_view text, const PlaceholderMap& map, std::string_view prefix,
                    std::set<std::string>& found) {
    std::string out;
    out.reserve(text.size());
    std::size_t cursor = 0;
    for (std::size_t at = text.find(prefix); at != std::string_view::npos;
         at = text.find(prefix, at + 1)) {
        if (at < cursor) {
            continue;
        }
        std::size_t end = at + prefix.size();
        while (end < text.size() && isDigit(text[end])) {
            ++end;
        }
        if (end == at + prefix.size() || text.substr(end, 2) != "__") {
            continue;
        }
        std::string placeholder(text.substr(at, end + 2 - at));
        const auto it = map.find(placeholder);
        if (it == map.end()) {
            continue;
        }
        out.append(text.substr(cursor, at - cursor));
        out.append(it->second);
        found.insert(std::move(placeholder));
        cursor = end + 2;
    }
    out.append(text.substr(cursor));
    return out;
}

void logRepair(AppLogger* logger, const std::string& line) {
    if (logger != nullptr) {
        logger->log(line);
    }
}

}  // namespace

MaskResult PlaceholderMasker::maskURLs(std::string_view text) {
    if (!urlRegex()) {
        return MaskResult{std::string(text), {}};
    }
    const std::u16string units = text::toUtf16(text);
    return mask(units, rangesOf(urlRegex()->findAll(std::u16string_view(units))), kUrlPrefix);
}

MaskResult PlaceholderMasker::maskTags(std::string_view text) {
    const std::u16string units = removeZeroWidthSpaces(text::toUtf16(text));
    return mask(units, TagScanner::findAll(units), kTagPrefix);
}

std::string PlaceholderMasker::unmaskURLs(std::string_view text, const PlaceholderMap& urlMap,
                                          AppLogger* logger) {
    std::set<std::string> found;
    std::string out = restore(text, urlMap, kUrlPrefix, found);
    for (const auto& [placeholder, span] : urlMap) {
        if (!found.contains(placeholder)) {
            logRepair(logger, "⚠️ [AIClient] Placeholder " + placeholder +
                                  " rimosso dall'AI. Ripristino di sicurezza dell'URL.");
            out += " " + span;
        }
    }
    return out;
}

std::string PlaceholderMasker::unmaskTags(std::string_view text, const PlaceholderMap& tagMap,
                                          AppLogger* logger) {
    std::set<std::string> found;
    std::string out = restore(text, tagMap, kTagPrefix, found);
    for (const auto& [placeholder, span] : tagMap) {
        if (!found.contains(placeholder)) {
            logRepair(logger, "⚠️ [AIClient] Segnaposto tag " + placeholder +
                                  " rimosso dall'AI. Ripristino del tag originale.");
            out = span + " " + out;
        }
    }
    return out;
}

}  // namespace quorix
