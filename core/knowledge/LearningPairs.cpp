#include "core/knowledge/LearningPairs.h"

#include <optional>

#include "core/text/Regex.h"
#include "core/text/Text.h"

namespace quorix {

namespace {

const std::optional<text::Regex>& wordPattern() {
    static const std::optional<text::Regex> pattern = text::Regex::make("[A-Za-zÀ-ÿ0-9_'-]+");
    return pattern;
}

std::vector<std::string> words(const text::Regex& pattern, std::string_view s) {
    const std::u16string units = text::toUtf16(s);
    const std::u16string_view view(units);
    std::vector<std::string> out;
    for (const auto& match : pattern.findAll(view)) {
        const text::Range r = match.range();
        out.push_back(text::fromUtf16(view.substr(r.location, r.length)));
    }
    return out;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> learningPairs(std::string_view original,
                                                               std::string_view corrected) {
    const auto& pattern = wordPattern();
    if (!pattern) {
        return {};
    }
    const std::vector<std::string> before = words(*pattern, original);
    const std::vector<std::string> after = words(*pattern, corrected);
    if (before.empty() || before.size() != after.size()) {
        return {};
    }
    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::size_t i = 0; i < before.size(); ++i) {
        std::string o = text::toLower(before[i]);
        std::string c = text::toLower(after[i]);
        if (o == c || text::characterCount(o) < 3 || text::characterCount(c) < 2) {
            continue;
        }
        pairs.emplace_back(std::move(o), std::move(c));
    }
    return pairs;
}

}  // namespace quorix
