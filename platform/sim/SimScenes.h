#pragma once
// Ready-made applications for the simulated desktop: a chat application with
// one focused message field, and a browser whose page holds a focused text
// area below a toolbar with the address bar. Each is added, focused and made
// frontmost.

#include <cstdint>
#include <string>

#include "platform/sim/SimDesktop.h"

namespace quorix::platform {

struct SimChatApp {
    int32_t pid = 0;
    SimNodeId window = kNoNode;
    SimNodeId field = kNoNode;  // "AXTextArea", focused
};

struct SimBrowser {
    int32_t pid = 0;
    SimNodeId window = kNoNode;
    SimNodeId toolbar = kNoNode;     // "AXToolbar"
    SimNodeId addressBar = kNoNode;  // "AXTextField", "Address and search bar"
    SimNodeId webArea = kNoNode;     // "AXWebArea"
    SimNodeId textArea = kNoNode;    // "AXTextArea" inside the web area, focused
};

SimChatApp addChatApp(SimDesktop& desktop, int32_t pid, const std::string& bundleIdentifier,
                      const std::string& name, const std::string& text = {});

SimBrowser addBrowser(SimDesktop& desktop, int32_t pid, const std::string& bundleIdentifier,
                      const std::string& name, const std::string& windowTitle);

// A second window with a popup subrole ("AXFloatingWindow" unless given),
// listed after the application's other windows; focus stays where it was.
SimNodeId addPopupWindow(SimDesktop& desktop, int32_t pid,
                         const std::string& subrole = "AXFloatingWindow");

}  // namespace quorix::platform
