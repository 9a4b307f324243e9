#pragma once
// Temporary folders, file helpers and a ready AppConfig for the config tests.

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/config/AppConfig.h"
#include "core/config/AppLogger.h"
#include "core/dispatch/VirtualClock.h"
#include "platform/sim/SimSystemEnvironment.h"
#include "platform/sim/SimWorkspace.h"

namespace quorix::testing {

class TempFolder {
  public:
    TempFolder() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "quorix-test-XXXXXX").string();
        path_ = ::mkdtemp(tmpl.data());
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void writeFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

inline unsigned modeOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return 0;
    }
    return st.st_mode & 07777;
}

// Names in a folder, sorted.
inline std::vector<std::string> folderEntries(const std::string& path) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(path, ec)) {
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
    AppLogger logger{folder, clock, nullptr};

    std::unique_ptr<AppConfig> make(StorageMode storage = StorageMode::readWrite) {
        return std::make_unique<AppConfig>(folder, logger, clock, workspace, env, storage);
    }
    // Writes config.json, then constructs the store over it.
    std::unique_ptr<AppConfig> makeWith(const std::string& configJson) {
        std::filesystem::create_directories(folder);
        writeFile(folder + "/config.json", configJson);
        return make();
    }
    std::string configPath() const { return folder + "/config.json"; }
    std::string whitelistPath() const { return folder + "/whitelist.txt"; }
    std::vector<std::string> logMessages() const {
        std::vector<std::string> out;
        for (const auto& line : logger.recentLines()) {
            // "[HH:mm:ss.SSS] " prefix is 15 bytes; drop it and the line feed.
            out.push_back(line.substr(15, line.size() - 16));
        }
        return out;
    }
};

}  // namespace quorix::testing
