// The personal dictionary and its file whitelist.txt.
#include "core/config/AppConfig.h"
#include "core/text/Text.h"

namespace quorix {

std::string AppConfig::normalizeWord(std::string_view word) {
    return text::toLower(text::trim(text::trimPunctuation(word)));
}

void AppConfig::addWordToWhitelist(std::string_view word) {
    const std::string w = normalizeWord(word);
    if (w.empty()) {
        return;
    }
    notify({ConfigField::whitelistWords});
    {
        std::unique_lock lock(mutex_);
        state_.whitelistWords.insert(w);
    }
    saveWhitelist();
    log("✅ Parola '" + w + "' aggiunta al dizionario personale.");
}

void AppConfig::removeWordFromWhitelist(std::string_view word) {
    const std::string w = normalizeWord(word);
    notify({ConfigField::whitelistWords});
    {
        std::unique_lock lock(mutex_);
        state_.whitelistWords.erase(w);
    }
    saveWhitelist();
    log("🗑️ Parola '" + w + "' rimossa dal dizionario personale.");
}

bool AppConfig::isWordWhitelisted(std::string_view word) const {
    const std::string w = normalizeWord(word);
    std::shared_lock lock(mutex_);
    return state_.whitelistWords.contains(w);
}

}  // namespace quorix
