#pragma once
// The program's single diagnostic log. Each line is
// "[" + local time "HH:mm:ss.SSS" + "] " + message + "\n"; it is echoed to a
// stream, kept in a 120-line in-memory history and appended to debug.log in the
// configuration folder. Logging never fails visibly: when the file cannot be
// written (disk full, permission, a link or FIFO in its place) one line saying so
// goes to the echo and the history, and the history keeps every line. Past
// kLogFileLimit bytes the file is moved to debug.log.old and starts afresh.
// Thread: any; concurrent lines land whole in the file.
//
// Every line, whatever its source, has each secret (the API keys, handed over
// by AppConfig whenever they change) blanked out before it goes anywhere.

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/config/StorageMode.h"
#include "core/dispatch/Clock.h"
#include "platform/FileSystem.h"

namespace quorix {

class AppLogger {
  public:
    static constexpr std::size_t kHistoryLimit = 120;
    static constexpr std::uint64_t kLogFileLimit = std::uint64_t{8} << 20;  // 8 MiB

    // echo: stream each line is also written to (nullptr: none).
    // readOnly: no folder creation and no file; echo and history only.
    AppLogger(std::string configFolder, platform::FileSystem& fs, dispatch::Clock& clock,
              std::FILE* echo = stdout, StorageMode storage = StorageMode::readWrite);
    AppLogger(const AppLogger&) = delete;
    AppLogger& operator=(const AppLogger&) = delete;

    void log(std::string_view message);
    // Replaces the secrets blanked out of every later line. Values are
    // trimmed; short ones (under kMinSecretLength) are ignored, since blanking
    // them would mangle ordinary words.
    void setSecrets(const std::vector<std::string>& secrets);
    static constexpr std::size_t kMinSecretLength = 6;
    static constexpr std::string_view kRedaction = "•••";
    // The history concatenated, oldest first; "" when nothing was logged.
    std::string getRecentLogs() const;
    std::string getLogFilePath() const { return logFilePath_; }
    dispatch::Clock& clock() const { return clock_; }
    std::vector<std::string> recentLines() const;
    // Called with every formatted line (line feed included), on the logging
    // thread, outside the history lock.
    void setLineObserver(std::function<void(const std::string& line)> observer);

    // "[HH:mm:ss.SSS] " for t in local time.
    static std::string timestampPrefix(dispatch::WallTime t);

  private:
    void appendToFile(const std::string& line);
    void remember(std::string line);

    platform::FileSystem& fs_;
    const std::string logFilePath_;
    dispatch::Clock& clock_;
    std::FILE* const echo_;
    const StorageMode storage_;

    mutable std::mutex lock_;
    std::deque<std::string> inMemoryLogs_;
    std::function<void(const std::string&)> lineObserver_;
    std::atomic<bool> fileFailing_{false};
    std::vector<std::string> secrets_;
};

}  // namespace quorix
