#pragma once
// State and operations of a LocalTypoDictionary, kept in a shared object so
// that the sync timer and HTTP replies can reach it weakly and outlive nothing.

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/config/StoredFile.h"
#include "core/knowledge/LearningRules.h"
#include "core/knowledge/LocalTypoCorrector.h"
#include "core/knowledge/LocalTypoDictionary.h"
#include "core/knowledge/NoisyChannelCorrector.h"
#include "core/knowledge/TypoTables.h"

namespace quorix {

struct LocalTypoDictionary::Core : std::enable_shared_from_this<LocalTypoDictionary::Core> {
    explicit Core(const Dependencies& deps);

    // The current state of the maps (a pointer copy under a short lock).
    std::shared_ptr<const TypoTables> snapshot() const;

    // Writers: call with writeMutex held; publish() swaps the state whole.
    void publish(std::shared_ptr<const TypoTables> tables);

    // Loading, run once in this order, then markLoaded().
    void loadDictionaries(const std::vector<std::string>& folders);
    void loadLearnedTypos();
    void loadSyncedTypos();
    void markLoaded();
    // Waits for markLoaded() at most kLoadWait; false when loading has not
    // ended by then.
    bool waitLoaded() const;
    bool isLoaded() const;

    std::optional<std::string> tryCorrectLocally(std::string_view text) const;
    ModelPass correctWithKeyboardModel(std::string_view text) const;
    void loadKeyboardModel(std::string_view text) const;
    // keyboard_<lang>.txt or context_<lang>.txt from the first candidate
    // folder that has it.
    std::optional<std::string> readModelFile(std::string_view fileName) const;
    void learnFromCorrection(std::string_view original, std::string_view corrected);
    std::optional<std::string> forgetLearned(std::string_view typo);
    void sync();
    void handleSyncReply(const net::HttpResult& result);

    // Sets each pair into the Italian map and the merged map (overwriting) and
    // publishes the result. Call with writeMutex held.
    void mergeItalianLocked(const TypoMap& pairs);
    // Rewrites learned_typos.json with the learned pairs current at the time
    // of writing, so that the last write always holds the newest state.
    void saveLearned();

    const std::string configFolder;
    platform::FileSystem& files;
    const StorageMode storage;
    StoredFile learnedFile;  // guarded by fileMutex
    // Typos of learned_typos.json as this process last read or wrote it
    // (fileMutex): others on disk were learned by another process.
    std::unordered_set<std::string> learnedSyncedKeys;
    StoredFile syncedFile;  // guarded by syncReplyMutex
    const std::string learnedPath;
    const std::string syncedPath;
    const std::string syncURL;
    const dispatch::Duration syncTimeout;
    platform::SpellChecker& spell;
    LanguageDetector& detector;
    AppLogger& logger;
    net::HttpClient& http;
    platform::PreferencesStore& prefs;
    dispatch::Queue& utilityQueue;
    dispatch::Clock& clock;
    const std::function<bool()> correctAccents;
    const LearningRules rules;
    const LocalTypoCorrector corrector;
    const std::vector<std::string> folders;  // candidate resource folders, in order
    const NoisyChannelCorrector keyboard;

    std::mutex writeMutex;      // serialises every writer of the maps
    std::mutex fileMutex;       // serialises writes of learned_typos.json
    std::mutex syncReplyMutex;  // one sync reply merged and stored at a time

  private:
    mutable std::mutex loadMutex;
    mutable std::condition_variable loadCv;
    bool loaded = false;
    mutable std::mutex snapshotMutex;  // guards only the pointer below
    std::shared_ptr<const TypoTables> tables;
};

}  // namespace quorix
