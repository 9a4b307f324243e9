// config.json and whitelist.txt: loading, saving, private files, counters.
#include <gtest/gtest.h>

#include <limits>
#include <nlohmann/json.hpp>

#include "ConfigTestSupport.h"
#include "core/config/CloudEndpoint.h"

namespace quorix {
namespace {

using testing::ConfigHarness;
using testing::folderEntries;
using testing::modeOf;
using testing::readFile;
using testing::writeFile;

TEST(AppConfigLoad, MissingOrMalformedDocumentsKeepDefaults) {
    ConfigHarness fresh;
    const std::string defaults = fresh.make()->toJSON();
    EXPECT_FALSE(std::filesystem::exists(fresh.configPath())) << "it appears at the first save";
    EXPECT_TRUE(fresh.logger.getRecentLogs().empty());
    for (const std::string& bad : std::vector<std::string>{
             "", "{", "[]", "null", "\"text\"", "{\"isEnabled\": false,}",
             "{\"soundName\": \"\xff\xfe\"}", std::string("{\"isEnabled\":\0false}", 20)}) {
        ConfigHarness h;
        EXPECT_EQ(h.makeWith(bad)->toJSON(), defaults) << "document: " << bad;
    }
}

TEST(AppConfigLoad, EachMemberOfWrongTypeOrUnknownValueIsSkippedAlone) {
    ConfigHarness h;
    auto config = h.makeWith(R"({
        "isEnabled": "no", "soundEnabled": false, "provider": "Groq", "iconStyle": "wand.and.stars",
        "soundName": "", "targetApps": ["slack", 3], "customBlacklistedApps": ["Zoom"],
        "totalTyposCorrected": 9.5, "appTypoCounts": {"Slack": 2, "Mail": "x"}})");
    EXPECT_TRUE(config->isEnabled());
    EXPECT_FALSE(config->soundEnabled());
    EXPECT_EQ(config->provider(), AIProvider::gemini);  // raw values are case-sensitive
    EXPECT_EQ(config->iconStyle(), IconStyle::wand);
    EXPECT_EQ(config->soundName(), "Pop");
    EXPECT_EQ(config->targetApps().size(), 12u);
    EXPECT_EQ(config->customBlacklistedApps(), std::vector<std::string>{"Zoom"});
    EXPECT_EQ(config->totalTyposCorrected(), 0);
    EXPECT_TRUE(config->appTypoCounts().empty());
}

TEST(AppConfigLoad, ApiKeysAndRetiredBuiltInPrefixes) {
    ConfigHarness h;
    auto retired = h.makeWith(R"({"apiKey": "AIzaSyQx0R-old-built-in",
        "deepseekApiKey": "sk-qrx0ld123", "groqApiKey": "gsk_qrx0abc"})");
    EXPECT_EQ(retired->apiKey() + retired->deepseekApiKey() + retired->groqApiKey(), "");
    // A prefix shorter than the retired one is the user's own key.
    auto own = h.makeWith(R"({"apiKey": "AIzaSyQx0", "groqApiKey": "gsk_qrx"})");
    EXPECT_EQ(own->apiKey(), "AIzaSyQx0");
    EXPECT_EQ(own->groqApiKey(), "gsk_qrx");
    // An empty stored Gemini key keeps the current value; an empty Groq key is taken.
    own->setGroqApiKey("groq");
    writeFile(h.configPath(), R"({"apiKey": "", "groqApiKey": ""})");
    own->load();
    EXPECT_EQ(own->apiKey(), "AIzaSyQx0");
    EXPECT_EQ(own->groqApiKey(), "");
}

TEST(AppConfigLoad, CloudEndpointOnlyWhereTheUserChoseIt) {
    ConfigHarness fresh;
    EXPECT_EQ(fresh.make()->cloudProxyURL(), "");
    const std::string warning =
        "⚠️ [Config] cloudProxyURL ignorato: serve un indirizzo https:// (http:// solo verso "
        "questo computer).";
    struct Case {
        const char* stored;
        bool kept;
        bool warned;
    };
    const Case cases[] = {
        // The local default earlier versions saved into every file.
        {"http://127.0.0.1:8787/v1/correct", false, false},
        {"https://proxy.example.com/v1/correct", true, false},
        {"HTTPS://Proxy.example.com:8443/v1/correct", true, false},
        {"http://127.0.0.1:9000/v1/correct", true, false},
        {"http://localhost/v1/correct", true, false},
        {"http://[::1]:81/v1/correct", true, false},
        {"http://proxy.example.com/v1/correct", false, true},
        {"http://127.0.0.1.evil.com/v1/correct", false, true},
        {"http://user@127.0.0.1x/v1/correct", false, true},
        {"ftp://127.0.0.1/v1/correct", false, true},
        {"https:///v1/correct", false, true},
    };
    for (const Case& c : cases) {
        ConfigHarness h;
        auto config =
            h.makeWith(nlohmann::json{{"cloudProxyURL", c.stored}, {"isEnabled", false}}.dump());
        EXPECT_EQ(config->cloudProxyURL(), c.kept ? c.stored : "") << c.stored;
        EXPECT_FALSE(config->isEnabled()) << "the rest of the file still loads";
        const auto messages = h.logMessages();
        EXPECT_EQ(std::count(messages.begin(), messages.end(), warning), c.warned ? 1 : 0)
            << c.stored;
    }
}

