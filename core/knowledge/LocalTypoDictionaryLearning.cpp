// Learning from corrections, the learned and synced files, and the dictionary
// sync of a LocalTypoDictionary.

#include <nlohmann/json.hpp>
#include <unordered_set>

#include "core/knowledge/LearningPairs.h"
#include "core/knowledge/LocalTypoDictionaryCore.h"
#include "core/text/Text.h"

namespace quorix {

namespace {

// The typo map of a stored sync reply: its "typos" member when that is an
// object of strings, else the whole document when that is one.
std::optional<TypoMap> storedSyncMap(const std::string& data) {
    const auto doc = nlohmann::json::parse(data, nullptr, /*allow_exceptions=*/false);
    if (doc.is_discarded()) {
        return std::nullopt;
    }
    if (doc.is_object()) {
        if (const auto it = doc.find("typos"); it != doc.end()) {
            if (auto map = typoMapFromJson(*it)) {
                return map;
            }
        }
    }
    return typoMapFromJson(doc);
}

// The member names of a stored JSON object, whatever their values.
std::unordered_set<std::string> memberNames(const std::string& data) {
    std::unordered_set<std::string> names;
    const auto doc = nlohmann::json::parse(data, nullptr, /*allow_exceptions=*/false);
    if (doc.is_object()) {
        for (const auto& [key, value] : doc.items()) {
            names.insert(key);
        }
    }
    return names;
}

}  // namespace

void LocalTypoDictionary::Core::loadLearnedTypos() {
    std::optional<std::string> data;
    {
        std::lock_guard fileLock(fileMutex);
        data = learnedFile.read();
        if (data) {
            learnedSyncedKeys = memberNames(*data);
        }
    }
    if (!data) {
        return;
    }
    auto map = parseTypoMap(*data);
    if (!map) {
        std::lock_guard fileLock(fileMutex);
        learnedFile.markDamaged();
        return;
    }
    // Pairs learned before the rules existed may rewrite correct words.
    const std::size_t dropped = std::erase_if(
        *map, [this](const auto& pair) { return !rules.allows(pair.first, pair.second); });
    {
        std::lock_guard lock(writeMutex);
        const auto current = snapshot();
        auto next = std::make_shared<TypoTables>(*current);
        next->merged = current->merged.with(*map, /*overwrite=*/true);
        const std::size_t count = map->size();
        next->learned = std::make_shared<const TypoMap>(std::move(*map));
        publish(std::move(next));
        logger.log("🧠 [Self-Learning] Caricati " + std::to_string(count) +
                   " refusi personali appresi dall'utente.");
    }
    if (dropped > 0) {
        logger.log("🧹 [Self-Learning] Scartati " + std::to_string(dropped) +
                   " refusi appresi che cambiavano parole corrette.");
        if (storage == StorageMode::readWrite) {
            saveLearned();
        }
    }
}

void LocalTypoDictionary::Core::loadSyncedTypos() {
    std::optional<std::string> data;
    {
        std::lock_guard replyLock(syncReplyMutex);
        data = syncedFile.read();
    }
    if (!data) {
        return;
    }
    const auto map = storedSyncMap(*data);
    if (!map) {
        std::lock_guard replyLock(syncReplyMutex);
        syncedFile.markDamaged();
        return;
    }
    std::lock_guard lock(writeMutex);
    mergeItalianLocked(*map);
    logger.log("☁️ [Dynamic Sync] Caricati " + std::to_string(map->size()) +
               " refusi aggiornati dalla cache cloud locale.");
}

void LocalTypoDictionary::Core::learnFromCorrection(std::string_view original,
                                                    std::string_view corrected) {
    auto pairs = learningPairs(original, corrected);
    std::erase_if(pairs,
                  [this](const auto& pair) { return !rules.allows(pair.first, pair.second); });
    if (pairs.empty()) {
        return;
    }
    std::size_t learnedNow = 0;
    std::size_t total = 0;
    {
        // The known-typo test and the insertion happen under one lock, so a
        // typo learned by a concurrent call is not learned twice.
        std::lock_guard lock(writeMutex);
        const auto current = snapshot();
        TypoMap learned = *current->learned;
        TypoMap fresh;
        for (const auto& [typo, correction] : pairs) {
            if (current->merged.contains(typo) || fresh.contains(typo)) {
                continue;
            }
            learned.emplace(typo, correction);
            fresh.emplace(typo, correction);
            ++learnedNow;
        }
        if (learnedNow == 0) {
            return;
        }
        total = learned.size();
        auto next = std::make_shared<TypoTables>(*current);
        next->learned = std::make_shared<const TypoMap>(std::move(learned));
        next->merged = current->merged.with(fresh, /*overwrite=*/false);
        publish(std::move(next));
    }
    saveLearned();
    logger.log("🧠 [Self-Learning] Appresi " + std::to_string(learnedNow) +
               " nuovi refusi personali (totale: " + std::to_string(total) +
               "). La prossima volta saranno corretti a 0ms senza AI!");
}

std::optional<std::string> LocalTypoDictionary::Core::forgetLearned(std::string_view typo) {
    const std::string key = text::toLower(text::trim(typo));
    std::optional<std::string> correction;
    {
        std::lock_guard lock(writeMutex);
        const auto current = snapshot();
        const auto it = current->learned->find(key);
        if (it == current->learned->end()) {
            return std::nullopt;
        }
        correction = it->second;
        TypoMap learned = *current->learned;
        learned.erase(key);
        auto next = std::make_shared<TypoTables>(*current);
        next->learned = std::make_shared<const TypoMap>(std::move(learned));
        publish(std::move(next));
    }
    saveLearned();
    logger.log("🧠 [Self-Learning] Dimenticato il refuso appreso '" + key + "' → '" + *correction +
               "'.");
    return correction;
}

void LocalTypoDictionary::Core::saveLearned() {
    if (storage == StorageMode::readOnly) {
        return;
    }
    std::lock_guard lock(fileMutex);
    const auto folderLock = learnedFile.lockFolder();
    TypoMap pairs = *snapshot()->learned;
    // Pairs another process learned since this one last read or wrote the file
    // stay in it; for a typo both learned, this process's pair is written.
    // Pairs this process dropped are not brought back.
    if (const auto data = learnedFile.read()) {
        if (auto stored = parseTypoMap(*data)) {
            for (auto& [typo, correction] : *stored) {
                if (!learnedSyncedKeys.contains(typo)) {
                    pairs.try_emplace(typo, std::move(correction));
                }
            }
        } else {
            learnedFile.markDamaged();
        }
    }
    if (learnedFile.write(typoMapToPrettyJson(pairs))) {
        learnedSyncedKeys.clear();
        for (const auto& [typo, correction] : pairs) {
            learnedSyncedKeys.insert(typo);
        }
    }
}

void LocalTypoDictionary::Core::sync() {
    // A merge before the language maps are loaded would be overwritten.
    if (syncURL.empty() || !waitLoaded()) {
        return;
    }
    net::HttpRequest request;
    request.method = "GET";
    request.url = syncURL;
    request.timeout = syncTimeout;
    if (auto etag = prefs.string(std::string(kEtagPreferenceKey)); etag && !etag->empty()) {
        request.headers.emplace_back("If-None-Match", *etag);
    }
    std::weak_ptr<Core> weak = weak_from_this();
    http.send(std::move(request), [weak](net::HttpResult result) {
        if (auto core = weak.lock()) {
            core->handleSyncReply(result);
        }
    });
}

void LocalTypoDictionary::Core::handleSyncReply(const net::HttpResult& result) {
    if (!result.ok()) {
        return;
    }
    const net::HttpResponse& response = result.response;
    if (response.status == 304) {
        logger.log("📚 [Dynamic Sync] Dizionario cloud invariato (304 Not Modified).");
        return;
    }
    if (response.status != 200 || response.body.empty()) {
        return;
    }
    // Header names compare case-insensitively: "Etag" and "ETag" alike.
    if (auto etag = response.header("Etag")) {
        prefs.setString(std::string(kEtagPreferenceKey), *etag);
    }
    const auto doc = nlohmann::json::parse(response.body, nullptr, /*allow_exceptions=*/false);
    if (!doc.is_object()) {
        return;
    }
    const auto typosIt = doc.find("typos");
    if (typosIt == doc.end()) {
        return;
    }
    const auto typos = typoMapFromJson(*typosIt);
    if (!typos) {
        return;
    }
    std::lock_guard replyLock(syncReplyMutex);
    {
        std::lock_guard lock(writeMutex);
        mergeItalianLocked(*typos);
    }
    if (storage == StorageMode::readWrite) {
        const auto folderLock = syncedFile.lockFolder();
        syncedFile.write(response.body);
    }
    const auto versionIt = doc.find("version");
    const std::string version = versionIt != doc.end() && versionIt->is_string()
                                    ? versionIt->get<std::string>()
                                    : std::string("n/a");
    logger.log("☁️ [Dynamic Sync] Dizionario aggiornato con successo da Cloudflare (v" + version +
               ", " + std::to_string(typos->size()) + " refusi attivi).");
}

}  // namespace quorix
