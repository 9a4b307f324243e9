// The diagnostic log: line format, history, file, concurrency.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <regex>
#include <thread>

#include "ConfigTestSupport.h"

namespace quorix {
namespace {

using testing::readFile;
using testing::TempFolder;

// Runs the body with the process in UTC, restoring the zone afterwards.
class UtcZone {
  public:
    UtcZone() {
        if (const char* tz = std::getenv("TZ")) {
            saved_ = tz;
        }
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }
    ~UtcZone() {
        if (saved_) {
            ::setenv("TZ", saved_->c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }

  private:
    std::optional<std::string> saved_;
};

std::vector<std::string> fileLines(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream in(readFile(path));
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(AppLogger, LineFormatUsesLocalTimeWithMilliseconds) {
    UtcZone utc;
    TempFolder folder;
    // 2024-01-02T13:04:05.078Z
    dispatch::VirtualClock clock(dispatch::WallTime{std::chrono::milliseconds(1704200645078LL)});
    AppLogger logger(folder.path(), clock, nullptr);
    logger.log("🧪 [Test] riga");
    EXPECT_EQ(logger.getRecentLogs(), "[13:04:05.078] 🧪 [Test] riga\n");
    EXPECT_EQ(AppLogger::timestampPrefix(dispatch::WallTime{std::chrono::milliseconds(-1)}),
              "[23:59:59.999] ");
}

TEST(AppLogger, FirstLineCreatesAPrivateFileAndHistoryStartsEmpty) {
    TempFolder home;
    const std::string folder = home / "nested/.config/penwarden";
    dispatch::VirtualClock clock;
    AppLogger logger(folder, clock, nullptr);
    EXPECT_EQ(logger.getRecentLogs(), "");
    EXPECT_EQ(logger.getLogFilePath(), folder + "/debug.log");
    EXPECT_FALSE(std::filesystem::exists(logger.getLogFilePath()));
    EXPECT_EQ(testing::modeOf(folder), 0700u);
    logger.log("uno\ndue");
    EXPECT_EQ(logger.recentLines().size(), 1u) << "a multi-line message is one entry";
    EXPECT_EQ(readFile(logger.getLogFilePath()), logger.getRecentLogs());
    EXPECT_EQ(testing::modeOf(logger.getLogFilePath()), 0600u);
}

TEST(AppLogger, HistoryKeepsTheNewest120LinesWhileTheFileKeepsAll) {
    TempFolder folder;
    dispatch::VirtualClock clock;
    AppLogger logger(folder.path(), clock, nullptr);
    testing::writeFile(logger.getLogFilePath(), "earlier run\n");
    for (int i = 1; i <= 121; ++i) {
        logger.log("line " + std::to_string(i));
    }
    const auto lines = logger.recentLines();
    ASSERT_EQ(lines.size(), 120u);
    EXPECT_TRUE(lines.front().ends_with("] line 2\n"));
    EXPECT_TRUE(lines.back().ends_with("] line 121\n"));
    const auto file = fileLines(logger.getLogFilePath());
    ASSERT_EQ(file.size(), 122u);
    EXPECT_EQ(file.front(), "earlier run");
    EXPECT_TRUE(file.back().ends_with("] line 121"));
}

TEST(AppLogger, EchoObserverAndReadOnlyStorage) {
    TempFolder home;
    const std::string folder = home / "penwarden";
    dispatch::VirtualClock clock;
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* echo = ::open_memstream(&buffer, &size);
    {
        AppLogger logger(folder, clock, echo, StorageMode::readOnly);
        std::vector<std::string> observed;
        logger.setLineObserver([&](const std::string& line) { observed.push_back(line); });
        logger.log("ciao");
        std::fflush(echo);
        EXPECT_EQ(std::string(buffer, size), logger.getRecentLogs());
        EXPECT_EQ(observed, std::vector<std::string>{logger.getRecentLogs()});
    }
    std::fclose(echo);
    std::free(buffer);
    EXPECT_FALSE(std::filesystem::exists(folder)) << "read-only logging touches no file";
}

TEST(AppLogger, ConcurrentLinesLandWholeInTheFile) {
    TempFolder folder;
    dispatch::VirtualClock clock;
    AppLogger logger(folder.path(), clock, nullptr);
    constexpr int kThreads = 6;
    constexpr int kLines = 150;
    const std::string payload(300, 'x');  // long enough to expose interleaving
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kLines; ++i) {
                logger.log("t" + std::to_string(t) + " n" + std::to_string(i) + " " + payload);
                if (i % 50 == 0) {
                    (void)logger.getRecentLogs();
                }
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    const std::regex shape(R"(\[\d\d:\d\d:\d\d\.\d\d\d\] t\d n\d+ x{300})");
    const auto lines = fileLines(logger.getLogFilePath());
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kLines));
    std::map<int, int> perThread;
    for (const auto& line : lines) {
        ASSERT_TRUE(std::regex_match(line, shape)) << line;
        ++perThread[line[16] - '0'];
    }
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(perThread[t], kLines);
    }
    EXPECT_EQ(logger.recentLines().size(), AppLogger::kHistoryLimit);
}

}  // namespace
}  // namespace quorix
