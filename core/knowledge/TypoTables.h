#pragma once
// One immutable state of the typo dictionary's maps. Writers build a new
// TypoTables (sharing the maps they do not change) and publish it whole, so a
// reader holding a TypoTables never sees a map in the middle of a change.

#include <map>
#include <string>
#include <string_view>

#include "core/knowledge/MergedTypos.h"
#include "core/knowledge/TypoMap.h"

namespace quorix {

struct TypoTables {
    // Language code → typo map; every language of the fixed list has an entry
    // (possibly empty) once loading is done.
    std::map<std::string, TypoMapPtr, std::less<>> byLanguage;
    // Every known typo from any source: language files, built-in pairs, learned
    // and synced pairs. Answers only "is this typo known?".
    MergedTypos merged;
    // Pairs learned from the user's corrections; consulted first by lookups.
    TypoMapPtr learned = std::make_shared<const TypoMap>();

    // The map of a language; an empty map when there is none.
    const TypoMap& language(std::string_view code) const {
        static const TypoMap kEmpty;
        const auto it = byLanguage.find(code);
        return it == byLanguage.end() || !it->second ? kEmpty : *it->second;
    }
};

}  // namespace quorix
