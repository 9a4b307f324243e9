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
    EXPECT_TRUE(config->isAppTargeted("org.example.Anything", "Anything"));
    EXPECT_TRUE(config->isAppTargeted(std::nullopt, std::nullopt));

    config->setInterceptAllApps(false);  // now only the target list
    EXPECT_FALSE(config->isAppTargeted("com.apple.mail", "Mail"));
    EXPECT_TRUE(config->isExecutiveApp("com.apple.mail", "Mail"));
    EXPECT_TRUE(config->isAppTargeted(std::nullopt, "Google CHROME"));
    EXPECT_FALSE(config->isAppTargeted(std::nullopt, std::nullopt));
    config->setTargetApps({"Zoom"});
    EXPECT_TRUE(config->isAppTargeted("us.zoom.xos", std::nullopt));
    // Exclusions match as case-insensitive substrings.
    config->setInterceptAllApps(true);
    config->setCustomBlacklistedApps({"SLACK"});
    EXPECT_FALSE(config->isAppTargeted(std::nullopt, "Slackware Notes"));
    EXPECT_TRUE(config->isAppTargeted("com.example.lack", "Lack"));
}

// Window classes, desktop ids and application ids as a Linux desktop reports
// them (identifier, name): terminals, editors and IDEs are never covered, even
// when the user's lists name them; chats stay covered.
TEST(AppScope, LinuxDeveloperToolsAreNeverCovered) {
    ConfigHarness h;
    h.workspace.setApplicationCategories("com.example.Shell", {"System", "TerminalEmulator"});
    h.workspace.setApplicationCategories("com.example.Editor", {"Development", "TextEditor"});
    h.workspace.setApplicationCategories("com.example.Notes", {"Utility", "TextEditor"});
    h.workspace.setApplicationCategories("com.example.Studio", {"Development", "IDE", "Qt"});
    auto config = h.make();
    config->setInterceptAllApps(false);
    config->setTargetApps({"xterm", "code", "kate", "com.example", "chat", "telegram"});
    struct Row {
        const char* identifier;
        const char* name;
        bool covered;
    };
    const Row rows[] = {
        {"xterm", "user@host: ~", false},
        {"uxterm", "UXTerm", false},
        {"org.kde.konsole", "Konsole", false},
        {"org.gnome.Terminal", "Terminal", false},
        {"gnome-terminal-server", "Terminal", false},
        {"kitty", "kitty", false},
        {"Alacritty", "Alacritty", false},
        {"com.gexperts.Tilix", "Tilix", false},
        {"terminator", "Terminator", false},
        {"xfce4-terminal", "Terminal", false},
        {"urxvt", "urxvt", false},
        {"st-256color", "st", false},
        {"org.wezfurlong.wezterm", "WezTerm", false},
        {"footclient", "foot", false},
        {"code", "Visual Studio Code", false},
        {"com.vscodium.codium", "VSCodium", false},
        {"org.gnome.gedit", "gedit", false},
        {"org.kde.kate", "Kate", false},
        {"emacs", "GNU Emacs", false},
        {"gvim", "GVim", false},
        {"jetbrains-idea-ce", "IntelliJ IDEA Community Edition", false},
        {"jetbrains-pycharm", "PyCharm", false},
        {"sublime_text", "Sublime Text", false},
        {"com.example.Shell", "Shell", false},
        {"com.example.Editor", "Editor", false},
        {"com.example.Studio", "Studio", false},
        // Covered: chats, a plain text editor outside Development, and names
        // that merely contain a tool's name.
        {"org.telegram.desktop", "Telegram", true},
        {"com.example.Notes", "Notes", true},
        {"chat.example.stack", "vim tips – chat", true},
        {"com.example.postcode", "Postcode Chat", true},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(config->isAppTargeted(std::string(row.identifier), std::string(row.name)),
                  row.covered)
            << row.identifier;
    }
    EXPECT_FALSE(config->isAppTargeted(std::nullopt, std::string("Konsole")));
}

