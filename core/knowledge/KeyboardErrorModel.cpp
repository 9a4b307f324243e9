#include "core/knowledge/KeyboardErrorModel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

namespace quorix {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr std::size_t kLongest = 48;  // longer words are never aligned

constexpr char32_t kTableSpan = 0x250;

// KeyboardLayout::baseLetter as a table for the letters below kTableSpan.
char32_t baseOf(char32_t c) {
    static const std::array<char32_t, kTableSpan> kTable = [] {
        std::array<char32_t, kTableSpan> table{};
        for (char32_t i = 0; i < kTableSpan; ++i) {
            table[i] = KeyboardLayout::baseLetter(i);
        }
        return table;
    }();
    return c < kTableSpan ? kTable[c] : c;
}

bool isVowel(char32_t c) {
    const char32_t base = baseOf(c);
    return base == U'a' || base == U'e' || base == U'i' || base == U'o' || base == U'u' ||
           base == U'y';
}

bool isConsonant(char32_t c) {
    return c >= U'a' && c <= U'z' && !isVowel(c);
}

// One cell of the alignment: cost (-log likelihood) and edits on its path.
struct Cell {
    double cost = kInfinity;
    int edits = 0;
};

}  // namespace

double KeyboardErrorModel::weight(Edit edit) {
    switch (edit) {
        case Edit::transposition:
            return 1.0;
        case Edit::omission:
            return 0.8;
        case Edit::doubledConsonantDropped:
        case Edit::consonantDoubled:
            return 1.5;
        case Edit::doubling:
            return 0.5;
        case Edit::neighbourSubstitution:
            return 0.6;
        case Edit::neighbourInsertion:
            return 0.3;
        case Edit::otherSubstitution:
        case Edit::otherInsertion:
            return 0.05;
        case Edit::accentDropped:
            return 2.0;
        case Edit::accentSwapped:
        case Edit::umlautSpelled:
            return 1.0;
        case Edit::sharpSSpelled:
            return 1.5;
        case Edit::sharpSForSs:
            return 0.3;
    }
    return 0.05;
}

KeyboardErrorModel::KeyboardErrorModel(std::string_view language)
    : neighbours_(kSpan * kSpan / 64 + 1),
      mates_(kSpan * kSpan / 64 + 1),
      italian_(language == "it"),
      german_(language == "de") {
    double most = 0;
    double mostPlain = 0;
    for (std::size_t k = 0; k < kEditKinds; ++k) {
        const auto kind = static_cast<Edit>(k);
        const double w = weight(kind);
        most = std::max(most, w);
        // Accents, umlauts and ß need a letter past ASCII; the Italian
        // consonant slips exist only in Italian.
        const bool accented = kind == Edit::accentDropped || kind == Edit::umlautSpelled ||
                              kind == Edit::sharpSSpelled || kind == Edit::sharpSForSs;
        const bool italianOnly =
            kind == Edit::doubledConsonantDropped || kind == Edit::consonantDoubled;
        if (!accented && (italian_ || !italianOnly)) {
            mostPlain = std::max(mostPlain, w);
        }
    }
    logMostLikelyEdit_ = std::log(kEditRate * most);
    logMostLikelyPlainEdit_ = std::log(kEditRate * mostPlain);
    const KeyboardLayout layout = KeyboardLayout::forLanguage(language);
    const auto set = [](std::vector<uint64_t>& bits, char32_t a, char32_t b) {
        if (b < kSpan) {
            const std::size_t i = static_cast<std::size_t>(a) * kSpan + b;
            bits[i / 64] |= uint64_t{1} << (i % 64);
        }
    };
    for (char32_t a = 0; a < kSpan; ++a) {
        for (const char32_t b : layout.neighbours(a)) {
            set(neighbours_, a, b);
        }
        for (const char32_t b : layout.keyMates(a)) {
            set(mates_, a, b);
        }
    }
}

