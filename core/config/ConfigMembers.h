#pragma once
// The members of a config.json document that passed their checks, and how
// they apply to a ConfigState. Used by AppConfig's load and save.

#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "core/config/ConfigField.h"
#include "core/config/ConfigState.h"

namespace quorix {

// The members read from config.json that passed their checks; absent members
// leave the field as it is.
struct LoadedMembers {
    std::optional<std::string> apiKey, deepseekApiKey, groqApiKey, cloudProxyURL;
    std::optional<AIProvider> provider;
    std::optional<bool> isEnabled, soundEnabled, correctAccents, autoFixPunctuation,
        globalHotkeyEnabled;
    std::optional<std::string> soundName;
    std::optional<IconStyle> iconStyle;
    std::optional<CorrectionMode> mode;
    std::optional<bool> interceptAllApps;
    std::optional<std::string> modelName;
    std::optional<std::vector<std::string>> targetApps, customBlacklistedApps, executiveWorkApps;
    std::optional<int64_t> totalTyposCorrected;
    std::optional<std::map<std::string, int64_t>> appTypoCounts;
    std::optional<ToneStyle> toneStyle;
    std::optional<AppLanguage> appLanguage;
};

// Reads every member of a config.json object; wrong types are left out.
LoadedMembers readConfigMembers(const nlohmann::json& object);
// Sets the fields of state that m holds.
void applyConfigMembers(ConfigState& state, LoadedMembers m);
// The observable fields that m sets.
std::vector<ConfigField> observableFields(const LoadedMembers& m);
// The 22 stored members of state as the config.json document (indented).
std::string configDocument(const ConfigState& state);

// Calls f(member pointer, observable field or nullopt) for each stored setting
// of config.json other than the two statistics counters.
template <class F>
void forEachStoredSetting(F&& f) {
    f(&ConfigState::apiKey, std::optional<ConfigField>());
    f(&ConfigState::deepseekApiKey, std::optional<ConfigField>());
    f(&ConfigState::groqApiKey, std::optional<ConfigField>());
    f(&ConfigState::cloudProxyURL, std::optional<ConfigField>());
    f(&ConfigState::provider, std::optional<ConfigField>());
    f(&ConfigState::isEnabled, std::optional(ConfigField::isEnabled));
    f(&ConfigState::soundEnabled, std::optional(ConfigField::soundEnabled));
    f(&ConfigState::correctAccents, std::optional(ConfigField::correctAccents));
    f(&ConfigState::autoFixPunctuation, std::optional(ConfigField::autoFixPunctuation));
    f(&ConfigState::globalHotkeyEnabled, std::optional(ConfigField::globalHotkeyEnabled));
    f(&ConfigState::soundName, std::optional<ConfigField>());
    f(&ConfigState::iconStyle, std::optional<ConfigField>());
    f(&ConfigState::toneStyle, std::optional(ConfigField::toneStyle));
    f(&ConfigState::mode, std::optional(ConfigField::mode));
    f(&ConfigState::appLanguage, std::optional(ConfigField::appLanguage));
    f(&ConfigState::interceptAllApps, std::optional<ConfigField>());
    f(&ConfigState::modelName, std::optional<ConfigField>());
    f(&ConfigState::targetApps, std::optional<ConfigField>());
    f(&ConfigState::customBlacklistedApps, std::optional(ConfigField::customBlacklistedApps));
    f(&ConfigState::executiveWorkApps, std::optional(ConfigField::executiveWorkApps));
}

}  // namespace quorix
