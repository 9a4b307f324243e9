#include "core/knowledge/LearningRules.h"

#include <algorithm>
#include <utility>

#include "core/knowledge/TypoEdit.h"

namespace quorix {

LearningRules::LearningRules(platform::SpellChecker& spell, PersonalWordTest isPersonalWord)
    : spell_(spell), isPersonalWord_(std::move(isPersonalWord)) {}

bool LearningRules::isPersonalWord(std::string_view word) const {
    return isPersonalWord_ && isPersonalWord_(word);
}

bool LearningRules::allows(std::string_view typo, std::string_view correction) const {
    if (!isTypoEdit(typo, correction) || isPersonalWord(typo)) {
        return false;
    }
    const auto& languages = kCoveredLanguages;
    const bool typoRejected = std::all_of(languages.begin(), languages.end(), [&](auto language) {
        return spell_.isMisspelled(typo, language);
    });
    return typoRejected && std::any_of(languages.begin(), languages.end(), [&](auto language) {
               return !spell_.isMisspelled(correction, language);
           });
}

}  // namespace quorix
