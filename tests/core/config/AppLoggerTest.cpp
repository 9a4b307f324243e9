// The diagnostic log: line format, history, file, concurrency.
#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "ConfigTestSupport.h"

namespace quorix {
namespace {

using testing::readFile;
using testing::TempFolder;

platform::PosixFileSystem fs;

std::vector<std::string> fileLines(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream in(readFile(path));
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(AppLogger, LineFormatUsesLocalTimeWithMilliseconds) {
    const std::string savedZone = std::getenv("TZ") ? std::getenv("TZ") : "";
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    TempFolder folder;
    // 2024-01-02T13:04:05.078Z
    dispatch::VirtualClock clock(dispatch::WallTime{std::chrono::milliseconds(1704200645078LL)});
    AppLogger logger(folder.path(), fs, clock, nullptr);
    logger.log("🧪 [Test] riga");
    EXPECT_EQ(logger.getRecentLogs(), "[13:04:05.078] 🧪 [Test] riga\n");
    EXPECT_EQ(AppLogger::timestampPrefix(dispatch::WallTime{std::chrono::milliseconds(-1)}),
              "[23:59:59.999] ");
    savedZone.empty() ? ::unsetenv("TZ") : ::setenv("TZ", savedZone.c_str(), 1);
    ::tzset();
}

TEST(AppLogger, EveryLineHasTheConfiguredKeysBlankedOut) {
    testing::ConfigHarness h;
    auto config = h.make();
    config->setGroqApiKey("  gsk_live_SECRET123 ");
    config->setApiKey("abc");  // too short to search for
    h.logger.log("✅ Corretto: \"la chiave è gsk_live_SECRET123, gsk_live_SECRET123\" abc");
    config->setDeepseekApiKey("sk-deep-987654");
    config->setGroqApiKey("");
    h.logger.log("gsk_live_SECRET123 sk-deep-987654");
    const std::string file = readFile(h.folder + "/debug.log");
    EXPECT_EQ(h.logMessages(), (std::vector<std::string>{"✅ Corretto: \"la chiave è •••, •••\" abc",
                                                         "gsk_live_SECRET123 •••"}));
    EXPECT_EQ(file.find("SECRET123, "), std::string::npos);
    EXPECT_EQ(file.find("sk-deep"), std::string::npos);

    // Keys already stored are blanked from the first line on.
    testing::ConfigHarness stored;
    auto loaded = stored.makeWith(R"({"deepseekApiKey": "sk-stored-4242"})");
    stored.logger.log("eco sk-stored-4242");
    EXPECT_EQ(stored.logMessages().back(), "eco •••");
}

TEST(AppLogger, FirstLineCreatesAPrivateFileAndHistoryKeepsTheNewest120) {
    TempFolder home;
    const std::string folder = home / "nested/.config/penwarden";
    dispatch::VirtualClock clock;
    AppLogger logger(folder, fs, clock, nullptr);
    EXPECT_FALSE(std::filesystem::exists(logger.getLogFilePath()));
    EXPECT_EQ(testing::modeOf(folder), 0700u);
    logger.log("uno\ndue");
    EXPECT_EQ(logger.recentLines().size(), 1u) << "a multi-line message is one entry";
    EXPECT_EQ(testing::modeOf(logger.getLogFilePath()), 0600u);

    for (int i = 2; i <= 121; ++i) {
        logger.log("line " + std::to_string(i));
    }
    const auto lines = logger.recentLines();
    ASSERT_EQ(lines.size(), 120u);
    EXPECT_TRUE(lines.front().ends_with("] line 2\n"));
    AppLogger(folder, fs, clock, nullptr).log("next run");
    const auto file = fileLines(logger.getLogFilePath());
    ASSERT_EQ(file.size(), 123u) << "the file keeps every line of every run";
    EXPECT_TRUE(file.front().ends_with("] uno"));
}

TEST(AppLogger, ObserverSeesEachLineAndReadOnlyLoggingTouchesNoFile) {
    TempFolder home;
    dispatch::VirtualClock clock;
    AppLogger logger(home / "penwarden", fs, clock, nullptr, StorageMode::readOnly);
    std::vector<std::string> observed;
    logger.setLineObserver([&](const std::string& line) { observed.push_back(line); });
    logger.log("ciao");
    EXPECT_EQ(observed, std::vector<std::string>{logger.getRecentLogs()});
    EXPECT_FALSE(std::filesystem::exists(home / "penwarden"));
}

TEST(AppLogger, ConcurrentLinesLandWholeInTheFile) {
    TempFolder folder;
    dispatch::VirtualClock clock;
    AppLogger logger(folder.path(), fs, clock, nullptr);
    constexpr int kThreads = 6;
    constexpr int kLines = 150;
    const std::string payload(300, 'x');  // long enough to expose interleaving
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kLines; ++i) {
                logger.log("t" + std::to_string(t) + " n" + std::to_string(i) + " " + payload);
                (void)logger.recentLines();
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    const std::regex shape(R"(\[\d\d:\d\d:\d\d\.\d\d\d\] t\d n\d+ x{300})");
    const auto lines = fileLines(logger.getLogFilePath());
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kLines));
    for (const auto& line : lines) {
        ASSERT_TRUE(std::regex_match(line, shape)) << line;
    }
}

}  // namespace
}  // namespace quorix
