#pragma once
// Facts about the X display that every X11 adapter shares. Xlib headers stay
// out of this header (their macros clash with ordinary code): connections are
// passed as `_XDisplay*`, which is Xlib's `Display*`.
//
// Connections are opened after XInitThreads(), so a connection may be used from
// several threads; each adapter still owns its connection and serialises its
// own use of it.

#include <string>

#include "platform/linux/KeyMapping.h"

struct _XDisplay;

namespace quorix::platform {

class X11Display {
  public:
    // Calls XInitThreads once per process (idempotent, thread-safe).
    static void initThreads();
    // Opens a connection to the display ($DISPLAY when empty); nullptr when the
    // display is unreachable. Close with XCloseDisplay.
    static _XDisplay* open(const std::string& name = {});
    // Whether the program can observe and post keys on the display: it can be
    // opened, XInput2 is at least 2.2 and XTEST is present. This is what
    // "trusted for accessibility" means on X11.
    static bool isUsable(const std::string& name = {});
    // XInput2 version check on an open connection; stores the extension's
    // major opcode when it is at least 2.2.
    static bool hasXInput22(_XDisplay* display, int* opcode = nullptr);
    // Alt, NumLock and Super bits of the connection's current modifier mapping.
    static ModifierMasks modifierMasks(_XDisplay* display);
};

}  // namespace quorix::platform
