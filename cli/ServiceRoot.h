#pragma once
// The composition root of the command-line program: builds the user's real
// services over their configuration folder ($HOME/.config/penwarden) and owns
// them; commands reach them through this object, never through a registry.
//
// The clock is the real one; the main queue is a run-loop thread. The AI talks
// to the network through an HTTP client limited to 5.0 s per exchange (or
// through an offline client that fails every request at once); the dictionary
// sync has its own client and its timer only runs when asked for.

#include <cstdio>
#include <memory>
#include <string>

#include "core/ai/AIClient.h"
#include "core/config/AppConfig.h"
#include "core/config/AppLogger.h"
#include "core/config/StorageMode.h"
#include "core/dispatch/Dispatcher.h"
#include "core/dispatch/SerialQueue.h"
#include "core/knowledge/LanguageDetector.h"
#include "core/knowledge/LocalTypoDictionary.h"
#include "core/knowledge/TypoCache.h"
#include "core/net/HttpClient.h"
#include "language/HybridLanguageRecognizer.h"
#include "language/NuspellSpellChecker.h"
#include "platform/linux/LinuxPreferencesStore.h"
#include "platform/linux/LinuxSystemEnvironment.h"
#include "platform/linux/LinuxWorkspace.h"
#include "platform/posix/PosixFileSystem.h"
#include "services/InterceptorAssembly.h"

namespace quorix::cli {

struct ServiceRootOptions {
    // Every AI request fails at once: only on-device stages act.
    bool offline = false;
    // Starts the hourly dictionary sync (long-running programs only).
    bool startSync = false;
    // Loads the typo dictionary on the utility queue instead of before the
    // constructor returns (long-running programs; a call made meanwhile waits
    // for the load at most LocalTypoDictionary::kLoadWait).
    bool loadInBackground = false;
    // Stream the log is echoed to (nullptr: none).
    std::FILE* logEcho = stderr;
    // readOnly: nothing is created or written in the configuration folder.
    StorageMode storage = StorageMode::readWrite;
};

class ServiceRoot {
  public:
    static constexpr double kAITotalTimeoutSeconds = 5.0;

    explicit ServiceRoot(ServiceRootOptions options = {});
    // Lets queued background work (cache writes, learning) finish.
    // Stops the background sync and waits until every queued piece of work
    // (cache and learning writes included) has finished. Afterwards the
    // process may end without destroying the services.
    void settle();
    ~ServiceRoot();
    ServiceRoot(const ServiceRoot&) = delete;
    ServiceRoot& operator=(const ServiceRoot&) = delete;

    platform::LinuxSystemEnvironment& environment() { return env_; }
    const std::string& configFolder() const { return configFolder_; }
    dispatch::Clock& clock() { return clock_; }
    platform::FileSystem& fileSystem() { return fs_; }
    AppLogger& logger() { return *logger_; }
    AppConfig& config() { return *config_; }
    dispatch::Dispatcher& dispatcher() { return *dispatcher_; }
    TypoCache& cache() { return *cache_; }
    language::NuspellSpellChecker& spellChecker() { return *spell_; }
    LanguageDetector& languageDetector() { return *detector_; }
    LocalTypoDictionary& dictionary() { return *dictionary_; }
    AIClient& ai() { return *ai_; }
    // The portable services, as the interceptor's assembly takes them.
    services::CoreServices core();

  private:
    platform::LinuxSystemEnvironment env_;
    platform::PosixFileSystem& fs_ = platform::PosixFileSystem::instance();
    dispatch::Clock& clock_;
    const std::string configFolder_;
    std::unique_ptr<AppLogger> logger_;
    std::unique_ptr<platform::LinuxWorkspace> workspace_;
    std::unique_ptr<AppConfig> config_;
    std::unique_ptr<dispatch::SerialQueue> mainQueue_;
    std::unique_ptr<dispatch::Dispatcher> dispatcher_;
    std::unique_ptr<TypoCache> cache_;
    std::unique_ptr<language::NuspellSpellChecker> spell_;
    std::unique_ptr<language::HybridLanguageRecognizer> recognizer_;
    std::unique_ptr<LanguageDetector> detector_;
    std::unique_ptr<platform::LinuxPreferencesStore> preferences_;
    std::unique_ptr<net::HttpClient> syncHttp_;
    std::unique_ptr<net::HttpClient> aiHttp_;
    std::unique_ptr<LocalTypoDictionary> dictionary_;
    std::unique_ptr<AIClient> ai_;
};

}  // namespace quorix::cli
