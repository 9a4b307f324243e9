#pragma once
// Accessibility over AT-SPI (libatspi), for X11 desktops.
//
// libatspi runs on a thread of its own (AtspiThread) with a private GLib
// context; calls from any thread hop there and wait a bounded time (a call that
// misses the wait fails with cannotComplete). The vocabulary is the core's:
// see AtspiRoles.h for roles and subroles and AtspiSession.h for focus.
//
// Reads: on application elements "AXRole", "AXFocusedUIElement" (the process's
// focused element), "AXWindows", "AXFocusedWindow" (the active window),
// "AXTitle"; on other elements "AXRole", "AXSubrole", "AXTitle",
// "AXDescription" (accessible name, else description), "AXParent",
// "AXFocused", and on editable text "AXValue" and "AXSelectedTextRange"
// (UTF-16 units). Password fields expose neither value nor range.
// Writes: "AXValue" through EditableText, then the caret goes to the end.
//
// Without the accessibility bus nothing fails loudly: no element has focus,
// so capture falls back to the clipboard; a hint on enabling accessibility is
// logged once. The adapter's own process is never queried. One adapter per
// process reaches the bus: libatspi cannot connect again after it
// disconnected.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/Accessibility.h"

namespace quorix::platform {

class AtspiSession;
class AtspiThread;

class AtspiAccessibility final : public Accessibility {
  public:
    struct Options {
        // Longest a caller waits for one read or write.
        std::chrono::milliseconds callWait{1500};
        // Limit of each D-Bus call libatspi makes.
        int busCallTimeoutMs = 400;
        // Log sink (one line per message); may be empty.
        std::function<void(const std::string&)> log;
        // Whether keys can be observed and posted; empty: the display is
        // reachable and offers XInput 2.2 and XTEST (X11Display::isUsable).
        std::function<bool()> trustCheck;
        // Skips the accessibility bus entirely (as if it were unreachable).
        bool disableBus = false;
    };

    explicit AtspiAccessibility(Options options);
    AtspiAccessibility() : AtspiAccessibility(Options{}) {}
    ~AtspiAccessibility() override;
    AtspiAccessibility(const AtspiAccessibility&) = delete;
    AtspiAccessibility& operator=(const AtspiAccessibility&) = delete;

    bool isProcessTrusted(bool prompt = false) override;
    AXElementRef applicationElement(int32_t pid) override;
    AXResult copyAttribute(const AXElementRef& element, const std::string& name) override;
    AXError setAttribute(const AXElementRef& element, const std::string& name,
                         const std::string& value) override;
    // Browsers: Chromium's and Firefox's own switches; others: enableHint().
    std::string enableHintFor(const std::optional<std::string>& bundleId) const override;

    // Whether the accessibility bus was reached at start.
    bool isBusConnected() const { return connected_; }
    // libatspi connects once per process: true until an adapter has tried.
    static bool canConnectInThisProcess();

    // The text logged once when the bus is unreachable.
    static std::string enableHint();

  private:
    Options options_;
    int32_t ownPid_;
    std::unique_ptr<AtspiSession> session_;
    std::shared_ptr<AtspiThread> thread_;
    std::atomic<bool> connected_{false};
};

}  // namespace quorix::platform
