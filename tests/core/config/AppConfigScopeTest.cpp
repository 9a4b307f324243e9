// Which applications are covered, work applications, exclusions, display names.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "ConfigTestSupport.h"

namespace quorix {
namespace {

using testing::ConfigHarness;

TEST(AppScope, DefaultListsCoverEverythingButDeveloperTools) {
    ConfigHarness h;
    auto config = h.make();
    EXPECT_FALSE(config->isAppTargeted("com.apple.Terminal", "Terminal"));
    EXPECT_FALSE(config->isAppTargeted(std::nullopt, "Visual Studio Code - VSCODE"));
    EXPECT_FALSE(config->isAppTargeted("dev.warp.Warp-Stable", std::nullopt));
    EXPECT_TRUE(config->isAppTargeted("net.whatsapp.WhatsApp", "WhatsApp"));
    EXPECT_TRUE(config->isAppTargeted("org.example.Anything", "Anything"));
    EXPECT_TRUE(config->isAppTargeted(std::nullopt, std::nullopt));
}

TEST(AppScope, TargetListAppliesOnlyWhenNotInterceptingAll) {
    ConfigHarness h;
    auto config = h.make();
    config->setInterceptAllApps(false);
    EXPECT_FALSE(config->isAppTargeted("com.apple.mail", "Mail"));
    EXPECT_TRUE(config->isExecutiveApp("com.apple.mail", "Mail"));
    EXPECT_TRUE(config->isAppTargeted("com.tinyspeck.slackmacgap", "Slack"));
    EXPECT_TRUE(config->isAppTargeted(std::nullopt, "Google CHROME"));
    EXPECT_FALSE(config->isAppTargeted(std::nullopt, std::nullopt));
    config->setTargetApps({"Zoom"});
    EXPECT_TRUE(config->isAppTargeted("us.zoom.xos", std::nullopt));
}

TEST(AppScope, ExclusionsMatchAsCaseInsensitiveSubstrings) {
    ConfigHarness h;
    auto config = h.make();
    config->setCustomBlacklistedApps({"SLACK"});
    EXPECT_FALSE(config->isAppTargeted("com.tinyspeck.slackmacgap", std::nullopt));
    EXPECT_FALSE(config->isAppTargeted(std::nullopt, "Slackware Notes"));
    EXPECT_TRUE(config->isAppTargeted("com.example.lack", "Lack"));
    EXPECT_FALSE(config->isExecutiveApp("org.example.app", "Random"));
    EXPECT_TRUE(config->isExecutiveApp(std::nullopt, "Microsoft Outlook"));
}

TEST(AppScope, ExcludeAndUnexcludeByName) {
    ConfigHarness h;
    auto config = h.make();
    config->excludeApp("  Slack\n");
    config->excludeApp("slack");
    config->excludeApp(" \t ");
    EXPECT_EQ(config->customBlacklistedApps(), std::vector<std::string>{"slack"});
    EXPECT_EQ(nlohmann::json::parse(testing::readFile(h.configPath()))["customBlacklistedApps"],
              nlohmann::json::array({"slack"}));
    config->unexcludeApp(" Zoom ");
    config->unexcludeApp("SLACK");
    EXPECT_TRUE(config->customBlacklistedApps().empty());
    EXPECT_EQ(h.logMessages(), (std::vector<std::string>{
                                   "🚫 Applicazione 'slack' aggiunta alla lista esclusioni.",
                                   "✅ Applicazione 'zoom' rimossa dalla lista esclusioni.",
                                   "✅ Applicazione 'slack' rimossa dalla lista esclusioni.",
                               }));
}

TEST(AppScope, ExcludeByBundleLocation) {
    ConfigHarness h;
    h.workspace.addFile("/Applications/Zoom.app", "us.zoom.XOS", "zoom.us");
    h.workspace.addFile("/Applications/Plain Tool.app");
    auto config = h.make();
    config->excludeAppAt("/Applications/Zoom.app");
    config->excludeAppAt("/Applications/Zoom.app");
    config->excludeAppAt("/Applications/Plain Tool.app");
    EXPECT_EQ(config->customBlacklistedApps(),
              (std::vector<std::string>{"us.zoom.xos", "plain tool"}));
    EXPECT_EQ(h.logMessages(),
              (std::vector<std::string>{
                  "🚫 Applicazione 'zoom.us' (us.zoom.xos) aggiunta alla lista esclusioni.",
                  "🚫 Applicazione 'Plain Tool' (plain tool) aggiunta alla lista esclusioni.",
              }));
}

TEST(AppScope, WorkApplicationsToggleAndAdd) {
    ConfigHarness h;
    h.workspace.addFile("/Applications/Notion.app", "notion.id");
    h.workspace.addFile("/Applications/Figma.app", "Figma");
    auto config = h.make();
    EXPECT_TRUE(config->isExecutiveAppEnabled("MAIL"));
    config->toggleExecutiveApp("Mail");
    EXPECT_FALSE(config->isExecutiveAppEnabled("mail"));
    config->toggleExecutiveApp("Zoom");
    EXPECT_TRUE(config->isExecutiveAppEnabled("zoom"));

    config->addExecutiveApp("/Applications/Notion.app");
    config->addExecutiveApp("/Applications/Notion.app");
    config->addExecutiveApp("/Applications/Figma.app");   // identifier without a dot: file name
    config->addExecutiveApp("/Applications/Linear.app");  // "linear" already present
    EXPECT_EQ(config->executiveWorkApps(),
              (std::vector<std::string>{"slack", "teams", "outlook", "linear", "zoom", "notion.id",
                                        "figma"}));
    EXPECT_EQ(h.logMessages(), (std::vector<std::string>{
                                   "💼 App di lavoro rimossa da Executive: mail",
                                   "💼 App di lavoro aggiunta a Executive: zoom",
                                   "💼 [Executive] Aggiunta app di lavoro: notion (notion.id)",
                                   "💼 [Executive] Aggiunta app di lavoro: figma (figma)",
                               }));
    EXPECT_EQ(nlohmann::json::parse(testing::readFile(h.configPath()))["executiveWorkApps"].size(),
              7u);
}

TEST(AppScope, ExcludedAppInfoLookupOrder) {
    ConfigHarness h;
    const std::string userApps = h.home / "Applications";
    h.workspace.addApplication("com.tinyspeck.slackmacgap", "/Applications/Slack.app", "Slack");
    h.workspace.addFile("/Applications/zoom.us.app", "us.zoom.xos");
    h.workspace.addFile("/System/Applications/Notes.app", "com.apple.Notes");
    h.workspace.addFile("/System/Applications/notes-readme.txt");
    h.workspace.addFile(userApps + "/Telegram Desktop.app");
    auto config = h.make();

    EXPECT_EQ(config->getExcludedAppInfo("com.tinyspeck.slackmacgap"),
              (ExcludedAppInfo{"com.tinyspeck.slackmacgap",
                               "Slack",
                               "com.tinyspeck.slackmacgap",
                               {"/Applications/Slack.app"}}));
    EXPECT_EQ(
        config->getExcludedAppInfo("zoom.us"),
        (ExcludedAppInfo{"zoom.us", "zoom.us", "zoom.us.app", {"/Applications/zoom.us.app"}}));
    EXPECT_EQ(
        config->getExcludedAppInfo("NOTES"),
        (ExcludedAppInfo{"NOTES", "Notes", "com.apple.Notes", {"/System/Applications/Notes.app"}}));
    // The folder entry's name is contained in the identifier.
    EXPECT_EQ(config->getExcludedAppInfo("telegram desktop beta").detail, "Telegram Desktop.app");
    const auto fallback = config->getExcludedAppInfo("com.apple.dt.xcode");
    EXPECT_EQ(fallback.displayName, "Dt.xcode");
    EXPECT_EQ(fallback.detail, "com.apple.dt.xcode");
    EXPECT_TRUE(fallback.icon.isGeneric());
    EXPECT_EQ(config->getExcludedAppInfo("my editor").displayName, "My Editor");

    EXPECT_EQ(config->getExcludedAppInfo("slack").detail, "com.tinyspeck.slackmacgap");
    h.workspace.setUnlistable("/Applications");
    const auto unlisted = config->getExcludedAppInfo("slack");
    EXPECT_EQ(unlisted.detail, "slack");
    EXPECT_TRUE(unlisted.icon.isGeneric());
}

TEST(AppScope, NormalizeAppName) {
    const std::pair<std::optional<std::string>, std::string> cases[] = {
        {std::nullopt, "Altro"},
        {"", "Altro"},
        {" \u200B\t", "Altro"},
        {"\u200E\u202AWhatsApp\u202C\uFEFF ", "WhatsApp"},
        {"WHATSAPP Beta", "WhatsApp"},
        {"Telegram Desktop", "Telegram"},
        {"Google Meet", "Google Meet"},
        {"Meeting Room", "Google Meet"},
        {"Chromium", "Chromium"},
        {"Google Chrome Canary", "Google Chrome"},
        {"Notes", "Note"},
        {"note", "Note"},
        {"Sticky Notes", "Sticky Notes"},
        {"MAIL", "Mail"},
        {"Mailspring", "Mailspring"},
        {"Messaggi", "Messaggi"},
        {"Messages", "Messaggi"},
        {"Microsoft Teams (work)", "Microsoft Teams"},
        {"  Città Studio  ", "Città Studio"},
    };
    for (const auto& [name, expected] : cases) {
        EXPECT_EQ(AppConfig::normalizeAppName(name), expected) << name.value_or("<none>");
    }
}

}  // namespace
}  // namespace quorix