double KeyboardErrorModel::substitutionWeight(char32_t intended, char32_t typed, Edit& kind) const {
    const char32_t base = baseOf(intended);
    if (base != intended && base == typed) {
        kind = Edit::accentDropped;
    } else if (related(mates_, intended, typed) ||
               (base == baseOf(typed) && !(german_ && base == intended))) {
        // A German umlaut has its own key: typed for a plain vowel, it is
        // no accent slip but another key ("Problemlöser", not "problemloser").
        kind = Edit::accentSwapped;
    } else if (related(neighbours_, intended, typed)) {
        kind = Edit::neighbourSubstitution;
    } else {
        kind = Edit::otherSubstitution;
    }
    return weight(kind);
}

double KeyboardErrorModel::insertionWeight(std::u32string_view w, std::size_t at, char32_t typed,
                                           Edit& kind) const {
    const char32_t before = at > 0 ? w[at - 1] : 0;
    const char32_t after = at < w.size() ? w[at] : 0;
    if (typed == before || typed == after) {
        // The doubled letter sits between two vowels ("dopo" -> "doppo").
        bool betweenVowels = false;
        if (typed == before && at >= 2 && at < w.size()) {
            betweenVowels = isVowel(w[at - 2]) && isVowel(w[at]);
        } else if (typed == after && at >= 1 && at + 1 < w.size()) {
            betweenVowels = isVowel(w[at - 1]) && isVowel(w[at + 1]);
        }
        kind = italian_ && isConsonant(typed) && betweenVowels ? Edit::consonantDoubled
                                                               : Edit::doubling;
    } else if ((before != 0 && related(neighbours_, before, typed)) ||
               (after != 0 && related(neighbours_, after, typed))) {
        kind = Edit::neighbourInsertion;
    } else {
        kind = Edit::otherInsertion;
    }
    return weight(kind);
}

double KeyboardErrorModel::omissionWeight(std::u32string_view w, std::size_t at, Edit& kind) const {
    const char32_t c = w[at];
    const bool doubled = (at > 0 && w[at - 1] == c) || (at + 1 < w.size() && w[at + 1] == c);
    kind = italian_ && doubled && isConsonant(c) ? Edit::doubledConsonantDropped : Edit::omission;
    return weight(kind);
}

