// The personal dictionary and its file whitelist.txt.
#include "core/config/AppConfig.h"
#include "core/config/Files.h"
#include "core/text/Text.h"

namespace quorix {

std::string AppConfig::normalizeWord(std::string_view word) {
    return text::toLower(text::trim(text::trimPunctuation(word)));
}

void AppConfig::loadWhitelist() {
    if (!files::exists(whitelistURL_)) {
        const auto& defaults = defaultWhitelistWords();
        setWhitelistWords({defaults.begin(), defaults.end()});
        saveWhitelist();
        return;
    }
    const auto content = files::readAll(whitelistURL_);
    if (!content) {
        return;
    }
    std::set<std::string> words;
    for (const auto& line : text::splitLines(*content)) {
        std::string word = text::toLower(text::trim(line));
        if (word.empty() || word.starts_with("#")) {
            continue;
        }
        words.insert(std::move(word));
    }
    setWhitelistWords(std::move(words));
}

void AppConfig::saveWhitelist() {
    if (!canWrite()) {
        return;
    }
    std::lock_guard saving(whitelistSaveMutex_);
    std::string content;
    {
        std::shared_lock lock(mutex_);
        for (const auto& word : state_.whitelistWords) {  // ascending order
            if (!content.empty()) {
                content.push_back('\n');
            }
            content += word;
        }
    }
    files::writeAtomic(whitelistURL_, content);
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
