#include "platform/linux/X11Display.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <mutex>

namespace quorix::platform {

void X11Display::initThreads() {
    static std::once_flag once;
    std::call_once(once, [] {
        XInitThreads();
        // Requests on devices or windows that vanished meanwhile (hot-plug,
        // closed requestors) fail harmlessly; Xlib's default handler would
        // end the process.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    });
}

_XDisplay* X11Display::open(const std::string& name) {
    initThreads();
    return XOpenDisplay(name.empty() ? nullptr : name.c_str());
}

bool X11Display::hasXInput22(_XDisplay* display, int* opcode) {
    int op = 0;
    int event = 0;
    int error = 0;
    if (!XQueryExtension(display, "XInputExtension", &op, &event, &error)) {
        return false;
    }
    int major = 2;
    int minor = 2;
    if (XIQueryVersion(display, &major, &minor) != Success) {
        return false;
    }
    if (major < 2 || (major == 2 && minor < 2)) {
        return false;
    }
    if (opcode != nullptr) {
        *opcode = op;
    }
    return true;
}

bool X11Display::isUsable(const std::string& name) {
    Display* display = open(name);
    if (display == nullptr) {
        return false;
    }
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    const bool usable =
        hasXInput22(display) && XTestQueryExtension(display, &event, &error, &major, &minor);
    XCloseDisplay(display);
    return usable;
}

ModifierMasks X11Display::modifierMasks(_XDisplay* display) {
    ModifierMasks masks;
    const auto bit = [display](KeySym keysym, unsigned fallback) {
        const unsigned mask = XkbKeysymToModifiers(display, keysym);
        return mask != 0 ? mask : fallback;
    };
    masks.alt = bit(XK_Alt_L, masks.alt);
    masks.numLock = bit(XK_Num_Lock, masks.numLock);
    masks.super = bit(XK_Super_L, masks.super);
    return masks;
}

}  // namespace quorix::platform
