#pragma once
// The store of every user setting, the application lists, the personal
// dictionary and the running statistics. Persisted as config.json (22 members)
// and whitelist.txt in the configuration folder.
//
// Thread safety: any thread may read or write. Getters return copies taken under
// a shared lock; setters and operations take the exclusive lock. Observers of a
// field (ConfigField) are called on the writing thread before the change, with no
// lock held. Nothing saves on assignment: callers change fields, then save().
// save() and saveWhitelist() serialise concurrent calls, in this process and
// across processes sharing the folder (its lock file); each merges what others
// saved since (see AppConfigSave.cpp) and replaces the file atomically, so a
// reader of the file sees one whole save. A config.json that cannot be parsed
// is kept aside before the first save; a failed write is logged once and the
// values stay in memory for the next save.

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/config/AIProvider.h"
#include "core/config/AppLanguage.h"
#include "core/config/AppLogger.h"
#include "core/config/ConfigField.h"
#include "core/config/ConfigObservers.h"
#include "core/config/ConfigState.h"
#include "core/config/CorrectionMode.h"
#include "core/config/ExcludedAppInfo.h"
#include "core/config/IconStyle.h"
#include "core/config/StorageMode.h"
#include "core/config/StoredFile.h"
#include "core/config/ToneStyle.h"
#include "core/dispatch/Clock.h"
#include "platform/FileSystem.h"
#include "platform/SystemEnvironment.h"
#include "platform/Workspace.h"

namespace quorix {

class AppConfig {
  public:
    // Sets the defaults, creates the folder (0700), then load() and loadWhitelist().
    // readOnly: the folder is not created and nothing is ever written (save(),
    // saveWhitelist() and the default whitelist.txt are skipped); the in-memory
    // state behaves as usual.
    AppConfig(std::string configFolder, platform::FileSystem& fs, AppLogger& logger,
              dispatch::Clock& clock, platform::Workspace& workspace,
              platform::SystemEnvironment& env, StorageMode storage = StorageMode::readWrite);
    AppConfig(const AppConfig&) = delete;
    AppConfig& operator=(const AppConfig&) = delete;

    // --- Locations
    std::string configFolder() const { return configFolder_; }
    std::string configURL() const { return configURL_; }
    std::string whitelistURL() const { return whitelistURL_; }
    StorageMode storageMode() const { return storage_; }

    // --- Fields
    std::string apiKey() const;
    std::string deepseekApiKey() const;
    std::string groqApiKey() const;
    std::string cloudProxyURL() const;
    AIProvider provider() const;
    bool isEnabled() const;
    bool soundEnabled() const;
    bool correctAccents() const;
    bool autoFixPunctuation() const;
    bool globalHotkeyEnabled() const;
    std::string soundName() const;
    IconStyle iconStyle() const;
    ToneStyle toneStyle() const;
    CorrectionMode mode() const;
    AppLanguage appLanguage() const;
    bool interceptAllApps() const;
    std::string modelName() const;
    std::set<std::string> whitelistWords() const;
    std::vector<std::string> targetApps() const;
    std::vector<std::string> blacklistedApps() const;
    std::vector<std::string> customBlacklistedApps() const;
    std::vector<std::string> executiveWorkApps() const;
    int64_t totalTyposCorrected() const;
    std::map<std::string, int64_t> appTypoCounts() const;
    std::optional<std::string> lastCorrectedOriginalWord() const;
    std::optional<std::string> lastOriginalFullText() const;
    std::optional<std::string> lastCorrectedFullText() const;
    dispatch::WallTime lastCorrectionDate() const;
    // A consistent copy of every field at one moment.
    ConfigState snapshot() const;

    void setApiKey(std::string value);
    void setDeepseekApiKey(std::string value);
    void setGroqApiKey(std::string value);
    void setCloudProxyURL(std::string value);
    void setProvider(AIProvider value);
    void setIsEnabled(bool value);
    void setSoundEnabled(bool value);
    void setCorrectAccents(bool value);
    void setAutoFixPunctuation(bool value);
    void setGlobalHotkeyEnabled(bool value);
    void setSoundName(std::string value);
    void setIconStyle(IconStyle value);
    void setToneStyle(ToneStyle value);
    void setMode(CorrectionMode value);
    void setAppLanguage(AppLanguage value);
    void setInterceptAllApps(bool value);
    void setModelName(std::string value);
    void setWhitelistWords(std::set<std::string> value);
    void setTargetApps(std::vector<std::string> value);
    void setCustomBlacklistedApps(std::vector<std::string> value);
    void setExecutiveWorkApps(std::vector<std::string> value);
    void setTotalTyposCorrected(int64_t value);
    void setAppTypoCounts(std::map<std::string, int64_t> value);
    void setLastCorrectedOriginalWord(std::optional<std::string> value);
    void setLastOriginalFullText(std::optional<std::string> value);
    void setLastCorrectedFullText(std::optional<std::string> value);
    void setLastCorrectionDate(dispatch::WallTime value);

