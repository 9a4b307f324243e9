#pragma once
// The one place that fills the typo dictionary's dependencies: the command
// line's user services, the test fixtures, the benchmarks and the tools all
// build their LocalTypoDictionary from these two records.

#include <string>
#include <vector>

#include "core/config/AppConfig.h"
#include "core/config/AppLogger.h"
#include "core/config/StorageMode.h"
#include "core/dispatch/Clock.h"
#include "core/dispatch/Queue.h"
#include "core/knowledge/LanguageDetector.h"
#include "core/knowledge/LocalTypoDictionary.h"
#include "core/net/HttpClient.h"
#include "platform/FileSystem.h"
#include "platform/PreferencesStore.h"
#include "platform/SpellChecker.h"

namespace quorix::services {

// The collaborators of the dictionary; each must outlive it.
struct DictionaryParts {
    platform::FileSystem& files;
    platform::SpellChecker& spell;
    LanguageDetector& detector;
    AppLogger& logger;
    net::HttpClient& http;  // the sync's client
    platform::PreferencesStore& prefs;
    dispatch::Queue& utilityQueue;  // runs the sync timer
    dispatch::Clock& clock;
    // The settings whose personal dictionary, accent switch and correction
    // service the dictionary obeys (null: no personal words, accent-only pairs
    // never act, no sync).
    AppConfig* settings = nullptr;
    // Where the sources load (null: before the constructor returns).
    dispatch::Queue* loadQueue = nullptr;
};

// Where the dictionary reads and writes its files.
struct DictionaryFolders {
    std::string configFolder;
    // Resource folders, most specific first.
    std::vector<std::string> resourceFolders;
    // Development-time dictionaries folder, searched last ("" = none).
    std::string developmentFolder;
    // readOnly: the dictionary creates and writes nothing.
    StorageMode storage = StorageMode::readWrite;
};

// The dependencies of a dictionary over `parts` and `folders`, with the sync
// endpoint of the configured correction service (none without settings); the periodic sync starts
// at construction only when `startSync` is set.
LocalTypoDictionary::Dependencies dictionaryDependencies(const DictionaryParts& parts,
                                                         DictionaryFolders folders,
                                                         bool startSync = false);

}  // namespace quorix::services
