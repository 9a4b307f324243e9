#pragma once
// Fakes and helpers shared by the knowledge tests: a scripted spell checker, a
// fixed-language recogniser, and a dictionary wired to them over a temporary
// configuration folder.

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
#include "platform/LanguageRecognizer.h"
#include "platform/SpellChecker.h"
#include "platform/sim/MemoryFileSystem.h"
#include "platform/sim/SimPreferencesStore.h"
#include "services/DictionaryAssembly.h"
#include "tests/core/config/ConfigTestSupport.h"

namespace quorix::testing {

// Accepts exactly the words it is given (any language); records the languages
// it is asked about.
class ScriptedSpellChecker final : public platform::SpellChecker {
  public:
    explicit ScriptedSpellChecker(std::set<std::string> accepted)
        : accepted_(std::move(accepted)) {}
    bool isMisspelled(std::string_view word, std::string_view language) override {
        std::lock_guard lock(mutex_);
        languages_.insert(std::string(language));
        return !accepted_.contains(std::string(word));
    }
    void accept(const std::string& word) {
        std::lock_guard lock(mutex_);
        accepted_.insert(word);
    }
    std::set<std::string> languagesAsked() {
        std::lock_guard lock(mutex_);
        return languages_;
    }

  private:
    std::mutex mutex_;
    std::set<std::string> accepted_;
    std::set<std::string> languages_;
};

// Reports one fixed code for every text (the detector still answers "it" for
// texts under three words).
class FixedRecognizer final : public platform::LanguageRecognizer {
  public:
    explicit FixedRecognizer(std::string code) : code_(std::move(code)) {}
    void reset() override {}
    void processString(std::string_view) override {}
    std::string dominantLanguage() override { return code_; }

  private:
    std::string code_;
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
    // Log lines without their time stamps.
    std::vector<std::string> logMessages() const {
        std::vector<std::string> out;
        for (const auto& line : logger.recentLines()) {
            const auto pos = line.find("] ");
            std::string message = pos == std::string::npos ? line : line.substr(pos + 2);
            out.push_back(message.substr(0, message.find_last_not_of('\n') + 1));
        }
        return out;
    }

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
