#include "core/config/AppConfig.h"

#include <utility>

#include "core/text/Text.h"

namespace quorix {

AppConfig::AppConfig(std::string configFolder, platform::FileSystem& fs, AppLogger& logger,
                     dispatch::Clock& clock, platform::Workspace& workspace,
                     platform::SystemEnvironment& env, StorageMode storage)
    : configFolder_(std::move(configFolder)),
      configURL_(platform::joinPath(configFolder_, "config.json")),
      whitelistURL_(platform::joinPath(configFolder_, "whitelist.txt")),
      fs_(fs),
      logger_(logger),
      clock_(clock),
      workspace_(workspace),
      env_(env),
      storage_(storage),
      configFile_(fs, configFolder_, "config.json", logger),
      whitelistFile_(fs, configFolder_, "whitelist.txt", logger) {
    if (canWrite()) {
        fs_.makePrivateFolder(configFolder_);
    }
    load();
    base_ = snapshot();
    publishSecrets();
    loadWhitelist();
}

void AppConfig::publishSecrets() const {
    logger_.setSecrets({apiKey(), groqApiKey(), deepseekApiKey()});
}

void AppConfig::notify(std::initializer_list<ConfigField> fields) const {
    for (ConfigField f : fields) {
        observers_.notify(f);
    }
}

ObservationToken AppConfig::observe(ConfigField field, std::function<void()> willChange) {
    return observers_.add(field, std::move(willChange));
}

ConfigState AppConfig::snapshot() const {
    std::shared_lock lock(mutex_);
    return state_;
}

// clang-format off
std::string AppConfig::apiKey() const { return get(&ConfigState::apiKey); }
std::string AppConfig::deepseekApiKey() const { return get(&ConfigState::deepseekApiKey); }
std::string AppConfig::groqApiKey() const { return get(&ConfigState::groqApiKey); }
std::string AppConfig::cloudProxyURL() const { return get(&ConfigState::cloudProxyURL); }
AIProvider AppConfig::provider() const { return get(&ConfigState::provider); }
bool AppConfig::isEnabled() const { return get(&ConfigState::isEnabled); }
bool AppConfig::soundEnabled() const { return get(&ConfigState::soundEnabled); }
bool AppConfig::correctAccents() const { return get(&ConfigState::correctAccents); }
bool AppConfig::autoFixPunctuation() const { return get(&ConfigState::autoFixPunctuation); }
bool AppConfig::globalHotkeyEnabled() const { return get(&ConfigState::globalHotkeyEnabled); }
std::string AppConfig::soundName() const { return get(&ConfigState::soundName); }
IconStyle AppConfig::iconStyle() const { return get(&ConfigState::iconStyle); }
ToneStyle AppConfig::toneStyle() const { return get(&ConfigState::toneStyle); }
CorrectionMode AppConfig::mode() const { return get(&ConfigState::mode); }
AppLanguage AppConfig::appLanguage() const { return get(&ConfigState::appLanguage); }
bool AppConfig::interceptAllApps() const { return get(&ConfigState::interceptAllApps); }
std::string AppConfig::modelName() const { return get(&ConfigState::modelName); }
std::set<std::string> AppConfig::whitelistWords() const { return get(&ConfigState::whitelistWords); }
std::vector<std::string> AppConfig::targetApps() const { return get(&ConfigState::targetApps); }
std::vector<std::string> AppConfig::blacklistedApps() const { return get(&ConfigState::blacklistedApps); }
std::vector<std::string> AppConfig::customBlacklistedApps() const { return get(&ConfigState::customBlacklistedApps); }
std::vector<std::string> AppConfig::executiveWorkApps() const { return get(&ConfigState::executiveWorkApps); }
int64_t AppConfig::totalTyposCorrected() const { return get(&ConfigState::totalTyposCorrected); }
std::map<std::string, int64_t> AppConfig::appTypoCounts() const { return get(&ConfigState::appTypoCounts); }
std::optional<std::string> AppConfig::lastCorrectedOriginalWord() const { return get(&ConfigState::lastCorrectedOriginalWord); }
std::optional<std::string> AppConfig::lastOriginalFullText() const { return get(&ConfigState::lastOriginalFullText); }
std::optional<std::string> AppConfig::lastCorrectedFullText() const { return get(&ConfigState::lastCorrectedFullText); }
dispatch::WallTime AppConfig::lastCorrectionDate() const { return get(&ConfigState::lastCorrectionDate); }

void AppConfig::setApiKey(std::string v) { set(&ConfigState::apiKey, std::move(v), std::nullopt); publishSecrets(); }
void AppConfig::setDeepseekApiKey(std::string v) { set(&ConfigState::deepseekApiKey, std::move(v), std::nullopt); publishSecrets(); }
void AppConfig::setGroqApiKey(std::string v) { set(&ConfigState::groqApiKey, std::move(v), std::nullopt); publishSecrets(); }
void AppConfig::setCloudProxyURL(std::string v) { set(&ConfigState::cloudProxyURL, std::move(v), std::nullopt); }
void AppConfig::setProvider(AIProvider v) { set(&ConfigState::provider, v, std::nullopt); }
void AppConfig::setIsEnabled(bool v) { set(&ConfigState::isEnabled, v, ConfigField::isEnabled); }
void AppConfig::setSoundEnabled(bool v) { set(&ConfigState::soundEnabled, v, ConfigField::soundEnabled); }
void AppConfig::setCorrectAccents(bool v) { set(&ConfigState::correctAccents, v, ConfigField::correctAccents); }
void AppConfig::setAutoFixPunctuation(bool v) { set(&ConfigState::autoFixPunctuation, v, ConfigField::autoFixPunctuation); }
void AppConfig::setGlobalHotkeyEnabled(bool v) { set(&ConfigState::globalHotkeyEnabled, v, ConfigField::globalHotkeyEnabled); }
void AppConfig::setSoundName(std::string v) { set(&ConfigState::soundName, std::move(v), std::nullopt); }
void AppConfig::setIconStyle(IconStyle v) { set(&ConfigState::iconStyle, v, ConfigField::iconStyle); }
void AppConfig::setToneStyle(ToneStyle v) { set(&ConfigState::toneStyle, v, ConfigField::toneStyle); }
void AppConfig::setMode(CorrectionMode v) { set(&ConfigState::mode, v, ConfigField::mode); }
void AppConfig::setAppLanguage(AppLanguage v) { set(&ConfigState::appLanguage, v, ConfigField::appLanguage); }
void AppConfig::setInterceptAllApps(bool v) { set(&ConfigState::interceptAllApps, v, std::nullopt); }
void AppConfig::setModelName(std::string v) { set(&ConfigState::modelName, std::move(v), std::nullopt); }
void AppConfig::setWhitelistWords(std::set<std::string> v) { set(&ConfigState::whitelistWords, std::move(v), ConfigField::whitelistWords); }
void AppConfig::setTargetApps(std::vector<std::string> v) { set(&ConfigState::targetApps, std::move(v), std::nullopt); }
void AppConfig::setCustomBlacklistedApps(std::vector<std::string> v) { set(&ConfigState::customBlacklistedApps, std::move(v), ConfigField::customBlacklistedApps); }
void AppConfig::setExecutiveWorkApps(std::vector<std::string> v) { set(&ConfigState::executiveWorkApps, std::move(v), ConfigField::executiveWorkApps); }
void AppConfig::setTotalTyposCorrected(int64_t v) { set(&ConfigState::totalTyposCorrected, v, ConfigField::totalTyposCorrected); }
void AppConfig::setAppTypoCounts(std::map<std::string, int64_t> v) { set(&ConfigState::appTypoCounts, std::move(v), ConfigField::appTypoCounts); }
void AppConfig::setLastCorrectedOriginalWord(std::optional<std::string> v) { set(&ConfigState::lastCorrectedOriginalWord, std::move(v), ConfigField::lastCorrectedOriginalWord); }
void AppConfig::setLastOriginalFullText(std::optional<std::string> v) { set(&ConfigState::lastOriginalFullText, std::move(v), ConfigField::lastOriginalFullText); }
void AppConfig::setLastCorrectedFullText(std::optional<std::string> v) { set(&ConfigState::lastCorrectedFullText, std::move(v), ConfigField::lastCorrectedFullText); }
void AppConfig::setLastCorrectionDate(dispatch::WallTime v) { set(&ConfigState::lastCorrectionDate, v, ConfigField::lastCorrectionDate); }
// clang-format on

bool AppConfig::systemLanguageIsItalian() const {
    const auto languages = env_.preferredLanguages();
    if (languages.empty()) {
        return false;
    }
    std::string prefix;
    const auto chars = text::characters(languages.front());
    for (std::size_t i = 0; i < chars.size() && i < 2; ++i) {
        prefix += chars[i];
    }
    return text::toLower(prefix) == "it";
}

std::string AppConfig::currentLanguageCode() const {
    switch (appLanguage()) {
        case AppLanguage::it:
            return "it";
        case AppLanguage::en:
            return "en";
        case AppLanguage::system:
            break;
    }
    return systemLanguageIsItalian() ? "it" : "en";
}

}  // namespace quorix