TEST(CloudEndpoint, DictionaryLocationSharesTheCorrectionOrigin) {
    EXPECT_EQ(CloudEndpoint::dictionaryURL("https://u:p@proxy.example.com:8443/api/v1/correct?x=1"),
              "https://u:p@proxy.example.com:8443/v1/dictionary/it");
    EXPECT_EQ(CloudEndpoint::dictionaryURL("http://127.0.0.1:9/v1/correct"),
              "http://127.0.0.1:9/v1/dictionary/it");
    EXPECT_EQ(CloudEndpoint::dictionaryURL(""), "");
    EXPECT_EQ(CloudEndpoint::dictionaryURL("http://proxy.example.com/v1/correct"), "");
}

TEST(AppConfigLoad, AppTypoCountsMergeAndExtremeCountersNeitherOverflowNorWrap) {
    ConfigHarness h;
    auto merged = h.makeWith(R"({"appTypoCounts": {"WhatsApp": 3, "whatsapp": 2}})");
    EXPECT_EQ(merged->appTypoCounts(), (std::map<std::string, int64_t>{{"WhatsApp", 5}}));

    const auto max = std::numeric_limits<int64_t>::max();
    auto config = h.makeWith(R"({"totalTyposCorrected": 9223372036854775807,
        "appTypoCounts": {"WhatsApp": 9223372036854775807, "whatsapp web": 5}})");
    EXPECT_EQ(config->appTypoCounts(), (std::map<std::string, int64_t>{{"WhatsApp", max}}));
    config->recordTypo("WhatsApp");
    EXPECT_EQ(config->totalTyposCorrected(), max);
    EXPECT_EQ(config->appTypoCounts().at("WhatsApp"), max);

    auto skipped = h.makeWith(
        R"({"totalTyposCorrected": 18446744073709551615, "appTypoCounts": {"A": 18446744073709551615}})");
    EXPECT_EQ(skipped->totalTyposCorrected(), 0) << "out of the 64-bit signed range: skipped";
    EXPECT_TRUE(skipped->appTypoCounts().empty());

    // Zero and negative counters record nothing, as a save would write them.
    auto damaged = h.makeWith(R"({"totalTyposCorrected": -4,
        "appTypoCounts": {"Slack": 0, "Mail": -3, "Telegram": 2, "telegram": -1}})");
    EXPECT_EQ(damaged->totalTyposCorrected(), 0);
    EXPECT_EQ(damaged->appTypoCounts(), (std::map<std::string, int64_t>{{"Telegram", 2}}));
    const std::string before = damaged->toJSON();
    damaged->save();
    EXPECT_EQ(h.make()->toJSON(), before);
}

TEST(AppConfigLoad, SaveWritesTheTwentyTwoMembersAndRoundTrips) {
    ConfigHarness h;
    auto config = h.make();
    config->setIconStyle(IconStyle::chatBubble);
    config->setCustomBlacklistedApps({"zoom", "città"});
    config->setLastCorrectedFullText("never stored");
    config->recordTypo(std::string("Bad\xff") + "App");  // still a whole document
    config->save();
    const std::string written = readFile(h.configPath());
    const auto document = nlohmann::json::parse(written);
    EXPECT_EQ(document.size(), 22u);
    EXPECT_EQ(document["totalTyposCorrected"], 1);
    EXPECT_EQ(document["iconStyle"], "character.bubble");
    EXPECT_TRUE(document["appTypoCounts"].is_object());
    auto reloaded = h.make();
    EXPECT_EQ(reloaded->toJSON(), written);
    EXPECT_FALSE(reloaded->lastCorrectedFullText().has_value());
}

TEST(AppConfigLoad, ReadOnlyStoreCreatesAndWritesNothing) {
    ConfigHarness h;
    auto config = h.make(StorageMode::readOnly);
    EXPECT_EQ(config->whitelistWords().size(), 9u);  // defaults in memory
    config->recordTypo("Slack");
    config->addWordToWhitelist("parola");
    config->save();
    config->saveWhitelist();
    EXPECT_EQ(folderEntries(h.folder), std::vector<std::string>{"debug.log"})
        << "only the (writable) logger of the harness wrote";
}

TEST(Files, FilesArePrivateAndFailedAtomicWritesLeaveNoTemporaryFile) {
    ConfigHarness h;
    std::filesystem::create_directories(h.folder);
    ::chmod(h.folder.c_str(), 0755);
    writeFile(h.configPath(), "{}");
    ::chmod(h.configPath().c_str(), 0644);
    h.make()->excludeApp("zoom");
    EXPECT_EQ(modeOf(h.folder), 0700u) << "an existing folder is tightened";
    for (const auto& name : {"config.json", "whitelist.txt", "debug.log"}) {
        EXPECT_EQ(modeOf(h.folder + "/" + name), 0600u) << name;
    }
    ASSERT_TRUE(std::filesystem::create_directory(h.folder + "/dir.json"));
    platform::FileSystem& fs = h.fs;
    EXPECT_NE(fs.writeAtomic(h.folder + "/dir.json", "x"), platform::FileError::none)
        << "cannot replace a folder";
    EXPECT_EQ(fs.writeAtomic(h.folder + "/missing/config.json", "x"),
              platform::FileError::notFound);
    EXPECT_EQ(folderEntries(h.folder),
              (std::vector<std::string>{".lock", "config.json", "debug.log", "dir.json",
                                        "whitelist.txt"}))
        << "no temporary file is left behind";
}

