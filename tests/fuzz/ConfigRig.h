#pragma once
// A configuration folder in memory with the collaborators an AppConfig needs.
// One rig per input, so that no state crosses from one input to the next.

#include <memory>
#include <string>
#include <string_view>

#include "core/config/AppConfig.h"
#include "core/config/AppLogger.h"
#include "core/dispatch/VirtualClock.h"
#include "platform/sim/MemoryFileSystem.h"
#include "platform/sim/SimSystemEnvironment.h"
#include "platform/sim/SimWorkspace.h"

namespace quorix::fuzz {

struct ConfigRig {
    static constexpr std::string_view kFolder = "/home/sim/.config/penwarden";

    dispatch::VirtualClock clock;
    platform::MemoryFileSystem fs;
    platform::SimWorkspace workspace;
    platform::SimSystemEnvironment env;
    AppLogger logger{std::string(kFolder), fs, clock, nullptr};

    void put(std::string_view name, std::string_view data) {
        fs.put(std::string(kFolder) + "/" + std::string(name), std::string(data));
    }
    std::unique_ptr<AppConfig> make() {
        return std::make_unique<AppConfig>(std::string(kFolder), fs, logger, clock, workspace, env);
    }
};

}  // namespace quorix::fuzz
