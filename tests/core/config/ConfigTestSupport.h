#pragma once
// Temporary folders, file helpers and a ready AppConfig for the config tests.

#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/config/AppConfig.h"
#include "core/config/AppLogger.h"
#include "core/dispatch/VirtualClock.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/sim/MemoryFileSystem.h"
#include "platform/sim/SimSystemEnvironment.h"
#include "platform/sim/SimWorkspace.h"

namespace quorix::testing {

// A fresh folder, removed with its content at the end of the scope.
struct TempFolder {
    std::string tmpl = (std::filesystem::temp_directory_path() / "quorix-test-XXXXXX").string();
    const std::string folder = ::mkdtemp(tmpl.data());
    TempFolder() = default;
    TempFolder(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    const std::string& path() const { return folder; }
    std::string operator/(const std::string& name) const { return folder + "/" + name; }
};

inline std::string readFile(const std::string& path) {
    std::ostringstream out;
    out << std::ifstream(path, std::ios::binary).rdbuf();
    return out.str();
}

inline void writeFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

inline unsigned modeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Logged messages without their "[HH:mm:ss.SSS] " prefix and line feed, oldest first.
inline std::vector<std::string> logMessages(const AppLogger& logger) {
    std::vector<std::string> out;
    for (std::string line : logger.recentLines()) {
        line.erase(0, line.find("] ") == std::string::npos ? 0 : line.find("] ") + 2);
        out.push_back(line.substr(0, line.find_last_not_of('\n') + 1));
    }
    return out;
}

inline std::size_t countContaining(const std::vector<std::string>& lines, std::string_view part) {
    return static_cast<std::size_t>(std::count_if(
        lines.begin(), lines.end(), [&](const std::string& l) { return l.find(part) != l.npos; }));
}

inline std::vector<std::string> folderEntries(const std::string& path) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(path)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// An AppConfig over a fresh configuration folder, simulated workspace and
// environment, virtual clock, and a logger that echoes nowhere.
struct ConfigHarness {
    TempFolder home;
    std::string folder = home / ".config/penwarden";
    dispatch::VirtualClock clock;
    platform::SimWorkspace workspace{home.path()};
    platform::SimSystemEnvironment env{home.path(), {"en-US"}};
    platform::PosixFileSystem fs;
    AppLogger logger{folder, fs, clock, nullptr};

    std::unique_ptr<AppConfig> make(StorageMode storage = StorageMode::readWrite) {
        return std::make_unique<AppConfig>(folder, fs, logger, clock, workspace, env, storage);
    }
    // Writes config.json, then constructs the store over it.
    std::unique_ptr<AppConfig> makeWith(const std::string& configJson) {
        std::filesystem::create_directories(folder);
        writeFile(folder + "/config.json", configJson);
        return make();
    }
    std::string configPath() const { return folder + "/config.json"; }
    std::string whitelistPath() const { return folder + "/whitelist.txt"; }
    std::vector<std::string> logMessages() const { return testing::logMessages(logger); }
};

// Read-only settings and a quiet logger over an in-memory file system, with a
// virtual clock that moves only when told (elapsed times read "0.00").
struct ConfigWorld {
    TempFolder folder;
    dispatch::VirtualClock clock{dispatch::WallTime{}, /*autoAdvance=*/false};
    platform::SimSystemEnvironment env{"/home/sim", {"it-IT"}};
    platform::SimWorkspace workspace{"/home/sim"};
    platform::MemoryFileSystem fs;
    AppLogger logger{folder.path(), fs, clock, nullptr, StorageMode::readOnly};
    AppConfig config{folder.path(), fs, logger, clock, workspace, env, StorageMode::readOnly};

    std::vector<std::string> messages() const { return logMessages(logger); }
    bool logged(const std::string& message) const {
        const auto all = messages();
        return std::find(all.begin(), all.end(), message) != all.end();
    }
};

}  // namespace quorix::testing
