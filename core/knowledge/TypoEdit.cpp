#include "core/knowledge/TypoEdit.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/text/Text.h"

namespace quorix {

std::size_t typoEditDistance(std::string_view a, std::string_view b) {
    const std::u32string s = text::toUtf32(text::toLower(a));
    const std::u32string t = text::toUtf32(text::toLower(b));
    const std::size_t n = s.size();
    const std::size_t m = t.size();
    // Three rolling rows: the swap of neighbours looks two rows back.
    std::vector<std::size_t> before(m + 1), previous(m + 1), current(m + 1);
    for (std::size_t j = 0; j <= m; ++j) {
        previous[j] = j;
    }
    for (std::size_t i = 1; i <= n; ++i) {
        current[0] = i;
        for (std::size_t j = 1; j <= m; ++j) {
            const std::size_t cost = s[i - 1] == t[j - 1] ? 0 : 1;
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
            if (i > 1 && j > 1 && s[i - 1] == t[j - 2] && s[i - 2] == t[j - 1]) {
                current[j] = std::min(current[j], before[j - 2] + 1);
            }
        }
        before.swap(previous);
        previous.swap(current);
    }
    return previous[m];
}

bool isTypoEdit(std::string_view from, std::string_view to) {
    const std::size_t distance = typoEditDistance(from, to);
    const std::size_t shorter = std::min(text::characterCount(from), text::characterCount(to));
    const std::size_t allowed = shorter >= 5 ? 2 : 1;
    return distance > 0 && distance <= allowed;
}

}  // namespace quorix
