#pragma once
// Everything a LocalTypoDictionary needs, wired for measurements: the real
// spell checker and CLD2, a scratch configuration folder (removed on
// destruction), no network and no sync, the shipped typo maps.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "core/config/AppLogger.h"
#include "core/dispatch/ManualQueue.h"
#include "core/dispatch/VirtualClock.h"
#include "core/knowledge/LanguageDetector.h"
#include "core/knowledge/LocalTypoDictionary.h"
#include "core/net/OfflineHttpClient.h"
#include "platform/linux/Cld2LanguageRecognizer.h"
#include "platform/linux/NuspellSpellChecker.h"
#include "platform/sim/MemoryFileSystem.h"
#include "platform/sim/SimPreferencesStore.h"

namespace quorix {

struct OfflineDictionaryServices {
    std::string folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "quorix-bench-XXXXXX").string();
        const char* made = ::mkdtemp(pattern.data());
        return made == nullptr ? std::string() : std::string(made);
    }();
    dispatch::VirtualClock clock;
    platform::MemoryFileSystem fs;
    AppLogger logger{folder, fs, clock, nullptr};
    platform::NuspellSpellChecker spell;
    platform::Cld2LanguageRecognizer recognizer;
    LanguageDetector detector{recognizer};
    platform::SimPreferencesStore prefs;
    dispatch::ManualQueue utility{clock};
    net::OfflineHttpClient http;

    ~OfflineDictionaryServices() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::unique_ptr<LocalTypoDictionary> load() {
        return std::make_unique<LocalTypoDictionary>(LocalTypoDictionary::Dependencies{
            .configFolder = folder + "/config",
            .files = fs,
            .resourceFolders = {},
            .developmentFolder = std::string(QUORIX_SOURCE_DIR) + "/resources/Dictionaries",
            .spell = spell,
            .detector = detector,
            .logger = logger,
            .http = http,
            .prefs = prefs,
            .utilityQueue = utility,
            .clock = clock,
            .startSyncOnInit = false});
    }
};

}  // namespace quorix
