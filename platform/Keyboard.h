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
};

enum class KeyDecision { pass, swallow };

// Delivers every user key-down, before the focused application sees it.
// Thread: the handler runs on the main thread and must return quickly.
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
};

}  // namespace quorix::platform
