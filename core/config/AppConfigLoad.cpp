// config.json: reading, writing and the document itself.
#include <algorithm>
#include <limits>
#include <nlohmann/json.hpp>

#include "core/config/AppConfig.h"
#include "core/config/CloudEndpoint.h"
#include "core/config/ConfigMembers.h"
#include "core/config/SaturatingAdd.h"

namespace quorix {
namespace {

using Json = nlohmann::json;

const Json* member(const Json& object, const char* key) {
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

std::optional<std::string> stringMember(const Json& object, const char* key) {
    const Json* v = member(object, key);
    if (v == nullptr || !v->is_string()) {
        return std::nullopt;
    }
    return v->get<std::string>();
}

std::optional<std::string> nonEmptyStringMember(const Json& object, const char* key) {
    auto s = stringMember(object, key);
    if (s && s->empty()) {
        return std::nullopt;
    }
    return s;
}

std::optional<bool> boolMember(const Json& object, const char* key) {
    const Json* v = member(object, key);
    if (v == nullptr || !v->is_boolean()) {
        return std::nullopt;
    }
    return v->get<bool>();
}

std::optional<int64_t> asInt64(const Json& v) {
    if (v.is_number_unsigned()) {
        const auto u = v.get<uint64_t>();
        if (u > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
            return std::nullopt;
        }
        return static_cast<int64_t>(u);
    }
    if (v.is_number_integer()) {
        return v.get<int64_t>();
    }
    return std::nullopt;
}

template <class E>
std::optional<E> enumMember(const Json& object, const char* key) {
    const auto raw = stringMember(object, key);
    return raw ? fromRawValue<E>(*raw) : std::nullopt;
}

std::optional<std::vector<std::string>> stringArrayMember(const Json& object, const char* key) {
    const Json* v = member(object, key);
    if (v == nullptr || !v->is_array()) {
        return std::nullopt;
    }
    std::vector<std::string> out;
    for (const auto& element : *v) {
        if (!element.is_string()) {
            return std::nullopt;
        }
        out.push_back(element.get<std::string>());
    }
    return out;
}

// Stored names are merged under their normalised name, counts summed.
std::optional<std::map<std::string, int64_t>> countsMember(const Json& object, const char* key) {
    const Json* v = member(object, key);
    if (v == nullptr || !v->is_object()) {
        return std::nullopt;
    }
    std::map<std::string, int64_t> out;
    for (const auto& [name, value] : v->items()) {
        const auto count = asInt64(value);
        if (!count) {
            return std::nullopt;
        }
        // Only a positive count records anything; a save would drop the rest.
        if (*count <= 0) {
            continue;
        }
        auto& slot = out[AppConfig::normalizeAppName(name)];
        slot = saturatingAdd(slot, *count);
    }
    return out;
}

// A stored key beginning with a retired built-in key's prefix is cleared.
std::string unlessRetired(std::string key, std::string_view retiredPrefix) {
    return key.starts_with(retiredPrefix) ? std::string() : key;
}

}  // namespace

LoadedMembers readConfigMembers(const Json& o) {
    LoadedMembers m;
    if (auto key = nonEmptyStringMember(o, "apiKey")) {
        m.apiKey = unlessRetired(std::move(*key), kRetiredGeminiKeyPrefix);
    }
    if (auto key = stringMember(o, "deepseekApiKey")) {
        m.deepseekApiKey = unlessRetired(std::move(*key), kRetiredDeepSeekKeyPrefix);
    }
    if (auto key = stringMember(o, "groqApiKey")) {
        m.groqApiKey = unlessRetired(std::move(*key), kRetiredGroqKeyPrefix);
    }
    m.cloudProxyURL = nonEmptyStringMember(o, "cloudProxyURL");
    m.provider = enumMember<AIProvider>(o, "provider");
    m.isEnabled = boolMember(o, "isEnabled");
    m.soundEnabled = boolMember(o, "soundEnabled");
    m.correctAccents = boolMember(o, "correctAccents");
    m.autoFixPunctuation = boolMember(o, "autoFixPunctuation");
    m.globalHotkeyEnabled = boolMember(o, "globalHotkeyEnabled");
    m.soundName = nonEmptyStringMember(o, "soundName");
    m.iconStyle = enumMember<IconStyle>(o, "iconStyle");
    m.mode = enumMember<CorrectionMode>(o, "mode");
    m.interceptAllApps = boolMember(o, "interceptAllApps");
    m.modelName = nonEmptyStringMember(o, "modelName");
    m.targetApps = stringArrayMember(o, "targetApps");
    m.customBlacklistedApps = stringArrayMember(o, "customBlacklistedApps");
    m.executiveWorkApps = stringArrayMember(o, "executiveWorkApps");
    if (const Json* v = member(o, "totalTyposCorrected")) {
        // A negative total is damage; a save would write it as zero.
        if (const auto total = asInt64(*v)) {
            m.totalTyposCorrected = std::max<int64_t>(*total, 0);
        }
    }
    m.appTypoCounts = countsMember(o, "appTypoCounts");
    m.toneStyle = enumMember<ToneStyle>(o, "toneStyle");
    m.appLanguage = enumMember<AppLanguage>(o, "appLanguage");
    return m;
}

namespace {

template <class T>
void applyLoaded(T& field, std::optional<T>& loaded) {
    if (loaded) {
        field = std::move(*loaded);
    }
}

}  // namespace

std::vector<ConfigField> observableFields(const LoadedMembers& m) {
    const std::pair<bool, ConfigField> observable[] = {
        {m.isEnabled.has_value(), ConfigField::isEnabled},
        {m.soundEnabled.has_value(), ConfigField::soundEnabled},
        {m.correctAccents.has_value(), ConfigField::correctAccents},
        {m.autoFixPunctuation.has_value(), ConfigField::autoFixPunctuation},
        {m.globalHotkeyEnabled.has_value(), ConfigField::globalHotkeyEnabled},
        {m.customBlacklistedApps.has_value(), ConfigField::customBlacklistedApps},
        {m.executiveWorkApps.has_value(), ConfigField::executiveWorkApps},
        {m.totalTyposCorrected.has_value(), ConfigField::totalTyposCorrected},
        {m.appTypoCounts.has_value(), ConfigField::appTypoCounts},
        {m.toneStyle.has_value(), ConfigField::toneStyle},
        {m.iconStyle.has_value(), ConfigField::iconStyle},
        {m.mode.has_value(), ConfigField::mode},
        {m.appLanguage.has_value(), ConfigField::appLanguage},
    };
    std::vector<ConfigField> out;
    for (const auto& [changes, field] : observable) {
        if (changes) {
            out.push_back(field);
        }
    }
    return out;
}

void applyConfigMembers(ConfigState& s, LoadedMembers m) {
    applyLoaded(s.apiKey, m.apiKey);
    applyLoaded(s.deepseekApiKey, m.deepseekApiKey);
    applyLoaded(s.groqApiKey, m.groqApiKey);
    applyLoaded(s.cloudProxyURL, m.cloudProxyURL);
    applyLoaded(s.provider, m.provider);
    applyLoaded(s.isEnabled, m.isEnabled);
    applyLoaded(s.soundEnabled, m.soundEnabled);
    applyLoaded(s.correctAccents, m.correctAccents);
    applyLoaded(s.autoFixPunctuation, m.autoFixPunctuation);
    applyLoaded(s.globalHotkeyEnabled, m.globalHotkeyEnabled);
    applyLoaded(s.soundName, m.soundName);
    applyLoaded(s.iconStyle, m.iconStyle);
    applyLoaded(s.mode, m.mode);
    applyLoaded(s.interceptAllApps, m.interceptAllApps);
    applyLoaded(s.modelName, m.modelName);
    applyLoaded(s.targetApps, m.targetApps);
    applyLoaded(s.customBlacklistedApps, m.customBlacklistedApps);
    applyLoaded(s.executiveWorkApps, m.executiveWorkApps);
    applyLoaded(s.totalTyposCorrected, m.totalTyposCorrected);
    applyLoaded(s.appTypoCounts, m.appTypoCounts);
    applyLoaded(s.toneStyle, m.toneStyle);
    applyLoaded(s.appLanguage, m.appLanguage);
}

void AppConfig::load() {
    const auto content = configFile_.read();
    if (!content) {
        return;
    }
    const Json document = Json::parse(*content, nullptr, /*allow_exceptions=*/false);
    if (document.is_discarded() || !document.is_object()) {
        // Defaults for this run; the user's file is kept aside before any save.
        configFile_.markDamaged();
        return;
    }
    LoadedMembers m = readConfigMembers(document);
    if (m.cloudProxyURL && *m.cloudProxyURL == kRetiredCloudCorrectURL) {
        m.cloudProxyURL.reset();
    } else if (m.cloudProxyURL && !CloudEndpoint::isAllowed(*m.cloudProxyURL)) {
        m.cloudProxyURL.reset();
        logger_.log(
            "⚠️ [Config] cloudProxyURL ignorato: serve un indirizzo https:// (http:// solo "
            "verso questo computer).");
    }
    for (ConfigField field : observableFields(m)) {
        observers_.notify(field);
    }
    std::unique_lock lock(mutex_);
    applyConfigMembers(state_, std::move(m));
}

std::string configDocument(const ConfigState& s) {
    nlohmann::ordered_json o;
    {
        o["apiKey"] = s.apiKey;
        o["deepseekApiKey"] = s.deepseekApiKey;
        o["groqApiKey"] = s.groqApiKey;
        o["cloudProxyURL"] = s.cloudProxyURL;
        o["provider"] = rawValue(s.provider);
        o["isEnabled"] = s.isEnabled;
        o["soundEnabled"] = s.soundEnabled;
        o["correctAccents"] = s.correctAccents;
        o["autoFixPunctuation"] = s.autoFixPunctuation;
        o["globalHotkeyEnabled"] = s.globalHotkeyEnabled;
        o["soundName"] = s.soundName;
        o["iconStyle"] = rawValue(s.iconStyle);
        o["toneStyle"] = rawValue(s.toneStyle);
        o["mode"] = rawValue(s.mode);
        o["appLanguage"] = rawValue(s.appLanguage);
        o["interceptAllApps"] = s.interceptAllApps;
        o["modelName"] = s.modelName;
        o["targetApps"] = s.targetApps;
        o["customBlacklistedApps"] = s.customBlacklistedApps;
        o["executiveWorkApps"] = s.executiveWorkApps;
        o["totalTyposCorrected"] = s.totalTyposCorrected;
        o["appTypoCounts"] = nlohmann::ordered_json::object();
        for (const auto& [name, count] : s.appTypoCounts) {
            o["appTypoCounts"][name] = count;
        }
    }
    // Invalid UTF-8 in a field (e.g. an application name) is replaced, never thrown.
    return o.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string AppConfig::toJSON() const {
    return configDocument(snapshot());
}

}  // namespace quorix
