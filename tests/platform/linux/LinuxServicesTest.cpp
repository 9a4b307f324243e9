// The real Linux services the CLI builds: environment, desktop entries,
// preferences file.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/linux/LinuxPreferencesStore.h"
#include "platform/linux/LinuxSystemEnvironment.h"
#include "platform/linux/LinuxWorkspace.h"
#include "tests/core/config/ConfigTestSupport.h"

namespace quorix {
namespace {

using platform::LinuxSystemEnvironment;
using testing::TempFolder;
using testing::writeFile;

// Sets (or unsets, for nullptr) variables for one scope.
struct ScopedEnv {
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
    ScopedEnv(std::initializer_list<std::pair<const char*, const char*>> values) {
        for (const auto& [name, value] : values) {
            const char* old = std::getenv(name);
            saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            value ? ::setenv(name, value, 1) : ::unsetenv(name);
        }
    }
    ~ScopedEnv() {
        for (const auto& [name, value] : saved) {
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
        }
    }
};

TEST(LinuxSystemEnvironment, PreferredLanguagesFromTheLocaleVariables) {
    EXPECT_EQ(LinuxSystemEnvironment::languageTag("de_DE.UTF-8@euro"), "de-DE");
    LinuxSystemEnvironment env;
    {
        ScopedEnv scoped{{"LANGUAGE", "it_CH:C:en"}, {"LC_ALL", "fr_FR.UTF-8"}};
        EXPECT_EQ(env.preferredLanguages(), (std::vector<std::string>{"it-CH", "en"}));
    }
    {
        ScopedEnv scoped{{"LANGUAGE", nullptr},
                         {"LC_ALL", ""},
                         {"LC_MESSAGES", nullptr},
                         {"LANG", "es_ES.UTF-8"}};
        EXPECT_EQ(env.preferredLanguages(), std::vector<std::string>{"es-ES"});
    }
    {
        ScopedEnv scoped{{"LANGUAGE", nullptr}, {"LC_ALL", "C"}, {"HOME", "/home/someone//"}};
        EXPECT_TRUE(env.preferredLanguages().empty());
        EXPECT_EQ(env.homeDirectory(), "/home/someone");
    }
}

TEST(LinuxWorkspace, DesktopEntriesStandForInstalledApplications) {
    TempFolder root;
    const std::string system = root / "system";
    const std::string user = root / "user";
    std::filesystem::create_directories(system);
    std::filesystem::create_directories(user);
    writeFile(system + "/org.gnome.Terminal.desktop",
              "[Desktop Entry]\nName[it]=Terminale\nName=Terminal\n[Desktop Action new]\n"
              "Name=New Window\n");
    writeFile(system + "/slack.desktop", "[Desktop Entry]\nName=Slack (system)\n");
    writeFile(user + "/slack.desktop", "[Desktop Entry]\r\nName=Slack\r\n");
    writeFile(user + "/notes.txt", "not an application");
    platform::LinuxWorkspace workspace({system, user});

    EXPECT_EQ(workspace.applicationPath("slack"), user + "/slack.desktop");
    EXPECT_EQ(workspace.applicationPath("../system/slack"), std::nullopt);
    EXPECT_EQ(workspace.bundleIdentifier(system + "/org.gnome.Terminal.desktop"),
              "org.gnome.Terminal");
    EXPECT_EQ(workspace.bundleIdentifier(user + "/notes.txt"), std::nullopt);

    testing::ConfigHarness h;
    AppConfig config(h.folder, h.fs, h.logger, h.clock, workspace, h.env);
    EXPECT_EQ(config.getExcludedAppInfo("slack").displayName, "Slack");  // user's, CRLF
    EXPECT_EQ(config.getExcludedAppInfo("terminal").displayName, "Terminal");
    config.excludeAppAt(system + "/org.gnome.Terminal.desktop");
    EXPECT_EQ(config.customBlacklistedApps(), std::vector<std::string>{"org.gnome.terminal"});
}

TEST(LinuxPreferencesStore, PersistsPrivatelyAndSurvivesBadFiles) {
    TempFolder root;
    const std::string path = root / "data/quorix/preferences.json";
    {
        platform::LinuxPreferencesStore store(path);
        EXPECT_EQ(store.string("quorix_dict_etag_it"), std::nullopt);
        store.setString("quorix_dict_etag_it", "\"abc\"");
    }
    EXPECT_EQ(platform::LinuxPreferencesStore(path).string("quorix_dict_etag_it"), "\"abc\"");
    EXPECT_EQ(testing::modeOf(path), 0600u);
    writeFile(path, "{not json");
    {
        platform::LinuxPreferencesStore store(path);
        EXPECT_EQ(store.string("quorix_dict_etag_it"), std::nullopt);
        store.setString("quorix_dict_etag_it", "\"def\"");
    }
    const auto kept = testing::folderEntries(root / "data/quorix");
    ASSERT_EQ(kept.size(), 2u) << "the unparseable file is kept aside before the write";
    EXPECT_TRUE(kept[1].starts_with("preferences.json.damaged-"));
    EXPECT_EQ(testing::readFile(root / ("data/quorix/" + kept[1])), "{not json");
    {
        ScopedEnv scoped{{"XDG_DATA_HOME", "/xdg"}};
        EXPECT_EQ(platform::LinuxPreferencesStore::defaultPath("/u"),
                  "/xdg/quorix/preferences.json");
    }
    ScopedEnv scoped{{"XDG_DATA_HOME", nullptr}};
    EXPECT_EQ(platform::LinuxPreferencesStore::defaultPath("/u"),
              "/u/.local/share/quorix/preferences.json");
}

}  // namespace
}  // namespace quorix
