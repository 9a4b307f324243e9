#include "cli/ServiceRoot.h"

#include "core/config/CloudEndpoint.h"
#include "core/config/ConfigFolder.h"
#include "core/net/CurlHttpClient.h"
#include "core/net/OfflineHttpClient.h"
#include "services/DictionaryAssembly.h"

namespace quorix::cli {

ServiceRoot::ServiceRoot(ServiceRootOptions options)
    : clock_(dispatch::RealClock::instance()),
      configFolder_(configFolderPath(env_.homeDirectory())) {
    logger_ =
        std::make_unique<AppLogger>(configFolder_, fs_, clock_, options.logEcho, options.storage);
    workspace_ = std::make_unique<platform::LinuxWorkspace>(
        platform::LinuxWorkspace::forHome(env_.homeDirectory()));
    config_ = std::make_unique<AppConfig>(configFolder_, fs_, *logger_, clock_, *workspace_, env_,
                                          options.storage);
    mainQueue_ = std::make_unique<dispatch::SerialQueue>("com.quorix.main", clock_);
    dispatcher_ = std::make_unique<dispatch::Dispatcher>(clock_, *mainQueue_);
    cache_ = std::make_unique<TypoCache>(configFolder_, fs_,
                                         dispatcher_->global(dispatch::QoS::utility), *logger_);
    spell_ = std::make_unique<language::NuspellSpellChecker>();
    recognizer_ = std::make_unique<language::HybridLanguageRecognizer>(*spell_);
    detector_ = std::make_unique<LanguageDetector>(*recognizer_);
    preferences_ = std::make_unique<platform::LinuxPreferencesStore>(
        platform::LinuxPreferencesStore::defaultPath(env_.homeDirectory()));
    syncHttp_ = std::make_unique<net::CurlHttpClient>();
    if (options.offline) {
        aiHttp_ = std::make_unique<net::OfflineHttpClient>();
    } else {
        net::CurlHttpClient::Options aiOptions;
        aiOptions.totalTimeout = dispatch::seconds(kAITotalTimeoutSeconds);
        aiHttp_ = std::make_unique<net::CurlHttpClient>(aiOptions);
    }
    dictionary_ = std::make_unique<LocalTypoDictionary>(services::dictionaryDependencies(
        services::DictionaryParts{.files = fs_,
                                  .spell = *spell_,
                                  .detector = *detector_,
                                  .logger = *logger_,
                                  .http = *syncHttp_,
                                  .prefs = *preferences_,
                                  .utilityQueue = dispatcher_->global(dispatch::QoS::utility),
                                  .clock = clock_,
                                  .settings = config_.get(),
                                  .loadQueue = options.loadInBackground
                                                   ? &dispatcher_->global(dispatch::QoS::utility)
                                                   : nullptr},
        services::DictionaryFolders{.configFolder = configFolder_,
                                    .resourceFolders = env_.resourceFolders(),
                                    .developmentFolder = {},
                                    .storage = options.storage},
        options.startSync));
    ai_ = std::make_unique<AIClient>(*config_, *logger_, *aiHttp_, env_, clock_);
}

void ServiceRoot::settle() {
    dictionary_->stopPeriodicSync();
    dispatcher_->drainGlobal();
}

ServiceRoot::~ServiceRoot() {
    dictionary_->stopPeriodicSync();
    dispatcher_->drainGlobal();
    // Members go in reverse order: the AI client waits for its exchanges, the
    // dispatcher drops delayed work that is not yet due.
}

services::CoreServices ServiceRoot::core() {
    return services::CoreServices{.config = *config_,
                                  .logger = *logger_,
                                  .cache = *cache_,
                                  .dictionary = *dictionary_,
                                  .ai = *ai_,
                                  .detector = *detector_,
                                  .spell = *spell_,
                                  .dispatcher = *dispatcher_};
}

}  // namespace quorix::cli
