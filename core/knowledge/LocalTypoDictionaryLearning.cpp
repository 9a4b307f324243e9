// Learning from corrections, the learned and synced files, and the dictionary
// sync of a LocalTypoDictionary.

#include <nlohmann/json.hpp>

#include "core/config/Files.h"
#include "core/knowledge/LearningPairs.h"
#include "core/knowledge/LocalTypoDictionaryCore.h"

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

}  // namespace

void LocalTypoDictionary::Core::loadLearnedTypos() {
    const auto data = files::readAll(learnedPath);
    if (!data) {
        return;
    }
    auto map = parseTypoMap(*data);
    if (!map) {
        return;
    }
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

void LocalTypoDictionary::Core::loadSyncedTypos() {
    const auto data = files::readAll(syncedPath);
    if (!data) {
        return;
    }
    const auto map = storedSyncMap(*data);
    if (!map) {
        return;
    }
    std::lock_guard lock(writeMutex);
    mergeItalianLocked(*map);
    logger.log("☁️ [Dynamic Sync] Caricati " + std::to_string(map->size()) +
               " refusi aggiornati dalla cache cloud locale.");
}

void LocalTypoDictionary::Core::learnFromCorrection(std::string_view original,
                                                    std::string_view corrected) {
    const auto pairs = learningPairs(original, corrected);
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

void LocalTypoDictionary::Core::saveLearned() {
    std::lock_guard lock(fileMutex);
    const auto learned = snapshot()->learned;
    files::writeAtomic(learnedPath, typoMapToPrettyJson(*learned));
}

void LocalTypoDictionary::Core::sync() {
    if (syncURL.empty()) {
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
    files::writeAtomic(syncedPath, response.body);
    const auto versionIt = doc.find("version");
    const std::string version = versionIt != doc.end() && versionIt->is_string()
                                    ? versionIt->get<std::string>()
                                    : std::string("n/a");
    logger.log("☁️ [Dynamic Sync] Dizionario aggiornato con successo da Cloudflare (v" +
               version + ", " + std::to_string(typos->size()) + " refusi attivi).");
}

}  // namespace quorix