double KeyboardErrorModel::logLikelihood(std::u32string_view w, std::u32string_view t,
                                         int maxEdits) const {
    if (w == t) {
        return 0;
    }
    const std::size_t n = w.size();
    const std::size_t m = t.size();
    if (n > kLongest || m > kLongest ||
        std::abs(static_cast<long>(n) - static_cast<long>(m)) > maxEdits) {
        return -kInfinity;
    }
    // -log of each kind of edit, away from the first letter, at it, and
    // inserted before it (the first-letter factor twice); computed once.
    static const auto kCosts = [] {
        std::array<std::array<double, 3>, kEditKinds> costs{};
        for (std::size_t k = 0; k < kEditKinds; ++k) {
            const double p = kEditRate * weight(static_cast<Edit>(k));
            costs[k] = {-std::log(p), -std::log(p * kFirstLetterFactor),
                        -std::log(p * kFirstLetterFactor * kFirstLetterFactor)};
        }
        return costs;
    }();
    const auto editCost = [](Edit kind, std::size_t level) {
        return kCosts[static_cast<std::size_t>(kind)][level];
    };
    // Every accent dropped at once is one slip, wherever the accents are.
    double allAccentsDropped = kInfinity;
    if (n == m) {
        std::size_t dropped = 0;
        bool onlyAccents = true;
        for (std::size_t k = 0; k < n && onlyAccents; ++k) {
            dropped += w[k] != t[k] ? 1 : 0;
            onlyAccents = w[k] == t[k] || baseOf(w[k]) == t[k];
        }
        if (onlyAccents && dropped >= 2) {
            allAccentsDropped = editCost(Edit::accentDropped, 0);
        }
    }
    // Only the part between the common prefix and suffix is aligned (less
    // maxEdits letters each side, so that edits next to it see the same
    // context and may use those letters);
    // indices stay those of the whole words, so weights see every letter.
    std::size_t head = 0;
    while (head < n && head < m && w[head] == t[head]) {
        ++head;
    }
    std::size_t tail = 0;
    while (tail < n - head && tail < m - head && w[n - 1 - tail] == t[m - 1 - tail]) {
        ++tail;
    }
    const auto margin = static_cast<std::size_t>(maxEdits);
    head -= std::min(head, margin);
    tail -= std::min(tail, margin);
    const std::size_t rows = n - head - tail;
    const std::size_t columns = m - head - tail;
    // Row-major (rows+1) x (columns+1); only the band |a-b| <= maxEdits is filled.
    thread_local std::vector<Cell> cells;
    cells.assign((rows + 1) * (columns + 1), Cell{});
    const auto at = [&](std::size_t a, std::size_t b) -> Cell& {
        return cells[a * (columns + 1) + b];
    };
    at(0, 0) = {0, 0};
    Edit kind{};
    const auto relax = [&](Cell& into, const Cell& from, double cost) {
        const int edits = from.edits + (cost > 0 ? 1 : 0);
        if (edits <= maxEdits && from.cost + cost < into.cost) {
            into = {from.cost + cost, edits};
        }
    };
    // Whether an edit from `from` may still be relaxed (every edit costs
    // more than 0): spares the weight look-ups of moves relax would refuse.
    const auto open = [&](const Cell& from) {
        return from.edits < maxEdits && from.cost < kInfinity;
    };
    const auto band = static_cast<std::size_t>(maxEdits);
    for (std::size_t a = 0; a <= rows; ++a) {
        const std::size_t i = a + head;  // letters of w consumed
        const std::size_t bFrom = a > band ? a - band : 0;
        const std::size_t bTo = std::min(columns, a + band);
        for (std::size_t b = bFrom; b <= bTo; ++b) {
            const std::size_t j = b + head;  // letters of t consumed
            Cell& cell = at(a, b);
            if (a > 0 && b > 0) {
                if (w[i - 1] == t[j - 1]) {
                    relax(cell, at(a - 1, b - 1), 0);
                } else if (open(at(a - 1, b - 1))) {
                    substitutionWeight(w[i - 1], t[j - 1], kind);
                    relax(cell, at(a - 1, b - 1), editCost(kind, i == 1 ? 1 : 0));
                }
                if (a > 1 && b > 1 && w[i - 1] == t[j - 2] && w[i - 2] == t[j - 1] &&
                    w[i - 1] != w[i - 2]) {
                    relax(cell, at(a - 2, b - 2), editCost(Edit::transposition, i == 2 ? 1 : 0));
                }
            }
            if (a > 0 && b + band >= a && open(at(a - 1, b))) {  // intended w[i-1] not typed
                omissionWeight(w, i - 1, kind);
                relax(cell, at(a - 1, b), editCost(kind, i == 1 ? 1 : 0));
            }
            if (b > 0 && a + band >= b && open(at(a, b - 1))) {  // t[j-1] typed before w[i]
                insertionWeight(w, i, t[j - 1], kind);
                // A letter before the first one is rarer still than a slip on it.
                relax(cell, at(a, b - 1), editCost(kind, i == 0 ? 2 : 0));
            }
            if (german_ && a > 0 && b > 1) {  // one letter typed as two: "ue", "ss"
                const char32_t c = w[i - 1];
                if ((c == U'ä' || c == U'ö' || c == U'ü') && t[j - 2] == baseOf(c) &&
                    t[j - 1] == U'e') {
                    relax(cell, at(a - 1, b - 2), editCost(Edit::umlautSpelled, i == 1 ? 1 : 0));
                } else if (c == U'ß' && t[j - 2] == U's' && t[j - 1] == U's') {
                    relax(cell, at(a - 1, b - 2), editCost(Edit::sharpSSpelled, i == 1 ? 1 : 0));
                }
            }
            if (german_ && a > 1 && b > 0 && t[j - 1] == U'ß' && w[i - 2] == U's' &&
                w[i - 1] == U's') {
                relax(cell, at(a - 2, b - 1), editCost(Edit::sharpSForSs, i == 2 ? 1 : 0));
            }
        }
    }
    const double best = std::min(at(rows, columns).cost, allAccentsDropped);
    return best == kInfinity ? -kInfinity : -best;
}

