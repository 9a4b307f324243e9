#include "core/text/TextDiffSnippet.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "core/text/Text.h"

namespace quorix::text {
namespace {

constexpr std::string_view kEllipsis = "…";
constexpr std::string_view kNothing = "—";
// A changed run shows at most this many words.
constexpr std::size_t kMaxDiffWords = 3;
// Identical texts show at most this many words...
constexpr std::size_t kMaxVerifiedWords = 4;
// ...and an ellipsis once those make this many characters.
constexpr std::size_t kVerifiedEllipsisAt = 21;

using Words = std::vector<std::string>;

std::string join(const Words& words, std::size_t from, std::size_t to) {
    std::string out;
    for (std::size_t k = from; k < to; ++k) {
        if (k > from) {
            out += ' ';
        }
        out += words[k];
    }
    return out;
}

std::string changedRun(const Words& words, std::size_t from, std::size_t to) {
    if (from >= to) {
        return std::string(kNothing);
    }
    const std::size_t shown = std::min(to - from, kMaxDiffWords);
    std::string out = join(words, from, from + shown);
    if (to - from > kMaxDiffWords) {
        out += kEllipsis;
    }
    return out;
}

}  // namespace

TextDiffSnippet TextDiffSnippet::compute(std::string_view orig, std::string_view fixed,
                                         int maxContextWords) {
    const Words o = splitWords(orig);
    const Words f = splitWords(fixed);
    const std::size_t n = o.size();
    const std::size_t m = f.size();
    if (n == 0 || m == 0) {
        return {"", std::string(orig), std::string(fixed), ""};
    }
    const std::size_t context = static_cast<std::size_t>(std::max(maxContextWords, 0));

    std::size_t p = 0;
    while (p < std::min(n, m) && o[p] == f[p]) {
        ++p;
    }
    if (p == n && p == m) {
        std::string shown = join(o, 0, std::min(n, kMaxVerifiedWords));
        if (characterCount(shown) >= kVerifiedEllipsisAt) {
            shown += kEllipsis;
        }
        return {"", "Testo verificato", "Nessun errore", shown};
    }

    // End (exclusive) of the changed runs: the common suffix is walked back
    // no further than the common prefix.
    std::size_t oEnd = n;
    std::size_t fEnd = m;
    while (oEnd > p && fEnd > p && o[oEnd - 1] == f[fEnd - 1]) {
        --oEnd;
        --fEnd;
    }

    TextDiffSnippet out;
    out.origDiff = changedRun(o, p, oEnd);
    out.fixedDiff = changedRun(f, p, fEnd);

    const std::size_t preFrom = p > context ? p - context : 0;
    out.preContext = join(o, preFrom, p);
    if (preFrom > 0) {
        out.preContext.insert(0, kEllipsis);
    }
    if (!out.preContext.empty()) {
        out.preContext += ' ';
    }

    if (oEnd < n) {
        const std::size_t postTo = std::min(oEnd + context, n);
        // Appended, not `" " + join(...)`: GCC 12 -O3 warns falsely (-Wrestrict).
        out.postContext = ' ';
        out.postContext += join(o, oEnd, postTo);
        if (postTo < n) {
            out.postContext += kEllipsis;
        }
    }
    return out;
}

}  // namespace quorix::text
