#pragma once
// Keyboard ports: the system-wide key-down hook and the posting of key events.
// Key codes are Apple virtual key codes and flags the Apple event-flag bits
// (platform/KeyCodes.h: Shift 0x20000, Control 0x40000, Option 0x80000,
// Command 0x100000); adapters translate their own events into these.

#include <cstdint>
#include <functional>

#include "platform/KeyCodes.h"

namespace quorix::platform {

struct KeyEvent {
    uint16_t keyCode = 0;
    uint64_t flags = 0;
    // Source user-data field (integer event field 42): events the program posts
    // carry its synthetic marker here.
    int64_t userData = 0;
    // A lone modifier key (Shift, Control, Alt, Super): its effect travels in
    // the flags of the keys pressed with it.
    bool isModifierKey = false;
    // The adapter's own identity of the physical key and its modifier state
    // (an X keycode and state), so that a held-back key can be replayed as
    // typed; 0 when the adapter has none.
    uint32_t nativeCode = 0;
    uint32_t nativeState = 0;
    // The adapter saw the key only after it had reached the application (it
    // could not hold it back): a swallow decision has no effect on it. Such
    // keys may be reported on the adapter's own thread.
    bool alreadyDelivered = false;
};

enum class KeyDecision { pass, swallow };

// Delivers every user key-down, before the focused application sees it.
// Thread: the handler runs on the main thread (keys already delivered: possibly
// the adapter's own thread) and must return quickly.
class KeyboardHook {
  public:
    using Handler = std::function<KeyDecision(const KeyEvent&)>;
    virtual ~KeyboardHook() = default;
    // Installs the hook; false when the platform refuses (no permission, no
    // display). Installing twice keeps the first handler and returns true.
    virtual bool install(Handler handler) = 0;
    // Removes the hook; no-op when not installed.
    virtual void uninstall() = 0;
    virtual bool isInstalled() const = 0;
};

// Posts synthetic key events to the focused application.
// Thread: any. Failure: returns false and posts nothing (no event source).
class KeyPoster {
  public:
    virtual ~KeyPoster() = default;
    virtual bool postKeyEvent(uint16_t keyCode, bool keyDown, uint64_t flags, int64_t userData) = 0;
    // Replays a key the user typed and the program held back: down, then up,
    // with its modifiers, marked with userData. Adapters that know the key's
    // native identity replay that instead of the key code.
    virtual bool replayKey(const KeyEvent& key, int64_t userData) {
        if (!postKeyEvent(key.keyCode, true, key.flags, userData)) {
            return false;
        }
        return postKeyEvent(key.keyCode, false, key.flags, userData);
    }
};

}  // namespace quorix::platform
