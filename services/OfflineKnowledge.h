#pragma once
// The on-device knowledge graph the benchmarks and tools measure: nuspell and
// the hybrid language recogniser, a logger and a scratch configuration folder
// (removed on destruction), virtual time, no network, no sync, no preferences
// file. Dictionaries are loaded from a development folder only.

#include <memory>
#include <string>

#include "core/config/AppLogger.h"
#include "core/dispatch/ManualQueue.h"
#include "core/dispatch/VirtualClock.h"
#include "core/knowledge/LanguageDetector.h"
#include "core/knowledge/LocalTypoDictionary.h"
#include "core/net/OfflineHttpClient.h"
#include "language/HybridLanguageRecognizer.h"
#include "language/NuspellSpellChecker.h"
#include "platform/FileSystem.h"
#include "platform/sim/SimPreferencesStore.h"

namespace quorix::services {

class OfflineKnowledge {
  public:
    OfflineKnowledge();
    ~OfflineKnowledge();
    OfflineKnowledge(const OfflineKnowledge&) = delete;
    OfflineKnowledge& operator=(const OfflineKnowledge&) = delete;

    // A dictionary over `dictionariesFolder` (typos_<lang>.json files); its
    // learned and synced pairs live in the scratch folder. Each call loads anew.
    std::unique_ptr<LocalTypoDictionary> loadDictionary(const std::string& dictionariesFolder);

    const std::string& scratchFolder() const { return scratch_; }
    language::NuspellSpellChecker& spell() { return spell_; }
    LanguageDetector& detector() { return detector_; }
    AppLogger& logger() { return logger_; }
    // The real file system the scratch folder lives on.
    platform::FileSystem& files();
    dispatch::Clock& clock() { return clock_; }

  private:
    std::string scratch_;
    dispatch::VirtualClock clock_;
    AppLogger logger_;
    language::NuspellSpellChecker spell_;
    language::HybridLanguageRecognizer recognizer_{spell_};
    LanguageDetector detector_{recognizer_};
    platform::SimPreferencesStore prefs_;
    dispatch::ManualQueue utility_{clock_};
    net::OfflineHttpClient http_;
};

}  // namespace quorix::services
