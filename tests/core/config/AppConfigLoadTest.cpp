// Reading and writing config.json.
#include <gtest/gtest.h>

#include <limits>
#include <nlohmann/json.hpp>
#include <sstream>

#include "ConfigTestSupport.h"

namespace quorix {
namespace {

using testing::ConfigHarness;
using testing::readFile;

TEST(AppConfigLoad, MissingFileLeavesEveryDefault) {
    ConfigHarness h;
    auto config = h.make();
    EXPECT_EQ(config->provider(), AIProvider::gemini);
    EXPECT_EQ(config->iconStyle(), IconStyle::quorix);
    EXPECT_EQ(config->mode(), CorrectionMode::autoSend);
    EXPECT_EQ(config->executiveWorkApps(),
              (std::vector<std::string>{"slack", "teams", "mail", "outlook", "linear"}));
    EXPECT_EQ(config->targetApps().size(), 12u);
    EXPECT_EQ(
        config->blacklistedApps(),
        (std::vector<std::string>{"terminal", "iterm", "antigravity", "vscode", "xcode", "warp"}));
    EXPECT_EQ(config->cloudProxyURL(), "http://127.0.0.1:8787/v1/correct");
    EXPECT_EQ(config->soundName(), "Pop");
    EXPECT_EQ(config->modelName(), "gemini-3-flash-preview");
    EXPECT_EQ(config->lastCorrectionDate(), kDistantPast);
    EXPECT_FALSE(config->lastCorrectedFullText().has_value());
    // Loading writes nothing back; the file appears only at the first save().
    EXPECT_FALSE(std::filesystem::exists(h.configPath()));
    EXPECT_TRUE(h.logger.getRecentLogs().empty());
}

TEST(AppConfigLoad, MalformedDocumentsKeepDefaults) {
    const std::string defaults = ConfigHarness().make()->toJSON();
    for (const std::string& bad : std::vector<std::string>{
             "", "{", "[]", "null", "42", "\"text\"", "{\"isEnabled\": false,}",
             "{\"soundName\": \"\xff\xfe\"}", std::string("{\"isEnabled\":\0false}", 20)}) {
        ConfigHarness h;
        EXPECT_EQ(h.makeWith(bad)->toJSON(), defaults) << "document: " << bad;
    }
}

TEST(AppConfigLoad, EachMemberOfWrongTypeOrUnknownValueIsSkippedAlone) {
    ConfigHarness h;
    auto config = h.makeWith(R"({
        "isEnabled": "no", "soundEnabled": false, "correctAccents": 1,
        "autoFixPunctuation": true, "globalHotkeyEnabled": null,
        "provider": "Groq", "iconStyle": "wand.and.stars", "mode": "CtrlEnter",
        "toneStyle": "formal", "appLanguage": "fr",
        "cloudProxyURL": "", "soundName": "", "modelName": "",
        "interceptAllApps": false,
        "targetApps": ["slack", 3], "customBlacklistedApps": ["Zoom"],
        "executiveWorkApps": "mail",
        "totalTyposCorrected": 9.5, "appTypoCounts": {"Slack": 2, "Mail": "x"}
    })");
    EXPECT_TRUE(config->isEnabled());
    EXPECT_FALSE(config->soundEnabled());
    EXPECT_FALSE(config->correctAccents());
    EXPECT_TRUE(config->autoFixPunctuation());
    EXPECT_TRUE(config->globalHotkeyEnabled());
    EXPECT_EQ(config->provider(), AIProvider::gemini);  // raw values are case-sensitive
    EXPECT_EQ(config->iconStyle(), IconStyle::wand);
    EXPECT_EQ(config->mode(), CorrectionMode::autoSend);
    EXPECT_EQ(config->toneStyle(), ToneStyle::formal);
    EXPECT_EQ(config->appLanguage(), AppLanguage::system);
    EXPECT_EQ(config->cloudProxyURL(), "http://127.0.0.1:8787/v1/correct");
    EXPECT_EQ(config->soundName(), "Pop");
    EXPECT_EQ(config->modelName(), "gemini-3-flash-preview");
    EXPECT_FALSE(config->interceptAllApps());
    EXPECT_EQ(config->targetApps().size(), 12u);
    EXPECT_EQ(config->customBlacklistedApps(), std::vector<std::string>{"Zoom"});
    EXPECT_EQ(config->executiveWorkApps().size(), 5u);
    EXPECT_EQ(config->totalTyposCorrected(), 0);
    EXPECT_TRUE(config->appTypoCounts().empty());
}

TEST(AppConfigLoad, ApiKeysAndRetiredBuiltInPrefixes) {
    {
        ConfigHarness h;
        auto config = h.makeWith(R"({"apiKey": "AIzaSyQx0R-old-built-in",
            "deepseekApiKey": "sk-qrx0ld123", "groqApiKey": "gsk_qrx0abc"})");
        EXPECT_EQ(config->apiKey(), "");
        EXPECT_EQ(config->deepseekApiKey(), "");
        EXPECT_EQ(config->groqApiKey(), "");
    }
    {
        ConfigHarness h;
        auto config = h.makeWith(R"({"apiKey": "AIzaSyOWN", "deepseekApiKey": "sk-own",
            "groqApiKey": "gsk_own"})");
        EXPECT_EQ(config->apiKey(), "AIzaSyOWN");
        EXPECT_EQ(config->deepseekApiKey(), "sk-own");
        EXPECT_EQ(config->groqApiKey(), "gsk_own");
        // A prefix shorter than the retired one is the user's own key.
        auto again = h.makeWith(R"({"apiKey": "AIzaSyQx0", "groqApiKey": "gsk_qrx"})");
        EXPECT_EQ(again->apiKey(), "AIzaSyQx0");
        EXPECT_EQ(again->groqApiKey(), "gsk_qrx");
    }
    {
        // An empty stored Gemini key keeps the current value; an empty DeepSeek
        // or Groq key is taken.
        ConfigHarness h;
        auto config = h.make();
        config->setApiKey("gem");
        config->setDeepseekApiKey("deep");
        config->setGroqApiKey("groq");
        testing::writeFile(h.configPath(),
                           R"({"apiKey": "", "deepseekApiKey": "", "groqApiKey": ""})");
        config->load();
        EXPECT_EQ(config->apiKey(), "gem");
        EXPECT_EQ(config->deepseekApiKey(), "");
        EXPECT_EQ(config->groqApiKey(), "");
    }
}

