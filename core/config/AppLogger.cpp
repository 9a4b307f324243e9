#include "core/config/AppLogger.h"

#include <ctime>
#include <utility>

#include "core/config/StoredFile.h"
#include "core/text/Text.h"

namespace quorix {

AppLogger::AppLogger(std::string configFolder, platform::FileSystem& fs, dispatch::Clock& clock,
                     std::FILE* echo, StorageMode storage)
    : fs_(fs),
      logFilePath_(platform::joinPath(configFolder, "debug.log")),
      clock_(clock),
      echo_(echo),
      storage_(storage) {
    if (storage_ == StorageMode::readWrite) {
        fs_.makePrivateFolder(configFolder);
    }
}

std::string AppLogger::timestampPrefix(dispatch::WallTime t) {
    using namespace std::chrono;
    const auto secs = floor<seconds>(t);
    const auto millis = duration_cast<milliseconds>(t - secs).count();
    const std::time_t tt = system_clock::to_time_t(secs);
    std::tm local{};
    if (localtime_r(&tt, &local) == nullptr) {
        local = std::tm{};
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "[%02d:%02d:%02d.%03d] ", local.tm_hour, local.tm_min,
                  local.tm_sec, static_cast<int>(millis));
    return buf;
}

void AppLogger::setSecrets(const std::vector<std::string>& secrets) {
    std::vector<std::string> kept;
    for (const std::string& secret : secrets) {
        std::string trimmed = text::trim(secret);
        if (trimmed.size() >= kMinSecretLength) {
            kept.push_back(std::move(trimmed));
        }
    }
    std::lock_guard lock(lock_);
    secrets_ = std::move(kept);
}

void AppLogger::log(std::string_view message) {
    std::string line = timestampPrefix(clock_.wallNow());
    line.append(message);
    {
        std::lock_guard lock(lock_);
        for (const std::string& secret : secrets_) {
            if (text::contains(line, secret)) {
                line = text::replaceAll(line, secret, kRedaction);
            }
        }
    }
    line.push_back('\n');

    if (echo_ != nullptr) {
        std::fwrite(line.data(), 1, line.size(), echo_);
    }

    std::function<void(const std::string&)> observer;
    {
        std::lock_guard lock(lock_);
        inMemoryLogs_.push_back(line);
        while (inMemoryLogs_.size() > kHistoryLimit) {
            inMemoryLogs_.pop_front();
        }
        observer = lineObserver_;
    }

    if (storage_ == StorageMode::readWrite) {
        appendToFile(line);
    }
    if (observer) {
        observer(line);
    }
}

void AppLogger::appendToFile(const std::string& line) {
    const platform::FileAppend result = fs_.append(logFilePath_, line);
    if (!result.ok()) {
        if (!fileFailing_.exchange(true)) {
            // Echo and history only: the file is what failed.
            std::string note = timestampPrefix(clock_.wallNow());
            note += "⚠️ [Logger] Impossibile scrivere " + logFilePath_ + " (" +
                    std::string(StoredFile::reason(result.error)) +
                    "): il log prosegue solo in memoria.\n";
            if (echo_ != nullptr) {
                std::fwrite(note.data(), 1, note.size(), echo_);
            }
            remember(std::move(note));
        }
        return;
    }
    fileFailing_.store(false);
    if (result.sizeAfter > kLogFileLimit) {
        fs_.rename(logFilePath_, logFilePath_ + ".old");
    }
}

void AppLogger::remember(std::string line) {
    std::lock_guard lock(lock_);
    inMemoryLogs_.push_back(std::move(line));
    while (inMemoryLogs_.size() > kHistoryLimit) {
        inMemoryLogs_.pop_front();
    }
}

std::string AppLogger::getRecentLogs() const {
    std::lock_guard lock(lock_);
    std::string out;
    for (const auto& line : inMemoryLogs_) {
        out += line;
    }
    return out;
}

std::vector<std::string> AppLogger::recentLines() const {
    std::lock_guard lock(lock_);
    return {inMemoryLogs_.begin(), inMemoryLogs_.end()};
}

void AppLogger::setLineObserver(std::function<void(const std::string& line)> observer) {
    std::lock_guard lock(lock_);
    lineObserver_ = std::move(observer);
}

}  // namespace quorix
