#pragma once
// Frequent-typo dictionary for it, en, de, es, fr, corrected on the device,
// extended by pairs learned from the user's AI corrections and by an Italian
// list synced hourly from the cloud dictionary endpoint.
//
// Sources and precedence: the language files typos_<lang>.json (first
// candidate folder that yields a valid file wins, per language), the built-in
// pairs (known typos only; they correct nothing), learned_typos.json and
// synced_typos_it.json in the configuration folder. A learned correction beats
// every other for the same typo; a synced pair replaces the shipped Italian one.
//
// Only slips are learned (see LearningRules), never from formal rewrites; a
// pair from any source replaces only a word that the spell checker rejects and
// the personal dictionary does not hold. Learned pairs that break these rules
// are dropped when the learned file is loaded, and the file rewritten once.
//
// Thread: any. tryCorrectLocally() reads an immutable snapshot of the maps and
// never blocks on writers beyond copying a pointer; learning, loading and sync
// merges are serialised by the writers' lock and publish a new snapshot whole.
//
// Files: learned_typos.json is rewritten under the configuration folder's lock,
// merged with pairs other processes learned meanwhile. A stored file that
// cannot be parsed is kept aside before the first write; failed writes are
// logged once and the pairs stay in memory.
// With a load queue, loading runs there and every other operation first waits
// for it, at most kLoadWait on the clock.

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/config/AppLogger.h"
#include "core/config/ServiceEndpoints.h"
#include "core/config/StorageMode.h"
#include "core/dispatch/Clock.h"
#include "core/dispatch/Queue.h"
#include "core/dispatch/RepeatingTimer.h"
#include "core/knowledge/LanguageDetector.h"
#include "core/knowledge/NoisyChannelCorrector.h"
#include "core/net/HttpClient.h"
#include "platform/FileSystem.h"
#include "platform/PreferencesStore.h"
#include "platform/SpellChecker.h"

namespace quorix {

class LocalTypoDictionary {
  public:
    // Preferences key of the entity tag of the last successful sync reply.
    static constexpr std::string_view kEtagPreferenceKey = "quorix_dict_etag_it";
    static constexpr dispatch::Duration kFirstSyncDelay = std::chrono::seconds(5);
    static constexpr dispatch::Duration kSyncInterval = std::chrono::seconds(3600);
    // Longest wait of an operation for a background load still running.
    static constexpr dispatch::Duration kLoadWait = std::chrono::seconds(5);

    struct Dependencies {
        std::string configFolder;  // created (0700) when missing
        platform::FileSystem& files;
        // Resource folders, most specific first; each is searched as
        // "<folder>/Dictionaries", then "<folder>".
        std::vector<std::string> resourceFolders;
        // Development-time dictionaries folder, searched last ("" = none).
        std::string developmentFolder;
        platform::SpellChecker& spell;
        LanguageDetector& detector;
        AppLogger& logger;
        net::HttpClient& http;
        platform::PreferencesStore& prefs;
        dispatch::Queue& utilityQueue;  // runs the sync timer
        dispatch::Clock& clock;
        // Dictionary endpoint; empty: no sync at all.
        std::string syncURL = {};
        dispatch::Duration syncTimeout = std::chrono::seconds(10);
        // Starts the periodic sync at the end of construction.
        bool startSyncOnInit = true;
        // Words of the user's personal dictionary (empty: none): never
        // replaced, never learned.
        std::function<bool(std::string_view)> isPersonalWord = {};
        // Whether pairs that only add or change an accent act (empty: never).
        std::function<bool()> correctAccents = {};
        // Where the sources are loaded; null: before the constructor returns.
        dispatch::Queue* loadQueue = nullptr;
        // readOnly: the folder is not created, nothing is written, and a
        // learned file holding broken pairs is not rewritten.
        StorageMode storage = StorageMode::readWrite;
    };

    // Loads every source (in the order language files, built-in pairs, learned
    // pairs, synced pairs) and logs the start-up line, on the load queue when
    // one is given; then starts the periodic sync unless told not to.
    explicit LocalTypoDictionary(Dependencies deps);
    ~LocalTypoDictionary();
    LocalTypoDictionary(const LocalTypoDictionary&) = delete;
    LocalTypoDictionary& operator=(const LocalTypoDictionary&) = delete;

    // The message with every locally known typo replaced; nullopt when nothing
    // was replaced or the text is blank. Performs no I/O besides spell checks.
    std::optional<std::string> tryCorrectLocally(std::string_view text) const;

    // The last on-device step, run on what the maps left (NoisyChannelCorrector):
    // the words of `text` that every spell checker rejects, corrected by the
    // keyboard model of the detected language when it is confident, with a
    // decision for each word it was asked about. A language's model
    // (keyboard_<lang>.txt, searched like the typo files) loads on its first
    // use. Performs no I/O besides spell checks and that first read.
    ModelPass correctWithKeyboardModel(std::string_view text) const;
    // Loads the keyboard model of the language detected for `text` now, if
    // it is not loaded yet, so that callers can keep loading out of their
    // time limits.
    void loadKeyboardModel(std::string_view text) const;

    // Learns the word pairs changed by an AI correction of a whole message and
    // rewrites learned_typos.json when something new was learned. Typos known
    // from any source are never learned again; pairs LearningRules refuses
    // are never learned.
    void learnFromCorrection(std::string_view originalFullText, std::string_view correctedFullText);

    // Removes the learned pair of `typo` (lowercased) and rewrites
    // learned_typos.json; the correction it had, or nullopt when none was
    // learned. The typo stays known, so it is not learned again.
    std::optional<std::string> forgetLearned(std::string_view typo);

    // Whether loading has ended (always true without a load queue).
    bool isLoaded() const;

    // Waits for loading to end, at most kLoadWait; false when it has not.
    bool waitUntilLoaded() const;

    // Sync timer on the utility queue: first after kFirstSyncDelay, then every
    // kSyncInterval. Starting replaces a running timer; stopping is idempotent.
    void startPeriodicSync();
    void stopPeriodicSync();
    // One conditional GET of the Italian list; the reply is handled on the
    // HTTP client's callback thread.
    void syncNow();

    // Read-only views for tests and diagnostics.
    std::size_t mergedCount() const;
    std::size_t learnedCount() const;
    std::size_t languageCount(std::string_view language) const;
    std::optional<std::string> lookupLearned(std::string_view typo) const;
    std::optional<std::string> lookupMerged(std::string_view typo) const;
    std::optional<std::string> lookupLanguage(std::string_view language,
                                              std::string_view typo) const;
    std::string learnedFilePath() const;
    std::string syncedFilePath() const;

  private:
    struct Core;  // shared with timer and HTTP callbacks, which hold it weakly

    std::shared_ptr<Core> core_;
    std::mutex timerMutex_;
    std::unique_ptr<dispatch::RepeatingTimer> syncTimer_;
};

}  // namespace quorix