TEST(AppConfigLoad, AppTypoCountsMergeNamesThatNormaliseAlike) {
    ConfigHarness h;
    auto config = h.makeWith(
        R"({"appTypoCounts": {"WhatsApp": 3, "whatsapp": 2, "Slack": 1, "  ": 4, "Notes": 1}})");
    EXPECT_EQ(
        config->appTypoCounts(),
        (std::map<std::string, int64_t>{{"WhatsApp", 5}, {"Slack", 1}, {"Altro", 4}, {"Note", 1}}));
}

TEST(AppConfigLoad, ExtremeCountersNeitherOverflowNorWrap) {
    ConfigHarness h;
    const auto max = std::numeric_limits<int64_t>::max();
    auto config = h.makeWith(R"({"totalTyposCorrected": 9223372036854775807,
        "appTypoCounts": {"WhatsApp": 9223372036854775807, "whatsapp web": 5}})");
    EXPECT_EQ(config->appTypoCounts(), (std::map<std::string, int64_t>{{"WhatsApp", max}}));
    ConfigHarness other;
    auto skipped = other.makeWith(
        R"({"totalTyposCorrected": 18446744073709551615, "appTypoCounts": {"A": 18446744073709551615}})");
    EXPECT_EQ(skipped->totalTyposCorrected(), 0) << "out of the 64-bit signed range: skipped";
    EXPECT_TRUE(skipped->appTypoCounts().empty());
    config->recordTypo("WhatsApp");
    EXPECT_EQ(config->totalTyposCorrected(), max);
    EXPECT_EQ(config->appTypoCounts().at("WhatsApp"), max);
}