TEST(Whitelist, ReadingSkipsCommentsAndBlankLinesAndNeverRewrites) {
    ConfigHarness h;
    std::filesystem::create_directories(h.folder);
    const std::string text = "# my words\r\n\n   Figma \t\n#Zoom\u2028ÉCOLE\rAlpha";
    writeFile(h.whitelistPath(), text);
    auto config = h.make();
    EXPECT_EQ(config->whitelistWords(), (std::set<std::string>{"figma", "école", "alpha"}));
    EXPECT_EQ(readFile(h.whitelistPath()), text);
}

TEST(Whitelist, UnreadableFileLeavesTheDictionaryEmptyAndTheFileAlone) {
    ConfigHarness h;
    std::filesystem::create_directories(h.whitelistPath());  // a folder: cannot be read as text
    EXPECT_TRUE(h.make()->whitelistWords().empty());
    EXPECT_TRUE(std::filesystem::is_directory(h.whitelistPath()));
}

TEST(Whitelist, AddRemoveAndLookupNormaliseTheWord) {
    ConfigHarness h;
    std::filesystem::create_directories(h.folder);
    writeFile(h.whitelistPath(), "");
    auto config = h.make();
    config->addWordToWhitelist("Quorix!");
    config->addWordToWhitelist("«Zeta»");
    config->addWordToWhitelist(" (x) ");  // blanks first: the brackets stay
    EXPECT_TRUE(config->isWordWhitelisted("QUORIX,"));
    EXPECT_FALSE(config->isWordWhitelisted("quor"));
    EXPECT_EQ(readFile(h.whitelistPath()), "(x)\nquorix\nzeta");
    config->removeWordFromWhitelist("ZETA.");
    EXPECT_EQ(readFile(h.whitelistPath()), "(x)\nquorix");
    EXPECT_EQ(h.logMessages().front(), "✅ Parola 'quorix' aggiunta al dizionario personale.");
    EXPECT_EQ(h.logMessages().back(), "🗑️ Parola 'zeta' rimossa dal dizionario personale.");
}

TEST(Statistics, MilestonesFireOnlyOnTheExactTotal) {
    // One of each other wording, the thousands separator and the generic form.
    EXPECT_EQ(AppConfig::milestoneText(100), "🏆 Quorix: 100° Refuso celebrato!");
    EXPECT_EQ(AppConfig::milestoneText(1000), "👑 Quorix: 1.000 Refusi! Sei un Pro!");
    EXPECT_EQ(AppConfig::milestoneText(10000), "🎉 Quorix: 10000 Refusi corretti!");
    for (int64_t total : {0, 11, 2501, 20000}) {
        EXPECT_EQ(AppConfig::milestoneText(total), std::nullopt) << total;
    }
    // A hand-edited total celebrates at the next correction.
    ConfigHarness h;
    auto config = h.makeWith(R"({"totalTyposCorrected": 9})");
    EXPECT_EQ(config->checkMilestone(), std::nullopt);
    config->recordTypo("Slack");
    EXPECT_EQ(config->checkMilestone(), "🎉 Quorix: 10° Refuso evitato!");
    config->recordTypo("Slack");
    EXPECT_EQ(config->checkMilestone(), std::nullopt);
}

TEST(Statistics, ResetClearsEverythingSavesAndCelebratesAgain) {
    ConfigHarness h;
    auto config = h.make();
    for (int i = 0; i < 10; ++i) {
        config->recordTypo("Slack");
    }
    config->setLastCorrectedOriginalWord("ciao");
    config->setLastOriginalFullText("ciao");
    config->setLastCorrectedFullText("Ciao");
    EXPECT_EQ(config->lastCorrectionDate(), h.clock.wallNow());
    config->resetStatistics();
    EXPECT_FALSE(config->lastCorrectedOriginalWord() || config->lastOriginalFullText() ||
                 config->lastCorrectedFullText());
    EXPECT_EQ(config->lastCorrectionDate(), kDistantPast);
    const auto file = nlohmann::json::parse(readFile(h.configPath()));
    EXPECT_EQ(file["totalTyposCorrected"], 0);
    EXPECT_EQ(file["appTypoCounts"], nlohmann::json::object());
    EXPECT_EQ(h.logMessages().back(), "📊 [Config] Statistiche azzerate dall'utente.");
    for (int i = 0; i < 10; ++i) {
        config->recordTypo("Slack");
    }
    EXPECT_EQ(config->checkMilestone(), "🎉 Quorix: 10° Refuso evitato!");
}

}  // namespace
}  // namespace quorix
