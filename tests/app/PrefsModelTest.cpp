// The statistics chart's rows and geometry, the chart's selection, the icon
// cache, installed applications from desktop entries and the picker's search.
#include <gtest/gtest.h>

#include <QTest>
#include <cmath>
#include <filesystem>
#include <numbers>

#include "tests/app/ShellHarness.h"
#include "tests/core/config/ConfigTestSupport.h"
#include "ui/prefs/AppIconManager.h"
#include "ui/prefs/AppPickerDialog.h"
#include "ui/prefs/AppStyle.h"
#include "ui/prefs/DonutChart.h"
#include "ui/prefs/DonutRing.h"
#include "ui/prefs/InstalledApps.h"

namespace quorix::ui::prefs {
namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

// The point at `angle` degrees clockwise from the top, `d` from the centre of a
// 100 × 100 ring (R = 50).
QPointF at(double angle, double d) {
    return {50 + d * std::sin(angle * kDeg), 50 - d * std::cos(angle * kDeg)};
}

TEST(AppStyleTest, RowsMergeNamesSortByCountAndTileTheRing) {
    const auto stats = AppStyle::buildStats({{"WhatsApp", 3}, {"whatsapp", 2}, {"Slack", 1}});
    ASSERT_EQ(stats.size(), 2u);
    EXPECT_EQ(stats[0].name, "WhatsApp");
    EXPECT_EQ(stats[0].count, 5);
    EXPECT_NEAR(stats[0].percentage, 83.333, 0.001);
    EXPECT_EQ(stats[0].color, AppStyle::palette()[0]);
    EXPECT_NEAR(stats[0].endAngle / kDeg, 300.0, 1e-9);
    EXPECT_EQ(stats[1].color, AppStyle::palette()[1]);
    EXPECT_DOUBLE_EQ(stats[1].startAngle, stats[0].endAngle);
    EXPECT_NEAR(stats[1].endAngle / kDeg, 360.0, 1e-9);

    std::map<std::string, int64_t> nine;
    for (int i = 0; i < 9; ++i) {
        nine["app" + std::to_string(i)] = 100 - i;
    }
    EXPECT_EQ(AppStyle::buildStats(nine)[8].color, AppStyle::palette()[0]);
    // Nothing to show: empty, zero and hand-edited negative counts.
    EXPECT_TRUE(AppStyle::buildStats({}).empty());
    EXPECT_TRUE(AppStyle::buildStats({{"Slack", 0}, {"Mail", -4}}).empty());
    EXPECT_EQ(AppStyle::buildStats({{"Slack", INT64_MAX}, {"slack", INT64_MAX}})[0].count,
              INT64_MAX);
}

TEST(AppStyleTest, StatForPointAtRingEdgesAndSliceEnds) {
    const auto stats = AppStyle::buildStats({{"WhatsApp", 5}, {"Slack", 1}});
    const QSizeF size(100, 100);
    struct Case {
        double angle, distance;
        const char* expected;  // nullptr: no slice
    };
    for (const Case& c : {Case{10, 29.0, "WhatsApp"},     // exactly 0.58 R: in the ring
                          Case{10, 28.9, nullptr},        // in the hole
                          Case{10, 50.0, "WhatsApp"},     // outer edge
                          Case{10, 50.1, nullptr},        // outside
                          Case{0, 40, "WhatsApp"},        // the top: start of the first slice
                          Case{299.999, 40, "WhatsApp"},  // just before its end
                          Case{300.0001, 40, "Slack"},    // its end belongs to the next slice
                          Case{359.999, 40, "Slack"}}) {  // last slice reaches the top again
        SCOPED_TRACE(c.angle);
        const auto stat = AppStyle::statForPoint(at(c.angle, c.distance), size, stats);
        if (c.expected == nullptr) {
            EXPECT_FALSE(stat.has_value());
        } else {
            ASSERT_TRUE(stat.has_value());
            EXPECT_EQ(stat->name, c.expected);
        }
    }
    const auto one = AppStyle::buildStats({{"Mail", 7}});
    for (double angle : {0.0, 90.0, 180.0, 359.9}) {
        EXPECT_TRUE(AppStyle::statForPoint(at(angle, 40), size, one).has_value()) << angle;
    }
}

TEST(AppStyleTest, SliceOutlineSpansItsAnglesBetweenTheRadii) {
    const QPainterPath path = AppStyle::slicePath(QRectF(0, 0, 100, 100), 0, std::numbers::pi / 2);
    EXPECT_TRUE(path.contains(at(45, 40)));
    EXPECT_FALSE(path.contains(at(45, 25)));   // inside 0.6 R
    EXPECT_FALSE(path.contains(at(135, 40)));  // another quarter
}

TEST(DonutChartTest, HoverSelectionAndTheHole) {
    testing::ShellHarness h;
    AppIconManager icons({});
    DonutChart chart({{"WhatsApp", 5}, {"Slack", 1}}, icons);
    chart.show();
    DonutRing* ring = chart.ring();
    const QPoint centre = ring->rect().center();
    const double r = DonutRing::kSide / 2.0;
    const QPoint onSlack = centre + QPoint(static_cast<int>(-0.8 * r * std::sin(30 * kDeg)),
                                           static_cast<int>(-0.8 * r * std::cos(30 * kDeg)));
    EXPECT_FALSE(chart.showAllButton()->isVisibleTo(&chart));
    QTest::mouseClick(ring, Qt::LeftButton, {}, onSlack);
    EXPECT_EQ(chart.selectedAppId(), std::optional<std::string>("Slack"));
    EXPECT_FALSE(chart.hoveredAppId().has_value());
    EXPECT_EQ(chart.active()->name, "Slack");
    EXPECT_TRUE(chart.showAllButton()->isVisibleTo(&chart));
    QTest::mouseClick(ring, Qt::LeftButton, {}, onSlack);  // toggles off
    EXPECT_FALSE(chart.selectedAppId().has_value());
    QTest::mouseClick(ring, Qt::LeftButton, {}, onSlack);
    QTest::mouseClick(ring, Qt::LeftButton, {}, QPoint(1, 1));  // outside: kept
    EXPECT_TRUE(chart.selectedAppId().has_value());
    QTest::mouseClick(ring, Qt::LeftButton, {}, centre);  // the hole clears
    EXPECT_FALSE(chart.selectedAppId().has_value());
    EXPECT_TRUE(testing::waitUntil([&] { return chart.emphasis("Slack") == 0.0; }));
}

TEST(AppIconManagerTest, UnknownNamesGetTheGenericIconOnceAndFromTheCache) {
    int listings = 0;
    AppIconManager icons([&listings] {
        ++listings;
        return std::vector<InstalledApp>{{"org.gnome.Zenity", "Zenity", "/nonexistent.png", ""}};
    });
    EXPECT_TRUE(icons.isGeneric("  Nonexistent App "));
    EXPECT_TRUE(icons.isGeneric("Nonexistent App"));
    EXPECT_TRUE(icons.isGeneric("Zenity"));  // known, but its icon file is missing
    EXPECT_EQ(icons.cacheSize(), 2u);
    EXPECT_EQ(listings, 1);
    EXPECT_FALSE(icons.icon("Slack").isNull());
}

TEST(InstalledAppsTest, DesktopEntriesByPrecedenceWithoutHiddenOnes) {
    testing::TempFolder user, system;
    std::filesystem::create_directories(user / "applications");
    std::filesystem::create_directories(system / "applications/kde");
    const auto entry = [](const std::string& extra) {
        return "[Desktop Entry]\nType=Application\nExec=x\n" + extra +
               "\n[Desktop Action n]\nName=Not me\n";
    };
    testing::writeFile(user / "applications/org.gnome.Zenity.desktop",
                       entry("Name=Zenity (mine)\nIcon=zenity"));
    testing::writeFile(system / "applications/org.gnome.Zenity.desktop", entry("Name=Zenity"));
    testing::writeFile(system / "applications/kde/konsole.desktop",
                       entry("Name=Konsole\nName[it]=Terminale 🖥️ مرحبا"));
    testing::writeFile(system / "applications/hidden.desktop",
                       entry("Name=Hidden\nNoDisplay=true"));
    testing::writeFile(system / "applications/link.desktop",
                       "[Desktop Entry]\nType=Link\nName=L\n");
    testing::writeFile(system / "applications/nameless.desktop", entry("Icon=x"));
    const auto apps = InstalledApps::scan({user.path(), system.path()}, "it");
    ASSERT_EQ(apps.size(), 2u);
    EXPECT_EQ(apps[0].id, "kde-konsole");
    EXPECT_EQ(apps[0].name, "Terminale 🖥️ مرحبا");
    EXPECT_EQ(apps[1].id, "org.gnome.Zenity");
    EXPECT_EQ(apps[1].name, "Zenity (mine)");
    EXPECT_EQ(apps[1].icon, "zenity");
}

TEST(AppPickerDialogTest, SearchesNamesAndIdsAndTakesAWindowClass) {
    testing::ShellHarness h;
    std::vector<InstalledApp> apps;
    for (int i = 0; i < 2000; ++i) {
        apps.push_back({"org.example.App" + std::to_string(i), "App " + std::to_string(i), "", ""});
    }
    apps.push_back({"org.telegram.desktop", "Telegram Desktop", "telegram", "/a/tg.desktop"});
    apps.push_back({"org.gnome.Zenity", "Zenity", "", "/a/zenity.desktop"});
    AppPickerDialog picker(PickerPurpose::exclude, *h.config, apps);
    EXPECT_EQ(picker.visibleCount(), 2002);
    picker.setFilter("TELEGRAM");
    ASSERT_EQ(picker.visibleCount(), 1);
    picker.setFilter("gnome.zen");
    ASSERT_EQ(picker.visibleCount(), 1);
    EXPECT_EQ(picker.visibleId(0), "org.gnome.Zenity");
    picker.selectVisible(0);
    picker.windowClassField()->setText("  xterm ");
    const auto chosen = picker.chosen();
    ASSERT_EQ(chosen.size(), 2u);
    EXPECT_EQ(chosen[0].desktopFile, "/a/zenity.desktop");
    EXPECT_EQ(chosen[1].windowClass, "xterm");
    picker.setFilter("no such app");
    EXPECT_EQ(picker.visibleCount(), 0);
}

}  // namespace
}  // namespace quorix::ui::prefs
