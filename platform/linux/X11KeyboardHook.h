#pragma once
// KeyboardHook over XInput2 on the physical keyboards (slave devices, never the
// XTEST slave, so the program's own posts are never seen as the user's).
//
// What reaches the handler:
// - Return and keypad Enter, through passive grabs with any modifiers, held
//   only while isFrontCovered() says the front application is covered (checked
//   when _NET_ACTIVE_WINDOW changes and every coverageRefresh), so other
//   applications never wait for the program;
// - Alt+Z and Alt+U, through passive grabs for every Caps Lock/NumLock state;
// - every other physical key-down, observed through raw events after it has
//   already reached the application: the handler's decision is ignored (these
//   feed the background precheck only) and it is called on the X event thread,
//   with no hop to the main queue. Modifier keys are not reported;
// - while isBusy() (a correction runs), every key: the physical keyboards are
//   grabbed whole, so keys typed meanwhile reach nobody unless the handler
//   lets them pass. A watchdog releases this grab after busyWatchdog whatever
//   isBusy() says.
// A grabbed key that the handler lets pass is re-sent through XTEST with its
// modifiers; a passed Return is re-sent once the physical key is up. A key let
// go while Return was down (the Return grab floats its device, so the core
// keyboard missed the release) is released on the core keyboard then.
//
// Threads: one X event thread owns the hook's connection (grabs, events); the
// handler runs on mainQueue, the program's main thread, asynchronously (keys
// already delivered excepted, see above): a
// grabbed key is held by the server until the decision returns, so the event
// thread never waits for it. isBusy and isFrontCovered run on the event thread
// and must be thread-safe and quick.
//
// Every grab is released on uninstall; the server drops them if the process dies.

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "core/dispatch/Queue.h"
#include "platform/Keyboard.h"

namespace quorix::platform {

class X11KeyPoster;

class X11KeyboardHook final : public KeyboardHook {
  public:
    struct Options {
        dispatch::Queue* mainQueue = nullptr;
        X11KeyPoster* poster = nullptr;
        std::function<bool()> isBusy;
        std::function<bool()> isFrontCovered;
        std::string displayName;
        std::chrono::milliseconds busyWatchdog{8000};
        std::chrono::milliseconds coverageRefresh{250};
    };

    explicit X11KeyboardHook(Options options);
    ~X11KeyboardHook() override;
    X11KeyboardHook(const X11KeyboardHook&) = delete;
    X11KeyboardHook& operator=(const X11KeyboardHook&) = delete;

    // False without a display, XInput2 2.2 or a main queue.
    bool install(Handler handler) override;
    void uninstall() override;
    bool isInstalled() const override;

    // Whether a physical Return or keypad Enter is down now (seen through the
    // grab); the poster waits for its release before posting Return.
    bool isPhysicalReturnHeld() const;
    // Whether the Return grabs are currently held / the keyboards grabbed whole.
    bool holdsReturnGrab() const;
    bool holdsBusyGrab() const;

  private:
    struct Core;
    Options options_;
    std::shared_ptr<Core> core_;
};

}  // namespace quorix::platform