TEST(AppConfigLoad, SaveWritesTheTwentyTwoMembersAndRoundTrips) {
    ConfigHarness h;
    auto config = h.make();
    config->setApiKey("k1");
    config->setProvider(AIProvider::ollama);
    config->setIconStyle(IconStyle::chatBubble);
    config->setToneStyle(ToneStyle::formal);
    config->setMode(CorrectionMode::ctrlEnter);
    config->setAppLanguage(AppLanguage::it);
    config->setSoundEnabled(false);
    config->setCustomBlacklistedApps({"zoom", "città"});
    config->setAppTypoCounts({{"Slack", 7}});
    config->setTotalTyposCorrected(7);
    config->setLastCorrectedFullText("never stored");
    config->save();

    const std::string written = readFile(h.configPath());
    EXPECT_EQ(written, config->toJSON());
    const auto document = nlohmann::json::parse(written);
    std::set<std::string> keys;
    for (const auto& [key, value] : document.items()) {
        keys.insert(key);
    }
    std::set<std::string> expected;
    std::istringstream names(
        "apiKey deepseekApiKey groqApiKey cloudProxyURL provider isEnabled soundEnabled "
        "correctAccents autoFixPunctuation globalHotkeyEnabled soundName iconStyle toneStyle mode "
        "appLanguage interceptAllApps modelName targetApps customBlacklistedApps executiveWorkApps "
        "totalTyposCorrected appTypoCounts");
    for (std::string name; names >> name;) {
        expected.insert(name);
    }
    ASSERT_EQ(expected.size(), 22u);
    EXPECT_EQ(keys, expected);
    EXPECT_EQ(document["iconStyle"], "character.bubble");
    EXPECT_EQ(document["provider"], "ollama");
    EXPECT_TRUE(document["appTypoCounts"].is_object());

    auto reloaded = h.make();
    EXPECT_EQ(reloaded->toJSON(), written);
    EXPECT_FALSE(reloaded->lastCorrectedFullText().has_value());

    ConfigHarness fresh;
    auto defaults = fresh.make();
    defaults->save();
    EXPECT_EQ(nlohmann::json::parse(readFile(fresh.configPath()))["iconStyle"], "quorix");
    EXPECT_TRUE(nlohmann::json::parse(readFile(fresh.configPath()))["appTypoCounts"].is_object());
}

TEST(AppConfigLoad, InvalidUtf8InAFieldStillSavesAWholeDocument) {
    ConfigHarness h;
    auto config = h.make();
    config->recordTypo(
        std::string("Bad\xff"
                    "App"));
    const auto document = nlohmann::json::parse(readFile(h.configPath()), nullptr, false);
    ASSERT_FALSE(document.is_discarded());
    EXPECT_EQ(document["totalTyposCorrected"], 1);
}

TEST(AppConfigLoad, ReadOnlyStoreCreatesAndWritesNothing) {
    ConfigHarness h;
    auto config = h.make(StorageMode::readOnly);
    EXPECT_EQ(config->whitelistWords().size(), 9u);  // defaults in memory
    config->recordTypo("Slack");
    config->addWordToWhitelist("parola");
    config->save();
    config->saveWhitelist();
    EXPECT_EQ(testing::folderEntries(h.folder), std::vector<std::string>{"debug.log"})
        << "only the (writable) logger of the harness wrote";
}

TEST(Enumerations, RawValuesRoundTripExactlyAndInOrder) {
    EXPECT_EQ(allCases<IconStyle>().size(), 5u);
    for (auto s : allCases<IconStyle>()) {
        EXPECT_EQ(fromRawValue<IconStyle>(rawValue(s)), s);
    }
    for (auto p : allCases<AIProvider>()) {
        EXPECT_EQ(fromRawValue<AIProvider>(rawValue(p)), p);
    }
    EXPECT_EQ(fromRawValue<CorrectionMode>("ctrlenter"), std::nullopt);
    EXPECT_EQ(fromRawValue<IconStyle>("chatBubble"), std::nullopt);
    EXPECT_EQ(fromRawValue<AppLanguage>(""), std::nullopt);
    EXPECT_EQ(displayName(AppLanguage::system, true), "Default di Sistema (Italiano)");
}

}  // namespace
}  // namespace quorix
