// ICU regular expressions over UTF-16.

#include "core/text/Regex.h"
#include "core/text/Text.h"

#include <unicode/parseerr.h>
#include <unicode/regex.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace quorix::text {

struct Regex::Impl {
    std::unique_ptr<icu::RegexPattern> pattern;
};

namespace {

int32_t clampLength(std::size_t n) {
    return static_cast<int32_t>(std::min<std::size_t>(n, std::numeric_limits<int32_t>::max()));
}

// A read-only alias of the UTF-16 text (no copy); must outlive every matcher on it.
icu::UnicodeString alias(std::u16string_view text) {
    return icu::UnicodeString(false, icu::ConstChar16Ptr(text.data()), clampLength(text.size()));
}

uint32_t icuFlags(uint32_t options) {
    uint32_t flags = 0;
    if (options & Regex::kCaseInsensitive) {
        flags |= UREGEX_CASE_INSENSITIVE;
    }
    if (options & Regex::kMultiline) {
        flags |= UREGEX_MULTILINE;
    }
    if (options & Regex::kDotAll) {
        flags |= UREGEX_DOTALL;
    }
    return flags;
}

// ICU's time limit is counted in steps of the match engine (units of about ten
// thousand steps). Every pattern the program uses is linear, needing a few
// steps per UTF-16 unit; the limit allows forty per unit plus a fixed margin,
// so that only a backtracking blow-up reaches it.
constexpr int32_t kBaseTimeLimit = 50;
constexpr int32_t kUnitsPerTimeStep = 250;

// A matcher over `input`, bounded in time; nullptr when ICU refuses one.
std::unique_ptr<icu::RegexMatcher> boundedMatcher(const icu::RegexPattern& pattern,
                                                  const icu::UnicodeString& input) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> m(pattern.matcher(input, status));
    if (U_FAILURE(status) || !m) {
        return nullptr;
    }
    m->setTimeLimit(kBaseTimeLimit + input.length() / kUnitsPerTimeStep, status);
    return U_FAILURE(status) ? nullptr : std::move(m);
}

RegexMatch currentMatch(const icu::RegexMatcher& m) {
    UErrorCode status = U_ZERO_ERROR;
    const int32_t groups = m.groupCount();
    RegexMatch match;
    match.groups.reserve(static_cast<std::size_t>(groups) + 1);
    for (int32_t g = 0; g <= groups; ++g) {
        const int32_t start = m.start(g, status);
        const int32_t end = m.end(g, status);
        if (U_FAILURE(status) || start < 0) {
            match.groups.push_back(Range{});
            status = U_ZERO_ERROR;
        } else {
            match.groups.push_back(Range{start, end - start});
        }
    }
    return match;
}

}  // namespace

Regex::Regex(std::shared_ptr<const Impl> impl) : impl_(std::move(impl)) {}

// Moving copies the shared pointer so a moved-from Regex stays usable.
Regex::Regex(const Regex&) = default;
Regex& Regex::operator=(const Regex&) = default;
Regex::Regex(Regex&& other) noexcept : impl_(other.impl_) {}
Regex& Regex::operator=(Regex&& other) noexcept {
    impl_ = other.impl_;
    return *this;
}
Regex::~Regex() = default;

std::optional<Regex> Regex::make(std::string_view pattern, uint32_t options) {
    const std::u16string p = toUtf16(pattern);
    UParseError parseError{};
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexPattern> compiled(
        icu::RegexPattern::compile(alias(p), icuFlags(options), parseError, status));
    if (U_FAILURE(status) || !compiled) {
        return std::nullopt;
    }
    auto impl = std::make_shared<Impl>();
    impl->pattern = std::move(compiled);
    return Regex(std::move(impl));
}

Regex Regex::compile(std::string_view pattern, uint32_t options) {
    const std::u16string p = toUtf16(pattern);
    UParseError parseError{};
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexPattern> compiled(
        icu::RegexPattern::compile(alias(p), icuFlags(options), parseError, status));
    if (U_FAILURE(status) || !compiled) {
        std::fprintf(stderr, "quorix: invalid regular expression /%.*s/ (%s at offset %d)\n",
                     static_cast<int>(pattern.size()), pattern.data(), u_errorName(status),
                     parseError.offset);
        std::abort();
    }
    auto impl = std::make_shared<Impl>();
    impl->pattern = std::move(compiled);
    return Regex(std::move(impl));
}