TEST(AppScope, ExcludeAndUnexcludeByNameAndBundle) {
    ConfigHarness h;
    h.workspace.addFile("/Applications/Zoom.app", "us.zoom.XOS", "zoom.us");
    h.workspace.addFile("/Applications/Plain Tool.app");
    auto config = h.make();
    config->excludeApp("  Slack\n");
    config->excludeApp("slack");
    config->excludeApp(" \t ");
    EXPECT_EQ(nlohmann::json::parse(testing::readFile(h.configPath()))["customBlacklistedApps"],
              nlohmann::json::array({"slack"}));
    config->unexcludeApp("SLACK");
    config->excludeAppAt("/Applications/Zoom.app");
    config->excludeAppAt("/Applications/Plain Tool.app");
    EXPECT_EQ(config->customBlacklistedApps(),
              (std::vector<std::string>{"us.zoom.xos", "plain tool"}));
    EXPECT_EQ(h.logMessages(),
              (std::vector<std::string>{
                  "🚫 Applicazione 'slack' aggiunta alla lista esclusioni.",
                  "✅ Applicazione 'slack' rimossa dalla lista esclusioni.",
                  "🚫 Applicazione 'zoom.us' (us.zoom.xos) aggiunta alla lista esclusioni.",
                  "🚫 Applicazione 'Plain Tool' (plain tool) aggiunta alla lista esclusioni.",
              }));
}

TEST(AppScope, WorkApplicationsToggleAndAdd) {
    ConfigHarness h;
    h.workspace.addFile("/Applications/Notion.app", "notion.id");
    auto config = h.make();
    config->toggleExecutiveApp("Mail");
    EXPECT_FALSE(config->isExecutiveAppEnabled("mail"));
    config->toggleExecutiveApp("Zoom");
    config->addExecutiveApp("/Applications/Notion.app");
    config->addExecutiveApp("/Applications/Notion.app");
    config->addExecutiveApp("/Applications/Linear.app");  // "linear" already present
    EXPECT_EQ(
        config->executiveWorkApps(),
        (std::vector<std::string>{"slack", "teams", "outlook", "linear", "zoom", "notion.id"}));
    EXPECT_EQ(h.logMessages(), (std::vector<std::string>{
                                   "💼 App di lavoro rimossa da Executive: mail",
                                   "💼 App di lavoro aggiunta a Executive: zoom",
                                   "💼 [Executive] Aggiunta app di lavoro: notion (notion.id)",
                               }));
}

TEST(AppScope, ExcludedAppInfoLookupOrder) {
    ConfigHarness h;
    h.workspace.addApplication("com.tinyspeck.slackmacgap", "/Applications/Slack.app", "Slack");
    h.workspace.addFile(h.home / "Applications/Telegram Desktop.app");
    auto config = h.make();

    EXPECT_EQ(config->getExcludedAppInfo("com.tinyspeck.slackmacgap"),
              (ExcludedAppInfo{"com.tinyspeck.slackmacgap",
                               "Slack",
                               "com.tinyspeck.slackmacgap",
                               {"/Applications/Slack.app"}}));
    // The folder entry's name is contained in the identifier.
    EXPECT_EQ(config->getExcludedAppInfo("telegram desktop beta").detail, "Telegram Desktop.app");
    const auto fallback = config->getExcludedAppInfo("com.apple.dt.xcode");
    EXPECT_EQ(fallback.displayName, "Dt.xcode");

    h.workspace.setUnlistable("/Applications");
    EXPECT_EQ(config->getExcludedAppInfo("slack").detail, "slack");
}

TEST(AppScope, NormalizeAppName) {
    const std::pair<std::optional<std::string>, std::string> cases[] = {
        {std::nullopt, "Altro"},
        {" \u200B\t", "Altro"},
        {"\u200E\u202AWhatsApp\u202C\uFEFF ", "WhatsApp"},
        {"Meeting Room", "Google Meet"},
        {"Notes", "Note"},
        {"Sticky Notes", "Sticky Notes"},
        {"Mailspring", "Mailspring"},
        {"Messages", "Messaggi"}};
    for (const auto& [name, expected] : cases) {
        EXPECT_EQ(AppConfig::normalizeAppName(name), expected) << name.value_or("<none>");
    }
}

}  // namespace
}  // namespace quorix
