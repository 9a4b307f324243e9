#include "services/DictionaryAssembly.h"

#include <utility>

namespace quorix::services {

LocalTypoDictionary::Dependencies dictionaryDependencies(const DictionaryParts& parts,
                                                         DictionaryFolders folders,
                                                         bool startSync) {
    return LocalTypoDictionary::Dependencies{
        .configFolder = std::move(folders.configFolder),
        .files = parts.files,
        .resourceFolders = std::move(folders.resourceFolders),
        .developmentFolder = std::move(folders.developmentFolder),
        .spell = parts.spell,
        .detector = parts.detector,
        .logger = parts.logger,
        .http = parts.http,
        .prefs = parts.prefs,
        .utilityQueue = parts.utilityQueue,
        .clock = parts.clock,
        .startSyncOnInit = startSync,
        .storage = folders.storage,
    };
}

}  // namespace quorix::services
