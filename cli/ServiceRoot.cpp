#include "cli/ServiceRoot.h"

#include "core/config/CloudEndpoint.h"
#include "core/config/ConfigFolder.h"
#include "core/net/CurlHttpClient.h"
#include "core/net/OfflineHttpClient.h"

namespace quorix::cli {

ServiceRoot::ServiceRoot(ServiceRootOptions options)
    : clock_(dispatch::RealClock::instance()),
      configFolder_(configFolderPath(env_.homeDirectory())) {
    logger_ = std::make_unique<AppLogger>(configFolder_, clock_, options.logEcho, options.storage);
    workspace_ = std::make_unique<platform::LinuxWorkspace>(
        platform::LinuxWorkspace::forHome(env_.homeDirectory()));
    config_ = std::make_unique<AppConfig>(configFolder_, *logger_, clock_, *workspace_, env_,
                                          options.storage);
    mainQueue_ = std::make_unique<dispatch::SerialQueue>("com.quorix.main", clock_);
    dispatcher_ = std::make_unique<dispatch::Dispatcher>(clock_, *mainQueue_);
    cache_ = std::make_unique<TypoCache>(configFolder_, dispatcher_->global(dispatch::QoS::utility),
                                         *logger_);
    spell_ = std::make_unique<platform::NuspellSpellChecker>();
    recognizer_ = std::make_unique<platform::HybridLanguageRecognizer>(*spell_);
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
    dictionary_ = std::make_unique<LocalTypoDictionary>(LocalTypoDictionary::Dependencies{
        .configFolder = configFolder_,
        .resourceFolders = env_.resourceFolders(),
        .developmentFolder = {},
        .spell = *spell_,
        .detector = *detector_,
        .logger = *logger_,
        .http = *syncHttp_,
        .prefs = *preferences_,
        .utilityQueue = dispatcher_->global(dispatch::QoS::utility),
        .clock = clock_,
        .syncURL = CloudEndpoint::dictionaryURL(config_->cloudProxyURL()),
        .startSyncOnInit = options.startSync,
    });
    ai_ = std::make_unique<AIClient>(*config_, *logger_, *aiHttp_, env_, clock_);

    AppLogger::setShared(logger_.get());
    AppConfig::setShared(config_.get());
    TypoCache::setShared(cache_.get());
    LanguageDetector::setShared(detector_.get());
    LocalTypoDictionary::setShared(dictionary_.get());
    AIClient::setShared(ai_.get());
}

ServiceRoot::~ServiceRoot() {
    dictionary_->stopPeriodicSync();
    dispatcher_->drainGlobal();
    AIClient::setShared(nullptr);
    LocalTypoDictionary::setShared(nullptr);
    LanguageDetector::setShared(nullptr);
    TypoCache::setShared(nullptr);
    AppConfig::setShared(nullptr);
    AppLogger::setShared(nullptr);
    // Members go in reverse order: the AI client waits for its exchanges, the
    // dispatcher drops delayed work that is not yet due.
}

}  // namespace quorix::cli
