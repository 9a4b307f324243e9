#include "cli/ConfigCommand.h"

#include <cstdio>
#include <string>

#include "cli/Subcommand.h"
#include "core/config/AppConfig.h"
#include "core/config/AppLogger.h"
#include "core/config/ConfigFolder.h"
#include "core/dispatch/Clock.h"
#include "platform/linux/LinuxSystemEnvironment.h"
#include "platform/linux/LinuxWorkspace.h"
#include "platform/posix/PosixFileSystem.h"

namespace quorix::cli {

int runConfigCommand(std::span<char* const> args) {
    if (!args.empty()) {
        std::fprintf(stderr, "usage: quorix config\n");
        return kUsageExit;
    }
    platform::LinuxSystemEnvironment env;
    const std::string home = env.homeDirectory();
    const std::string folder = configFolderPath(home);
    auto& clock = dispatch::RealClock::instance();
    // Read-only services: no folder, no default whitelist.txt, no debug.log.
    auto& fs = platform::PosixFileSystem::instance();
    AppLogger logger(folder, fs, clock, stderr, StorageMode::readOnly);
    auto workspace = platform::LinuxWorkspace::forHome(home);
    AppConfig config(folder, fs, logger, clock, workspace, env, StorageMode::readOnly);

    const std::string json = config.toJSON();
    std::fwrite(json.data(), 1, json.size(), stdout);
    std::fputc('\n', stdout);

    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace quorix::cli
