#include "core/knowledge/LocalTypoDictionary.h"

#include <array>
#include <utility>

#include "core/knowledge/LocalTypoDictionaryCore.h"
#include "core/text/Text.h"

namespace quorix {

namespace {

constexpr std::array<std::string_view, 5> kLanguages = {"it", "en", "de", "es", "fr"};

std::vector<std::string> candidateFolders(const std::vector<std::string>& resourceFolders,
                                          const std::string& developmentFolder) {
    std::vector<std::string> folders;
    for (const auto& folder : resourceFolders) {
        if (folder.empty()) {
            continue;
        }
        folders.push_back(platform::joinPath(folder, "Dictionaries"));
        folders.push_back(folder);
    }
    if (!developmentFolder.empty()) {
        folders.push_back(developmentFolder);
    }
    return folders;
}

std::optional<std::string> lookup(const TypoMap& map, std::string_view key) {
    const auto it = map.find(std::string(key));
    if (it == map.end()) {
        return std::nullopt;
    }
    return it->second;
}

}  // namespace

// ---- Core: state, loading of the language files, correction ----

LocalTypoDictionary::Core::Core(const Dependencies& deps)
    : configFolder(deps.configFolder),
      files(deps.files),
      storage(deps.storage),
      learnedFile(deps.files, deps.configFolder, "learned_typos.json", deps.logger),
      syncedFile(deps.files, deps.configFolder, "synced_typos_it.json", deps.logger),
      learnedPath(learnedFile.path()),
      syncedPath(syncedFile.path()),
      syncURL(deps.syncURL),
      syncTimeout(deps.syncTimeout),
      spell(deps.spell),
      detector(deps.detector),
      logger(deps.logger),
      http(deps.http),
      prefs(deps.prefs),
      utilityQueue(deps.utilityQueue),
      clock(deps.clock),
      correctAccents(deps.correctAccents),
      rules(deps.spell, deps.isPersonalWord),
      corrector(deps.spell, rules),
      folders(candidateFolders(deps.resourceFolders, deps.developmentFolder)),
      keyboard(
          deps.spell,
          [this](std::string_view language) {
              return readModelFile(NoisyChannelCorrector::fileName(language));
          },
          deps.isPersonalWord,
          [this](std::string_view language) {
              return readModelFile(NoisyChannelCorrector::contextFileName(language));
          }),
      tables(std::make_shared<const TypoTables>()) {}

void LocalTypoDictionary::Core::markLoaded() {
    {
        std::lock_guard lock(loadMutex);
        loaded = true;
    }
    loadCv.notify_all();
}

bool LocalTypoDictionary::Core::waitLoaded() const {
    std::unique_lock lock(loadMutex);
    if (loaded) {
        return true;
    }
    return clock.waitUntil(lock, loadCv, dispatch::addSaturating(clock.now(), kLoadWait),
                           [this] { return loaded; });
}

bool LocalTypoDictionary::Core::isLoaded() const {
    std::lock_guard lock(loadMutex);
    return loaded;
}

std::shared_ptr<const TypoTables> LocalTypoDictionary::Core::snapshot() const {
    std::lock_guard lock(snapshotMutex);
    return tables;
}

void LocalTypoDictionary::Core::publish(std::shared_ptr<const TypoTables> next) {
    std::shared_ptr<const TypoTables> previous;
    {
        std::lock_guard lock(snapshotMutex);
        previous = std::exchange(tables, std::move(next));
    }
    // `previous` is released here, outside the pointer lock.
}

void LocalTypoDictionary::Core::loadDictionaries(const std::vector<std::string>& folders) {
    auto next = std::make_shared<TypoTables>();
    std::vector<TypoMapPtr> inOrder;
    for (const std::string_view language : kLanguages) {
        const std::string fileName = "typos_" + std::string(language) + ".json";
        TypoMapPtr found;
        for (const auto& folder : folders) {
            // Resources may be installed as links; they are read, never written.
            const auto data =
                files.read(platform::joinPath(folder, fileName),
                           platform::FileSystem::kStoredFileLimit, platform::LinkPolicy::follow);
            if (!data.ok()) {
                continue;
            }
            if (auto map = parseTypoMap(data.data)) {
                found = std::make_shared<const TypoMap>(std::move(*map));
                break;
            }
        }
        if (!found) {
            found = std::make_shared<const TypoMap>();
        }
        inOrder.push_back(found);
        next->byLanguage.emplace(std::string(language), std::move(found));
    }
    auto builtIns = std::make_shared<TypoMap>();
    for (const auto& [typo, correction] : builtInTypoPairs()) {
        builtIns->try_emplace(std::string(typo), std::string(correction));
    }
    next->merged = MergedTypos(std::move(inOrder), std::move(builtIns));
    const std::size_t count = next->merged.size();
    {
        std::lock_guard lock(writeMutex);
        publish(std::move(next));
    }
    logger.log("📚 [LocalTypoDictionary] Inizializzato con " + std::to_string(count) +
               " refusi frequenti (lingue: it, en, de, es, fr).");
}

std::optional<std::string> LocalTypoDictionary::Core::tryCorrectLocally(
    std::string_view text) const {
    const std::string trimmed = text::trim(text);
    if (trimmed.empty() || !waitLoaded()) {
        return std::nullopt;
    }
    const std::string language = detector.detectLanguage(trimmed);
    const auto state = snapshot();
    return corrector.correct(text, language, *state, correctAccents && correctAccents());
}

std::optional<std::string> LocalTypoDictionary::Core::readModelFile(
    std::string_view fileName) const {
    for (const auto& folder : folders) {
        const auto data =
            files.read(platform::joinPath(folder, fileName), platform::FileSystem::kStoredFileLimit,
                       platform::LinkPolicy::follow);
        if (data.ok()) {
            return data.data;
        }
    }
    return std::nullopt;
}

ModelPass LocalTypoDictionary::Core::correctWithKeyboardModel(std::string_view text) const {
    const std::string trimmed = text::trim(text);
    if (trimmed.empty() || !waitLoaded()) {
        return {};
    }
    return keyboard.correct(text, detector.detectLanguage(trimmed),
                            correctAccents && correctAccents());
}

void LocalTypoDictionary::Core::loadKeyboardModel(std::string_view text) const {
    const std::string trimmed = text::trim(text);
    if (trimmed.empty() || !waitLoaded()) {
        return;
    }
    const std::string_view language =
        keyboard.languageOf(trimmed, detector.detectLanguage(trimmed));
    if (!language.empty()) {
        keyboard.model(language);
    }
}

void LocalTypoDictionary::Core::mergeItalianLocked(const TypoMap& pairs) {
    const auto current = snapshot();
    auto next = std::make_shared<TypoTables>(*current);
    TypoMap italian = current->language("it");
    for (const auto& [typo, correction] : pairs) {
        italian.insert_or_assign(typo, correction);
    }
    next->byLanguage["it"] = std::make_shared<const TypoMap>(std::move(italian));
    next->merged = current->merged.with(pairs, /*overwrite=*/true);
    publish(std::move(next));
}

// ---- LocalTypoDictionary ----

LocalTypoDictionary::LocalTypoDictionary(Dependencies deps) : core_(std::make_shared<Core>(deps)) {
    if (deps.storage == StorageMode::readWrite) {
        deps.files.makePrivateFolder(deps.configFolder);
    }
    auto load = [weak = std::weak_ptr<Core>(core_), folders = core_->folders] {
        auto core = weak.lock();
        if (!core) {
            return;
        }
        core->loadDictionaries(folders);
        core->loadLearnedTypos();
        core->loadSyncedTypos();
        core->markLoaded();
    };
    if (deps.loadQueue != nullptr) {
        deps.loadQueue->async(std::move(load));
    } else {
        load();
    }
    if (deps.startSyncOnInit) {
        startPeriodicSync();
    }
}

LocalTypoDictionary::~LocalTypoDictionary() {
    stopPeriodicSync();
}

std::optional<std::string> LocalTypoDictionary::tryCorrectLocally(std::string_view text) const {
    return core_->tryCorrectLocally(text);
}

ModelPass LocalTypoDictionary::correctWithKeyboardModel(std::string_view text) const {
    return core_->correctWithKeyboardModel(text);
}

void LocalTypoDictionary::loadKeyboardModel(std::string_view text) const {
    core_->loadKeyboardModel(text);
}

void LocalTypoDictionary::learnFromCorrection(std::string_view originalFullText,
                                              std::string_view correctedFullText) {
    if (core_->waitLoaded()) {
        core_->learnFromCorrection(originalFullText, correctedFullText);
    }
}

std::optional<std::string> LocalTypoDictionary::forgetLearned(std::string_view typo) {
    if (!core_->waitLoaded()) {
        return std::nullopt;
    }
    return core_->forgetLearned(typo);
}

bool LocalTypoDictionary::isLoaded() const {
    return core_->isLoaded();
}

void LocalTypoDictionary::startPeriodicSync() {
    std::weak_ptr<Core> weak = core_;
    auto timer = std::make_unique<dispatch::RepeatingTimer>(core_->utilityQueue, kFirstSyncDelay,
                                                            kSyncInterval, [weak] {
                                                                if (auto core = weak.lock()) {
                                                                    core->sync();
                                                                }
                                                            });
    std::unique_ptr<dispatch::RepeatingTimer> previous;
    {
        std::lock_guard lock(timerMutex_);
        previous = std::exchange(syncTimer_, std::move(timer));
    }
    if (previous) {
        previous->cancel();
    }
}

void LocalTypoDictionary::stopPeriodicSync() {
    std::unique_ptr<dispatch::RepeatingTimer> previous;
    {
        std::lock_guard lock(timerMutex_);
        previous = std::move(syncTimer_);
    }
    if (previous) {
        previous->cancel();
    }
}

bool LocalTypoDictionary::waitUntilLoaded() const {
    return core_->waitLoaded();
}

void LocalTypoDictionary::syncNow() {
    core_->sync();
}

std::size_t LocalTypoDictionary::mergedCount() const {
    core_->waitLoaded();
    return core_->snapshot()->merged.size();
}

std::size_t LocalTypoDictionary::learnedCount() const {
    core_->waitLoaded();
    return core_->snapshot()->learned->size();
}

std::size_t LocalTypoDictionary::languageCount(std::string_view language) const {
    core_->waitLoaded();
    return core_->snapshot()->language(language).size();
}

std::optional<std::string> LocalTypoDictionary::lookupLearned(std::string_view typo) const {
    core_->waitLoaded();
    return lookup(*core_->snapshot()->learned, typo);
}

std::optional<std::string> LocalTypoDictionary::lookupMerged(std::string_view typo) const {
    core_->waitLoaded();
    const auto state = core_->snapshot();
    const std::string* found = state->merged.find(typo);
    return found == nullptr ? std::nullopt : std::optional<std::string>(*found);
}

std::optional<std::string> LocalTypoDictionary::lookupLanguage(std::string_view language,
                                                               std::string_view typo) const {
    core_->waitLoaded();
    return lookup(core_->snapshot()->language(language), typo);
}

std::string LocalTypoDictionary::learnedFilePath() const {
    return core_->learnedPath;
}

std::string LocalTypoDictionary::syncedFilePath() const {
    return core_->syncedPath;
}

}  // namespace quorix
