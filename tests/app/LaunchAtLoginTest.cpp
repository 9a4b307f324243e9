// Launch at login as an XDG autostart entry.
#include <gtest/gtest.h>

#include "app/LaunchAtLoginHelper.h"
#include "tests/core/config/ConfigTestSupport.h"

namespace quorix::app {
namespace {

using testing::ConfigHarness;

TEST(LaunchAtLoginHelper, RoundTripThroughTheAutostartFile) {
    ConfigHarness h;
    LaunchAtLoginHelper helper(h.home / ".config", "/usr/bin/quorix", h.fs, h.logger);
    EXPECT_EQ(helper.entryPath(), h.home / ".config/autostart/quorix.desktop");
    EXPECT_FALSE(helper.isEnabled());

    helper.setEnabled(true);
    EXPECT_TRUE(helper.isEnabled());
    EXPECT_EQ(testing::modeOf(helper.entryPath()), 0600u);
    EXPECT_NE(testing::readFile(helper.entryPath()).find("Exec=/usr/bin/quorix\n"),
              std::string::npos);
    // Enabling again keeps the entry (and logs the requested state).
    testing::writeFile(helper.entryPath(), "[Desktop Entry]\nExec=/opt/mine\n");
    helper.setEnabled(true);
    EXPECT_EQ(testing::readFile(helper.entryPath()), "[Desktop Entry]\nExec=/opt/mine\n");

    helper.setEnabled(false);
    EXPECT_FALSE(helper.isEnabled());
    EXPECT_FALSE(h.fs.exists(helper.entryPath()));
    helper.setEnabled(false);
    const std::string log = h.logger.getRecentLogs();
    EXPECT_NE(log.find("🚀 [LaunchAtLogin] Stato aggiornato: true"), std::string::npos);
    EXPECT_NE(log.find("🚀 [LaunchAtLogin] Stato aggiornato: false"), std::string::npos);
}

TEST(LaunchAtLoginHelper, AnUnwritableFolderIsLoggedNotThrown) {
    ConfigHarness h;
    testing::writeFile(h.home / "file", "x");
    LaunchAtLoginHelper helper(h.home / "file", "quorix", h.fs, h.logger);
    helper.setEnabled(true);
    EXPECT_FALSE(helper.isEnabled());
    EXPECT_NE(h.logger.getRecentLogs().find("⚠️ [LaunchAtLogin] Errore: "), std::string::npos);
}

TEST(LaunchAtLoginHelper, ReadsWhetherAnEntryIsEnabled) {
    const struct {
        const char* content;
        bool enabled;
    } cases[] = {
        {"[Desktop Entry]\nExec=quorix\n", true},
        {"# c\n[Desktop Entry]\n  Exec = quorix  \nHidden=false\n", true},
        {"[Desktop Entry]\nExec=quorix\nHidden=true\n", false},
        {"[Desktop Entry]\nExec=quorix\nX-GNOME-Autostart-enabled=false\n", false},
        {"[Desktop Entry]\nName=Quorix\n", false},
        {"[Desktop Entry]\nExec=\n", false},
        {"[Other]\nExec=quorix\n", false},
        {"Exec=quorix\n", false},
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LaunchAtLoginHelper::isEnabledEntry(c.content), c.enabled) << c.content;
    }
}

}  // namespace
}  // namespace quorix::app
