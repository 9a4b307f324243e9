#pragma once
// KeyPoster over XTEST on the core keyboard. Apple key codes become keycodes of
// the current layout (the mapping is refreshed when the server announces a
// change); Command and Control become Control, Option Alt, Shift Shift.
//
// The synthetic marker is not carried by X events: keys posted through XTEST
// come from the XTEST slave device, which the key hook never grabs nor
// observes, so they are never taken for the user's.
//
// Waits before a key-down (bounded, polling the server's key state):
// - a key with modifiers waits until the user's own modifier keys are up, so
//   Ctrl+A does not become Ctrl+Shift+A;
// - Return (and keypad Enter) waits until the physical Return is released
//   (as reported by the predicate set with setPhysicalReturnHeld).
// Thread: any; calls are serialised on the poster's own connection.

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Keyboard.h"
#include "platform/linux/KeyMapping.h"

struct _XDisplay;

namespace quorix::platform {

class X11KeyPoster final : public KeyPoster {
  public:
    struct Options {
        std::chrono::milliseconds modifierWait{300};
        std::chrono::milliseconds returnWait{500};
        std::chrono::microseconds pollInterval{2000};
    };

    X11KeyPoster();
    explicit X11KeyPoster(Options options);
    ~X11KeyPoster() override;
    X11KeyPoster(const X11KeyPoster&) = delete;
    X11KeyPoster& operator=(const X11KeyPoster&) = delete;

    // Opens the poster's connection ($DISPLAY when empty); false when the
    // display or XTEST is missing.
    bool open(const std::string& displayName = {});
    bool isOpen() const;
    void setPhysicalReturnHeld(std::function<bool()> held);

    bool postKeyEvent(uint16_t keyCode, bool keyDown, uint64_t flags, int64_t userData) override;
    // A key with its X keycode is re-sent as typed (resendKey); others as
    // their key code.
    bool replayKey(const KeyEvent& key, int64_t userData) override;

    // Re-sends a physical key the hook held back and then let pass: keycode
    // down and up inside presses of the modifiers of its X state (Caps Lock
    // and NumLock aside), whether or not the user still holds them. No waits.
    bool resendKey(unsigned keycode, unsigned state);

    // Whether any Shift, Control, Alt, Super or Level 3 key is down on the
    // core keyboard now.
    bool anyModifierDown();

  private:
    void refreshMappingLocked();
    bool anyModifierDownLocked();
    bool waitUnlocked(std::unique_lock<std::mutex>& lock, const std::function<bool()>& busy,
                      std::chrono::milliseconds limit);
    unsigned keycodeLocked(unsigned long keysym);
    void fakeKeyLocked(unsigned keycode, bool down);

    Options options_;
    mutable std::mutex mutex_;
    _XDisplay* display_ = nullptr;
    ModifierMasks masks_;
    std::vector<unsigned> modifierKeycodes_;
    std::function<bool()> physicalReturnHeld_;
};

}  // namespace quorix::platform
