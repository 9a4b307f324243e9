#pragma once
// Shared helpers of the simulated-desktop tests.

#include <chrono>
#include <cstdint>

#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimScenes.h"
#include "platform/sim/SimWorkspace.h"

namespace quorix::platform::testing {

using namespace std::chrono_literals;
namespace k = simkeys;

// Posts a key the way the program does: marked key-down, 6 ms, key-up, 6 ms.
inline void postKey(SimDesktop& desktop, uint16_t keyCode, uint64_t flags = 0) {
    desktop.keyboard().postKeyEvent(keyCode, true, flags, k::kSyntheticMarker);
    desktop.clock().sleepFor(6ms);
    desktop.keyboard().postKeyEvent(keyCode, false, flags, k::kSyntheticMarker);
    desktop.clock().sleepFor(6ms);
}

// A desktop with a workspace and one frontmost chat application.
struct ChatDesktop {
    SimWorkspace workspace;
    SimDesktop desktop{workspace};
    SimChatApp chat = addChatApp(desktop, 101, "com.example.chat", "Chat");
};

}  // namespace quorix::platform::testing
