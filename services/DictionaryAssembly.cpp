#include "services/DictionaryAssembly.h"

#include <utility>

#include "core/config/CloudEndpoint.h"

namespace quorix::services {

LocalTypoDictionary::Dependencies dictionaryDependencies(const DictionaryParts& parts,
                                                         DictionaryFolders folders,
                                                         bool startSync) {
    LocalTypoDictionary::Dependencies deps{
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
        .loadQueue = parts.loadQueue,
        .storage = folders.storage,
    };
    if (parts.settings != nullptr) {
        AppConfig* settings = parts.settings;
        deps.isPersonalWord = [settings](std::string_view word) {
            return settings->isWordWhitelisted(word);
        };
        deps.correctAccents = [settings] { return settings->correctAccents(); };
        deps.syncURL = CloudEndpoint::dictionaryURL(settings->cloudProxyURL());
    }
    return deps;
}

}  // namespace quorix::services