    // Calls willChange on the writing thread before every change of field.
    [[nodiscard]] ObservationToken observe(ConfigField field, std::function<void()> willChange);

    // --- Persistence
    // Reads config.json into the fields; a missing or malformed file, or a member
    // of the wrong type, leaves the affected fields as they are.
    void load();
    // Writes the 22 stored members (exactly toJSON()) to config.json.
    void save();
    // The config.json document for the current fields: indented, members in
    // declaration order.
    std::string toJSON() const;

    // --- Application scope
    bool isAppTargeted(const std::optional<std::string>& bundleId,
                       const std::optional<std::string>& appName) const;
    bool isExecutiveApp(const std::optional<std::string>& bundleId,
                        const std::optional<std::string>& appName) const;
    bool isExecutiveAppEnabled(std::string_view name) const;
    void toggleExecutiveApp(std::string_view name);
    void addExecutiveApp(const std::string& appPath);
    void excludeApp(std::string_view name);
    void excludeAppAt(const std::string& appPath);
    void unexcludeApp(std::string_view name);
    ExcludedAppInfo getExcludedAppInfo(const std::string& id) const;
    // Display name under which statistics are counted ("Altro" when none).
    static std::string normalizeAppName(const std::optional<std::string>& name);

    // --- Personal dictionary
    void loadWhitelist();
    void saveWhitelist();
    void addWordToWhitelist(std::string_view word);
    void removeWordFromWhitelist(std::string_view word);
    bool isWordWhitelisted(std::string_view word) const;
    // Punctuation trimmed from both ends, then white space, then lowercased.
    static std::string normalizeWord(std::string_view word);

    // --- Statistics
    void recordTypo(const std::optional<std::string>& app);
    // The celebration text when totalTyposCorrected is exactly a milestone.
    std::optional<std::string> checkMilestone() const;
    static std::optional<std::string> milestoneText(int64_t total);
    void resetStatistics();

    // --- Language
    // "it" or "en", resolved afresh on every call.
    std::string currentLanguageCode() const;
    bool isItalian() const { return currentLanguageCode() == "it"; }
    // Whether the system's first preferred language is Italian.
    bool systemLanguageIsItalian() const;

  private:
    template <class T>
    T get(T ConfigState::*member) const {
        std::shared_lock lock(mutex_);
        return state_.*member;
    }
    template <class T>
    void set(T ConfigState::*member, T value, std::optional<ConfigField> field) {
        if (field) {
            observers_.notify(*field);
        }
        std::unique_lock lock(mutex_);
        state_.*member = std::move(value);
    }
    void notify(std::initializer_list<ConfigField> fields) const;
    // Hands the current API keys to the logger, which blanks them out of every line.
    void publishSecrets() const;
    void log(std::string_view message) const { logger_.log(message); }
    bool canWrite() const { return storage_ == StorageMode::readWrite; }
    // config.json applied over base, or nullopt when missing, refused or damaged.
    std::optional<ConfigState> readStoredState(const ConfigState& base);

    const std::string configFolder_;
    const std::string configURL_;
    const std::string whitelistURL_;
    platform::FileSystem& fs_;
    AppLogger& logger_;
    dispatch::Clock& clock_;
    platform::Workspace& workspace_;
    platform::SystemEnvironment& env_;
    const StorageMode storage_;

    mutable std::shared_mutex mutex_;
    ConfigState state_;
    ConfigObservers observers_;
    ConfigState base_;                     // stored members as last synced with the file
    std::set<std::string> baseWhitelist_;  // whitelist.txt as last synced
    std::mutex saveMutex_;                 // guards configFile_
    std::mutex whitelistSaveMutex_;        // guards whitelistFile_
    StoredFile configFile_;
    StoredFile whitelistFile_;
};

}  // namespace quorix