std::vector<RegexMatch> Regex::findAll(std::u16string_view text) const {
    std::vector<RegexMatch> out;
    const icu::UnicodeString input = alias(text);
    std::unique_ptr<icu::RegexMatcher> m = boundedMatcher(*impl_->pattern, input);
    if (!m) {
        return out;
    }
    // ICU's find() resumes after the previous match and, after an empty match,
    // one code point further on: the same non-overlapping sequence as
    // NSRegularExpression, never looping on empty matches.
    UErrorCode status = U_ZERO_ERROR;
    while (m->find(status) && U_SUCCESS(status)) {
        out.push_back(currentMatch(*m));
    }
    // A time-out counts as no match at all.
    if (status == U_REGEX_TIME_OUT) {
        out.clear();
    }
    return out;
}

std::vector<RegexMatch> Regex::findAll(std::string_view utf8) const {
    return findAll(std::u16string_view(toUtf16(utf8)));
}

std::optional<RegexMatch> Regex::firstMatch(std::u16string_view text) const {
    const icu::UnicodeString input = alias(text);
    std::unique_ptr<icu::RegexMatcher> m = boundedMatcher(*impl_->pattern, input);
    if (!m) {
        return std::nullopt;
    }
    UErrorCode status = U_ZERO_ERROR;
    if (!m->find(status) || U_FAILURE(status)) {
        return std::nullopt;
    }
    return currentMatch(*m);
}

std::optional<RegexMatch> Regex::firstMatch(std::u16string_view text, int32_t from) const {
    if (from < 0 || static_cast<std::size_t>(from) > text.size()) {
        return std::nullopt;
    }
    const icu::UnicodeString input = alias(text);
    std::unique_ptr<icu::RegexMatcher> m = boundedMatcher(*impl_->pattern, input);
    if (!m) {
        return std::nullopt;
    }
    UErrorCode status = U_ZERO_ERROR;
    if (!m->find(from, status) || U_FAILURE(status)) {
        return std::nullopt;
    }
    return currentMatch(*m);
}

bool Regex::search(std::string_view utf8) const {
    const std::u16string text = toUtf16(utf8);
    const icu::UnicodeString input = alias(text);
    std::unique_ptr<icu::RegexMatcher> m = boundedMatcher(*impl_->pattern, input);
    if (!m) {
        return false;
    }
    UErrorCode status = U_ZERO_ERROR;
    return m->find(status) && U_SUCCESS(status);
}

bool Regex::matchesWhole(std::string_view utf8) const {
    const std::u16string text = toUtf16(utf8);
    const icu::UnicodeString input = alias(text);
    std::unique_ptr<icu::RegexMatcher> m = boundedMatcher(*impl_->pattern, input);
    if (!m) {
        return false;
    }
    UErrorCode status = U_ZERO_ERROR;
    return m->matches(status) && U_SUCCESS(status);
}

std::u16string Regex::replaceAll(std::u16string_view text, std::u16string_view templ) const {
    const icu::UnicodeString input = alias(text);
    std::unique_ptr<icu::RegexMatcher> m = boundedMatcher(*impl_->pattern, input);
    if (!m) {
        return std::u16string(text);
    }
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString result = m->replaceAll(alias(templ), status);
    // A bad template (e.g. "$7" with fewer groups) or a time-out leaves the
    // text unchanged.
    if (U_FAILURE(status)) {
        return std::u16string(text);
    }
    return std::u16string(result.getBuffer(), static_cast<std::size_t>(result.length()));
}

std::string Regex::replaceAll(std::string_view utf8, std::string_view templ) const {
    return fromUtf16(
        replaceAll(std::u16string_view(toUtf16(utf8)), std::u16string_view(toUtf16(templ))));
}

std::u16string replaceRange(std::u16string_view s, Range r, std::u16string_view with) {
    const auto size = static_cast<int64_t>(s.size());
    const int64_t begin = std::clamp<int64_t>(r.location, 0, size);
    const int64_t end = std::clamp<int64_t>(
        static_cast<int64_t>(r.location) + std::max<int32_t>(r.length, 0), begin, size);
    std::u16string out;
    out.reserve(s.size() - static_cast<std::size_t>(end - begin) + with.size());
    out.append(s.substr(0, static_cast<std::size_t>(begin)));
    out.append(with);
    out.append(s.substr(static_cast<std::size_t>(end)));
    return out;
}

}  // namespace quorix::text
