#pragma once
// A dictionary wired to fakes over a temporary configuration folder, shared
// by the knowledge tests.

#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "core/config/AppLogger.h"
#include "core/dispatch/ManualQueue.h"
#include "core/dispatch/VirtualClock.h"
#include "core/knowledge/LanguageDetector.h"
#include "core/knowledge/LocalTypoDictionary.h"
#include "core/net/OfflineHttpClient.h"
#include "core/text/Text.h"
#include "platform/SpellChecker.h"
#include "platform/sim/MemoryFileSystem.h"
#include "platform/sim/SimPreferencesStore.h"
#include "services/DictionaryAssembly.h"
#include "tests/core/config/ConfigTestSupport.h"
#include "tests/core/knowledge/FixedRecognizer.h"
#include "tests/core/knowledge/WordListSpellChecker.h"

namespace quorix::testing {

// Accepts exactly the words it is given, in every language and case-sensitively.
struct ScriptedSpellChecker final : WordListSpellChecker {
    explicit ScriptedSpellChecker(const std::set<std::string>& accepted)
        : WordListSpellChecker(accepted, /*strict=*/true, /*foldCase=*/false) {}
};

// Everything a LocalTypoDictionary needs, with the shipped-like fixtures of
// tests/data/knowledge as its resource and development folders.
struct DictionaryRig {
    explicit DictionaryRig(std::string language = "it", std::set<std::string> accepted = {})
        : spell(std::move(accepted)),
          recognizer(std::move(language)),
          detector(recognizer),
          logger(config.path() + "/log", fs, clock, nullptr),
          utility(clock) {}

    LocalTypoDictionary::Dependencies dependencies(net::HttpClient& client,
                                                   platform::SpellChecker* spellChecker = nullptr) {
        auto deps = services::dictionaryDependencies(
            {.files = *files,
             .spell = spellChecker != nullptr ? *spellChecker : spell,
             .detector = detector,
             .logger = logger,
             .http = client,
             .prefs = prefs,
             .utilityQueue = utility,
             .clock = clock},
            {.configFolder = config.path() + "/penwarden",
             .resourceFolders = {std::string(QUORIX_TEST_DATA_DIR) + "/knowledge/resources"},
             .developmentFolder = std::string(QUORIX_TEST_DATA_DIR) + "/knowledge/dev"});
        deps.syncURL = "http://127.0.0.1:9/v1/dictionary/it";
        deps.isPersonalWord = [this](std::string_view w) {
            return personal.contains(std::string(w));
        };
        deps.correctAccents = [this] { return correctAccents.load(); };
        return deps;
    }
    std::unique_ptr<LocalTypoDictionary> make() {
        return std::make_unique<LocalTypoDictionary>(dependencies(offline));
    }
    // Writes a file into the configuration folder, creating the folder.
    void writeConfig(const std::string& name, const std::string& data) const {
        std::filesystem::create_directories(config.path() + "/penwarden");
        writeFile(config.path() + "/penwarden/" + name, data);
    }
    std::vector<std::string> logMessages() const { return testing::logMessages(logger); }

    TempFolder config;
    dispatch::VirtualClock clock;
    ScriptedSpellChecker spell;
    FixedRecognizer recognizer;
    LanguageDetector detector;
    platform::PosixFileSystem fs;
    platform::FileSystem* files = &fs;  // the dictionary's; tests may swap it
    AppLogger logger;
    platform::SimPreferencesStore prefs;
    dispatch::ManualQueue utility;
    net::OfflineHttpClient offline;
    // The personal dictionary and the accents setting the dictionary sees.
    std::set<std::string> personal;
    std::atomic<bool> correctAccents{false};
};

}  // namespace quorix::testing
