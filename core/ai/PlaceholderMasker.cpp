#include "core/ai/PlaceholderMasker.h"

#include <optional>
#include <utility>

#include "core/config/AppLogger.h"
#include "core/text/Regex.h"
#include "core/text/Text.h"

namespace quorix {

namespace {

// "https?://" or "www." followed by anything up to white space, angle
// brackets, straight quotes, U+2019 or the grave accent; case-insensitive.
constexpr std::string_view kUrlPattern =
    "https?://[^\\s<>\"'\\u2019\\u0060]+|www\\.[^\\s<>\"'\\u2019\\u0060]+";

// Alternatives in priority order: one-line markup, one-line bracketed text,
// a mention (a full name of capitalised words, else one word), a channel or
// hashtag, a ticket identifier.
constexpr std::string_view kTagPattern =
    "(<[^>\\n]+>"
    "|\\[[^\\]\\n]+\\]"
    "|@\\s*(?:[A-Za-zÀ-ÿ0-9_.-]+(?:\\s+[A-ZÀ-ÿ][a-z0-9_.-]+)+|[A-Za-z0-9_.-]+)"
    "|#[A-Za-z0-9_.-]+"
    "|\\b[A-Z]{2,10}-[0-9]+\\b)";

constexpr std::u16string_view kZeroWidthSpace = u"\u200B";

const std::optional<text::Regex>& urlRegex() {
    static const std::optional<text::Regex> re =
        text::Regex::make(kUrlPattern, text::Regex::kCaseInsensitive);
    return re;
}

const std::optional<text::Regex>& tagRegex() {
    static const std::optional<text::Regex> re = text::Regex::make(kTagPattern);
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

// Replaces every match by prefix + n + "__", walking backwards so that the
// ranges of earlier matches stay valid.
MaskResult mask(std::u16string working, const std::optional<text::Regex>& re,
                std::string_view prefix) {
    MaskResult result;
    if (!re) {
        result.maskedText = text::fromUtf16(working);
        return result;
    }
    const std::vector<text::RegexMatch> matches = re->findAll(std::u16string_view(working));
    for (std::size_t i = matches.size(); i-- > 0;) {
        const text::Range r = matches[i].range();
        std::string placeholder = std::string(prefix) + std::to_string(i) + "__";
        const std::u16string_view span(working.data() + r.location,
                                       static_cast<std::size_t>(r.length));
        result.map.emplace(placeholder, text::fromUtf16(span));
        working = text::replaceRange(working, r, text::toUtf16(placeholder));
    }
    result.maskedText = text::fromUtf16(working);
    return result;
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
    return mask(text::toUtf16(text), urlRegex(), kUrlPrefix);
}

MaskResult PlaceholderMasker::maskTags(std::string_view text) {
    return mask(removeZeroWidthSpaces(text::toUtf16(text)), tagRegex(), kTagPrefix);
}

std::string PlaceholderMasker::unmaskURLs(std::string_view text, const PlaceholderMap& urlMap,
                                          AppLogger* logger) {
    std::string out(text);
    for (const auto& [placeholder, span] : urlMap) {
        if (text::contains(out, placeholder)) {
            out = text::replaceAll(out, placeholder, span);
        } else {
            logRepair(logger, "⚠️ [AIClient] Placeholder " + placeholder +
                                  " rimosso dall'AI. Ripristino di sicurezza dell'URL.");
            out += " " + span;
        }
    }
    return out;
}

std::string PlaceholderMasker::unmaskTags(std::string_view text, const PlaceholderMap& tagMap,
                                          AppLogger* logger) {
    std::string out(text);
    for (const auto& [placeholder, span] : tagMap) {
        if (text::contains(out, placeholder)) {
            out = text::replaceAll(out, placeholder, span);
        } else {
            logRepair(logger, "⚠️ [AIClient] Segnaposto tag " + placeholder +
                                  " rimosso dall'AI. Ripristino del tag originale.");
            out = span + " " + out;
        }
    }
    return out;
}

}  // namespace quorix