double KeyboardErrorModel::logLikelihoodBound(int distance, bool plain,
                                              bool firstLetterEdited) const {
    // Past ASCII one move may cover several letters (an umlaut spelled out,
    // every accent dropped at once): one edit at least.
    if (!plain) {
        return logMostLikelyEdit_;
    }
    // Between ASCII words the alignment is one of optimal string alignment:
    // at least `distance` edits, one of them at the first letter (or before
    // it) when the first letters differ.
    return distance * logMostLikelyPlainEdit_ +
           (firstLetterEdited ? std::log(kFirstLetterFactor) : 0.0);
}

int KeyboardErrorModel::boundedDistance(std::u32string_view a, std::u32string_view b, int max) {
    const std::size_t n = a.size();
    const std::size_t m = b.size();
    const int over = max + 1;
    if (n > kLongest || m > kLongest ||
        std::abs(static_cast<long>(n) - static_cast<long>(m)) > max) {
        return over;
    }
    // Cells outside the band |i - j| <= max hold `over`.
    std::array<int, kLongest + 2> rows[3];
    for (auto& row : rows) {
        row.fill(over);
    }
    int* before = rows[0].data();
    int* previous = rows[1].data();
    int* current = rows[2].data();
    for (std::size_t j = 0; j <= m && j <= static_cast<std::size_t>(max); ++j) {
        previous[j] = static_cast<int>(j);
    }
    const auto band = static_cast<std::size_t>(max);
    for (std::size_t i = 1; i <= n; ++i) {
        const std::size_t lo = i > band ? i - band : 1;
        const std::size_t hi = std::min(m, i + band);
        current[0] = i <= band ? static_cast<int>(i) : over;
        if (lo > 1) {
            current[lo - 1] = over;
        }
        int rowMin = current[0];
        for (std::size_t j = lo; j <= hi; ++j) {
            int d = std::min(previous[j] + 1, current[j - 1] + 1);
            d = std::min(d, previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1));
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                d = std::min(d, before[j - 2] + 1);
            }
            current[j] = std::min(d, over);
            rowMin = std::min(rowMin, current[j]);
        }
        current[hi + 1] = over;
        if (rowMin > max) {
            return over;
        }
        int* recycled = before;
        before = previous;
        previous = current;
        current = recycled;
    }
    return std::min(previous[m], over);
}

bool KeyboardErrorModel::classify(std::u32string_view w, std::u32string_view t, Edit& edit) const {
    const std::size_t n = w.size();
    const std::size_t m = t.size();
    std::size_t p = 0;
    while (p < n && p < m && w[p] == t[p]) {
        ++p;
    }
    if (n == m) {
        if (p == n) {
            return false;
        }
        if (w.substr(p + 1) == t.substr(p + 1)) {
            substitutionWeight(w[p], t[p], edit);
            return true;
        }
        if (p + 1 < n && w[p] == t[p + 1] && w[p + 1] == t[p] &&
            w.substr(p + 2) == t.substr(p + 2)) {
            edit = Edit::transposition;
            return true;
        }
        return false;
    }
    if (m == n + 1) {
        // Any equivalent insertion point gives the same kind for a doubling;
        // take the one after the common prefix.
        if (w.substr(p) != t.substr(p + 1)) {
            return false;
        }
        insertionWeight(w, p, t[p], edit);
        return true;
    }
    if (n == m + 1) {
        if (w.substr(p + 1) != t.substr(p)) {
            return false;
        }
        omissionWeight(w, p, edit);
        return true;
    }
    return false;
}

}  // namespace quorix
